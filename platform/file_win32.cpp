#include "platform/file.h"
#include "platform/system_calls_win32.h"
#include "platform/utf16_win32.h"

#include <algorithm>
#include <new>
#include <utility>

// Paths are UTF-8 inside the module, and UTF-16 at each call: the wide API
// reaches every name, whatever script it is in.

namespace platform {

SystemCalls systemCalls = {::CreateFileW, ::ReadFile,      ::FindFirstFileExW, ::FindNextFileW,
                           ::GetFileAttributesExW, ::GetFileSizeEx, ::GetFileType, ::CloseHandle, ::FindClose};

namespace {

// FILETIME counts 100 ns ticks since 1601-01-01 UTC.
std::int64_t unixSeconds(const FILETIME& time) noexcept {
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kTicks1601To1970 = 116'444'736'000'000'000;
    const std::int64_t ticks =
        static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) -
        kTicks1601To1970;
    // Whole seconds, rounded down also before 1970.
    return ticks >= 0 ? ticks / kTicksPerSecond : -((-ticks + kTicksPerSecond - 1) / kTicksPerSecond);
}

HANDLE toHandle(NativeHandle handle) noexcept { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

const char* pathFromHost(const char* hostText, std::string& room) {
    if (hostText == nullptr) return nullptr;
    const std::string_view text(hostText);
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return hostText;  // the same in every code page Windows has for files
    }
    // As the ANSI file functions convert it, in the code page they use now:
    // a host may have switched them to the OEM one.
    const UINT codePage = ::AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    WidePath wide;
    if (!wide.assignFromCodePage(codePage, text)) throw std::bad_alloc();
    room.resize(3 * wide.size());
    room.resize(utf8FromUtf16({wide.c_str(), wide.size()}, room.data()));
    return room.c_str();
}

bool isNoSuchFile(int openError) noexcept {
    return openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND;
}

FileStatus wideFileStatus(const wchar_t* path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!systemCalls.getFileAttributes(path, GetFileExInfoStandard, &data)) return {};
    const bool regular = (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    const auto size = static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    return {true, regular, unixSeconds(data.ftLastWriteTime), size};
}

FileStatus statFile(const char* path) noexcept {
    WidePath wide;
    if (path == nullptr || !wide.assign(path)) return {};
    return wideFileStatus(wide.c_str());
}

std::int64_t nowSeconds() noexcept {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return unixSeconds(now);
}

std::int64_t steadyMilliseconds() noexcept { return static_cast<std::int64_t>(::GetTickCount64()); }

SharedFile SharedFile::open(const char* path) noexcept {
    if (path == nullptr) return failed(kNoPath);
    WidePath wide;
    if (!wide.assign(path)) return failed(ERROR_NOT_ENOUGH_MEMORY);
    // The messaging client keeps the log open for writing, and may rename,
    // rotate or delete it at any moment, even during a poll's read: share all.
    const HANDLE handle =
        systemCalls.createFile(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failed(static_cast<int>(::GetLastError()));

    SharedFile file(reinterpret_cast<NativeHandle>(handle), 0);
    // Pipes, consoles and devices are no log files.
    if (systemCalls.getFileType(handle) != FILE_TYPE_DISK) return failed(kNotARegularFile);
    LARGE_INTEGER size{};
    if (!systemCalls.getFileSize(handle, &size)) return failed(static_cast<int>(::GetLastError()));
    file.size_ = size.QuadPart;
    return file;
}

std::int64_t SharedFile::currentSize() const noexcept {
    LARGE_INTEGER size{};
    if (!systemCalls.getFileSize(toHandle(handle_), &size)) return -1;
    return size.QuadPart;
}

std::int64_t SharedFile::readAt(std::int64_t offset, char* buffer, std::size_t length) const noexcept {
    std::size_t done = 0;
    while (done < length) {
        // The offset goes with each read, so no file position is shared.
        const auto at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!systemCalls.readFile(toHandle(handle_), buffer + done, static_cast<DWORD>(length - done), &got, &where)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            return -1;
        }
        if (got == 0) break;  // end of file
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

void SharedFile::close() noexcept {
    if (handle_ != kNoHandle) systemCalls.closeHandle(toHandle(std::exchange(handle_, kNoHandle)));
}

}  // namespace platform
