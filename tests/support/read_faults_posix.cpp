#include <algorithm>
#include <cerrno>

#include "platform/system_calls_posix.h"
#include "tests/support/read_faults.h"

namespace testing_support {

namespace {

ReadFaults active;
int readCount = 0;
int openCount = 0;
const platform::SystemCalls real = platform::systemCalls;

int faultyOpen(const char* path, int flags) {
    if (openCount++ < active.interruptedOpens) {
        errno = EINTR;
        return -1;
    }
    return real.open(path, flags);
}

ssize_t faultyRead(int fd, void* buffer, std::size_t count, std::int64_t offset) {
    ++readCount;
    if (active.readsFail) {
        errno = EIO;
        return -1;
    }
    if (active.readsFindTheEnd) return 0;
    if (active.interruptEvery > 0 && readCount % active.interruptEvery == 0) {
        errno = EINTR;
        return -1;
    }
    if (active.readAtMost > 0) count = std::min(count, active.readAtMost);
    return real.pread(fd, buffer, count, offset);
}

}  // namespace

FaultyFileLayer::FaultyFileLayer(const ReadFaults& faults) {
    active = faults;
    readCount = openCount = 0;
    platform::systemCalls = {faultyOpen, faultyRead};
}

FaultyFileLayer::~FaultyFileLayer() { platform::systemCalls = real; }

int FaultyFileLayer::reads() { return readCount; }

}  // namespace testing_support
