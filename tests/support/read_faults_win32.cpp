#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/system_calls_win32.h"
#include "tests/support/read_faults.h"

// Win32 reads are not interrupted by signals: those faults have no
// counterpart here.

namespace testing_support {

namespace {

ReadFaults active;
int readCount = 0;
int listingCount = 0;
ReadRequests requests;
std::string lastOpened;
const platform::SystemCalls real = platform::systemCalls;

HANDLE WINAPI recordingCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE model) {
    lastOpened = path;
    return real.createFile(path, access, share, security, disposition, flags, model);
}

// As a writer does: through a handle of its own, while the reader's is open.
bool cut(const std::string& path, long long size) {
    const HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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

HANDLE WINAPI countedFindFirst(LPCSTR pattern, LPWIN32_FIND_DATAA entry) {
    ++listingCount;
    return real.findFirstFile(pattern, entry);
}

BOOL WINAPI countedFindNext(HANDLE listing, LPWIN32_FIND_DATAA entry) {
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
    readCount = listingCount = 0;
    requests.reset();
    platform::systemCalls = {recordingCreateFile, faultyRead, countedFindFirst, countedFindNext};
}

FaultyFileLayer::~FaultyFileLayer() { platform::systemCalls = real; }

int FaultyFileLayer::reads() { return readCount; }

int FaultyFileLayer::listings() { return listingCount; }

int FaultyFileLayer::overreads() { return requests.overreads(); }

}  // namespace testing_support
