#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system_calls_posix.h"
#include "tests/support/read_faults.h"

namespace testing_support {

namespace {

ReadFaults active;
int readCount = 0;
int listingCount = 0;
ReadRequests requests;
int openCount = 0;
std::string lastOpened;
const platform::SystemCalls real = platform::systemCalls;

int statusCount = 0;

bool endsWithName(std::string_view path, const std::string& name) {
    return !name.empty() && path.ends_with("/" + name);
}

int faultyOpen(const char* path, int flags) {
    if (openCount++ < active.interruptedOpens) {
        errno = EINTR;
        return -1;
    }
    if (endsWithName(path, active.goneBeforeOpen)) ::unlink(path);
    lastOpened = path;
    return real.open(path, flags);
}

ssize_t faultyRead(int fd, void* buffer, std::size_t count, std::int64_t offset) {
    if (readCount++ == 0 && active.cutBeforeFirstRead >= 0 && ::truncate(lastOpened.c_str(), active.cutBeforeFirstRead) != 0) {
        return -1;
    }
    if (active.readsFail) {
        errno = EIO;
        return -1;
    }
    if (active.readsFindTheEnd) return 0;
    if (active.interruptEvery > 0 && readCount % active.interruptEvery == 0) {
        errno = EINTR;
        return -1;
    }
    requests.asked(offset, static_cast<long long>(count));
    if (active.readAtMost > 0) count = std::min(count, active.readAtMost);
    const ssize_t got = real.pread(fd, buffer, count, offset);
    requests.got(got);
    return got;
}

long countedReadFolder(int fd, void* buffer, std::size_t size) {
    if (listingCount++ < active.interruptedListings) {
        errno = EINTR;
        return -1;
    }
    if (active.listingsFail) {
        errno = EIO;
        return -1;
    }
    const long got = real.readFolder(fd, buffer, size);
    if (got == 0 && active.listingsFailAtTheEnd) {
        errno = EIO;
        return -1;
    }
    return got;
}

int faultyStat(const char* path, struct stat* status) {
    ++statusCount;
    if (active.statusFails) {
        errno = EIO;
        return -1;
    }
    if (endsWithName(path, active.goneBeforeStatus)) ::unlink(path);
    return real.stat(path, status);
}

int faultyStatInFolder(int folder, const char* name, struct stat* status, int flags) {
    ++statusCount;
    if (active.statusFails) {
        errno = EIO;
        return -1;
    }
    if (!active.goneBeforeStatus.empty() && name == active.goneBeforeStatus) ::unlinkat(folder, name, 0);
    return real.fstatat(folder, name, status, flags);
}

}  // namespace

FaultyFileLayer::FaultyFileLayer(const ReadFaults& faults) {
    active = faults;
    readCount = openCount = listingCount = statusCount = 0;
    requests.reset();
    platform::systemCalls = {faultyOpen, faultyRead, countedReadFolder, faultyStat, real.fstat, faultyStatInFolder, real.close};
}

FaultyFileLayer::~FaultyFileLayer() { platform::systemCalls = real; }

int FaultyFileLayer::reads() { return readCount; }

int FaultyFileLayer::statusQueries() { return statusCount; }

int FaultyFileLayer::listings() { return listingCount; }

int FaultyFileLayer::overreads() { return requests.overreads(); }

}  // namespace testing_support
