#pragma once
// Every system call of the POSIX file layer, in one table. Each entry starts
// as the system's own call; a test may swap one for a version that fails,
// is interrupted or reads short, and so injects faults into the real file
// layer rather than into a stand-in for it. The module never changes it.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace platform {

struct SystemCalls {
    int (*open)(const char* path, int flags);
    ssize_t (*pread)(int fd, void* buffer, std::size_t count, std::int64_t offset);
    // The next entries of an open folder, as Linux's getdents64 lays them out.
    long (*readFolder)(int fd, void* buffer, std::size_t size);
    // The status of a path, of an open file, and of a name in an open folder.
    int (*stat)(const char* path, struct stat* status);
    int (*fstat)(int fd, struct stat* status);
    int (*fstatat)(int folder, const char* name, struct stat* status, int flags);
    int (*close)(int fd);
};

extern SystemCalls systemCalls;

// systemCalls.open, tried again while a signal interrupts it. A file or a
// folder; -1 with errno set when it cannot be opened.
int openUninterrupted(const char* path, int flags) noexcept;

}  // namespace platform
