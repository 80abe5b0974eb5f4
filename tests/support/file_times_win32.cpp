#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/support/temp_log.h"

#include "tests/support/file_times.h"

namespace testing_support {

bool setModifiedMilliseconds(const std::string& path, std::int64_t milliseconds) {
    // FILETIME counts 100 ns ticks since 1601-01-01 UTC.
    const auto ticks = static_cast<std::uint64_t>(116'444'736'000'000'000 + milliseconds * 10'000);
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const HANDLE file = ::CreateFileW(utf8Path(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool set = ::SetFileTime(file, nullptr, nullptr, &time) != 0;
    ::CloseHandle(file);
    return set;
}

}  // namespace testing_support
