#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/support/temp_log.h"

#include "tests/support/held_for_writing.h"

namespace testing_support {

HeldForWriting::HeldForWriting(const std::string& path)
    : handle_(reinterpret_cast<platform::NativeHandle>(::CreateFileW(
          utf8Path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

HeldForWriting::~HeldForWriting() {
    if (isOpen()) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace testing_support
