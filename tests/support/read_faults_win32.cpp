#include <algorithm>

#include "platform/system_calls_win32.h"
#include "tests/support/read_faults.h"

// Win32 reads are not interrupted by signals: those faults have no
// counterpart here.

namespace testing_support {

namespace {

ReadFaults active;
int readCount = 0;
const platform::SystemCalls real = platform::systemCalls;

BOOL WINAPI faultyRead(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED where) {
    ++readCount;
    if (active.readsFail) {
        ::SetLastError(ERROR_IO_DEVICE);
        return FALSE;
    }
    if (active.readsFindTheEnd) {
        *got = 0;
        return TRUE;
    }
    if (active.readAtMost > 0) count = std::min<DWORD>(count, static_cast<DWORD>(active.readAtMost));
    return real.readFile(file, buffer, count, got, where);
}

}  // namespace

FaultyFileLayer::FaultyFileLayer(const ReadFaults& faults) {
    active = faults;
    readCount = 0;
    platform::systemCalls = {real.createFile, faultyRead};
}

FaultyFileLayer::~FaultyFileLayer() { platform::systemCalls = real; }

int FaultyFileLayer::reads() { return readCount; }

}  // namespace testing_support
