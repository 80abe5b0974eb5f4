#include "explain/why_cannot_open.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace explain {

std::string whyCannotOpen(const char* path) {
    if (path == nullptr) return "no path was given";
    if (*path == '\0') return "the path is empty";
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return "no such file or folder";
        if (error == EACCES || error == EPERM) return "permission denied";
        return std::strerror(error);
    }
    struct stat st;
    const bool known = ::fstat(fd, &st) == 0;
    const int error = errno;
    ::close(fd);
    if (!known) return std::strerror(error);
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file (a device, FIFO or socket)";
    return "it could be opened now: it changed since";
}

}  // namespace explain
