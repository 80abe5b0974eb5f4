#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system_calls_win32.h"
#include "platform/utf16_win32.h"
#include "tests/support/read_faults.h"

// Win32 reads are not interrupted by signals: those faults have no
// counterpart here.

namespace testing_support {

namespace {

ReadFaults active;
int readCount = 0;
int listingCount = 0;
ReadRequests requests;
std::wstring lastOpened;
const platform::SystemCalls real = platform::systemCalls;

int statusCount = 0;

bool endsWithName(std::wstring_view path, const std::string& name) {
    return !name.empty() && path.ends_with(L"\\" + platform::utf16FromUtf8(name));
}

HANDLE WINAPI recordingCreateFile(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE model) {
    lastOpened = path;
    if (endsWithName(path, active.goneBeforeOpen)) ::DeleteFileW(path);
    return real.createFile(path, access, share, security, disposition, flags, model);
}

BOOL WINAPI faultyStatus(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID data) {
    ++statusCount;
    if (active.statusFails) {
        ::SetLastError(ERROR_IO_DEVICE);
        return FALSE;
    }
    if (endsWithName(path, active.goneBeforeStatus)) ::DeleteFileW(path);
    return real.getFileAttributes(path, level, data);
}

// As a writer does: through a handle of its own, while the reader's is open.
bool cut(const std::wstring& path, long long size) {
    const HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const bool done = ::SetFilePointerEx(writer, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(writer);
    ::CloseHandle(writer);
    return done;
}

BOOL WINAPI faultyRead(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED where) {
    if (readCount++ == 0 && active.cutBeforeFirstRead >= 0 && !cut(lastOpened, active.cutBeforeFirstRead)) return FALSE;
    if (active.readsFail) {
        ::SetLastError(ERROR_IO_DEVICE);
        return FALSE;
    }
    if (active.readsFindTheEnd) {
        *got = 0;
        return TRUE;
    }
    requests.asked(static_cast<long long>((std::uint64_t{where->OffsetHigh} << 32) | where->Offset), count);
    if (active.readAtMost > 0) count = std::min<DWORD>(count, static_cast<DWORD>(active.readAtMost));
    const BOOL ok = real.readFile(file, buffer, count, got, where);
    requests.got(ok ? *got : 0);
    return ok;
}

HANDLE WINAPI countedFindFirst(LPCWSTR pattern, FINDEX_INFO_LEVELS level, LPVOID entry, FINDEX_SEARCH_OPS search,
                               LPVOID filter, DWORD flags) {
    ++listingCount;
    return real.findFirstFile(pattern, level, entry, search, filter, flags);
}

BOOL WINAPI countedFindNext(HANDLE listing, LPWIN32_FIND_DATAW entry) {
    ++listingCount;
    if (active.listingsFail) {
        ::SetLastError(ERROR_IO_DEVICE);
        return FALSE;
    }
    const BOOL found = real.findNextFile(listing, entry);
    if (!found && ::GetLastError() == ERROR_NO_MORE_FILES && active.listingsFailAtTheEnd) {
        ::SetLastError(ERROR_IO_DEVICE);
    }
    return found;
}

}  // namespace

FaultyFileLayer::FaultyFileLayer(const ReadFaults& faults) {
    active = faults;
    readCount = listingCount = statusCount = 0;
    requests.reset();
    platform::systemCalls = {recordingCreateFile, faultyRead,          countedFindFirst, countedFindNext,
                             faultyStatus,        real.getFileSize, real.getFileType, real.closeHandle, real.findClose};
}

FaultyFileLayer::~FaultyFileLayer() { platform::systemCalls = real; }

int FaultyFileLayer::reads() { return readCount; }

int FaultyFileLayer::statusQueries() { return statusCount; }

int FaultyFileLayer::listings() { return listingCount; }

int FaultyFileLayer::overreads() { return requests.overreads(); }

}  // namespace testing_support
