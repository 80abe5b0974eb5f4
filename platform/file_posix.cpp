#include "platform/file.h"
#include "platform/system_calls_posix.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

namespace platform {

namespace {

int openFile(const char* path, int flags) { return ::open(path, flags); }

ssize_t readFileAt(int fd, void* buffer, std::size_t count, std::int64_t offset) {
    return ::pread(fd, buffer, count, static_cast<off_t>(offset));
}

long readFolderEntries(int fd, void* buffer, std::size_t size) { return ::syscall(SYS_getdents64, fd, buffer, size); }

int statPath(const char* path, struct stat* status) { return ::stat(path, status); }

int statOpen(int fd, struct stat* status) { return ::fstat(fd, status); }

int statInFolder(int folder, const char* name, struct stat* status, int flags) {
    return ::fstatat(folder, name, status, flags);
}

int closeFile(int fd) { return ::close(fd); }

}  // namespace

SystemCalls systemCalls = {openFile, readFileAt, readFolderEntries, statPath, statOpen, statInFolder, closeFile};

const char* pathFromHost(const char* hostText, std::string& /*room*/) { return hostText; }

bool isNoSuchFile(int openError) noexcept { return openError == ENOENT; }

int openUninterrupted(const char* path, int flags) noexcept {
    int fd;
    do {
        fd = systemCalls.open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

FileStatus statFile(const char* path) noexcept {
    struct stat st;  // filled by stat(); zeroing it first costs a cached poll
    if (path == nullptr || systemCalls.stat(path, &st) != 0) return {};
    return {true, S_ISREG(st.st_mode), static_cast<std::int64_t>(st.st_mtime), static_cast<std::int64_t>(st.st_size)};
}

std::int64_t nowSeconds() noexcept {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t steadyMilliseconds() noexcept {
    // The coarse clock is read from the vDSO without entering the kernel.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

SharedFile SharedFile::open(const char* path) noexcept {
    if (path == nullptr) return failed(kNoPath);
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait forever
    // inside the host's poll. It has no effect on reads of a regular file.
    const int fd = openUninterrupted(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failed(errno);

    SharedFile file(fd, 0);
    struct stat st;  // filled by fstat(); zeroing it first costs every re-read
    if (systemCalls.fstat(fd, &st) != 0) return failed(errno);
    if (!S_ISREG(st.st_mode)) return failed(kNotARegularFile);
    file.size_ = static_cast<std::int64_t>(st.st_size);
    return file;
}

std::int64_t SharedFile::currentSize() const noexcept {
    struct stat st;
    if (systemCalls.fstat(static_cast<int>(handle_), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::int64_t SharedFile::readAt(std::int64_t offset, char* buffer, std::size_t length) const noexcept {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = systemCalls.pread(static_cast<int>(handle_), buffer + done, length - done,
                                              offset + static_cast<std::int64_t>(done));
        if (got == 0) break;  // end of file
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

void SharedFile::close() noexcept {
    if (handle_ != kNoHandle) systemCalls.close(static_cast<int>(std::exchange(handle_, kNoHandle)));
}

}  // namespace platform
