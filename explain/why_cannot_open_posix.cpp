#include "explain/why_cannot_open.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace explain {

std::string whyCannotOpen(const char* path, int error) {
    if (path == nullptr || error == platform::kNoPath) return "no path was given";
    if (*path == '\0') return "the path is empty";
    struct stat st;
    if (::stat(path, &st) == 0 && S_ISDIR(st.st_mode)) return "it is a folder";
    if (error == platform::kNotARegularFile) return "it is not a regular file (a device, FIFO or socket)";
    if (error == ENOENT || error == ENOTDIR) return "no such file or folder";
    if (error == EACCES || error == EPERM) return "permission denied";
    if (error > 0) return std::strerror(error);
    return "it was opened, but a read of it failed";
}

}  // namespace explain
