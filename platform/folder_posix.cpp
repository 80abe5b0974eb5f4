#include "platform/file.h"
#include "platform/system_calls_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// Folder listings straight from the kernel (Linux's getdents64), into a
// buffer on the stack: opendir() would take one from the heap at every poll.

namespace platform {

namespace {

// As the kernel lays out what getdents64 returns.
struct LinuxDirent64 {
    ino64_t inode;
    off64_t next;
    unsigned short length;
    unsigned char type;
    char name[1];
};

}  // namespace

bool listFolder(const char* folder, FolderVisitor& visitor) noexcept {
    const int fd = openUninterrupted(*folder == '\0' ? "." : folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    alignas(LinuxDirent64) char entries[32 * 1024];
    bool listed = true;
    while (true) {
        const long got = systemCalls.readFolder(fd, entries, sizeof entries);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            listed = got == 0;
            break;
        }
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(entries + at);
            at += entry->length;
            const std::string_view name(entry->name);
            if (name == "." || name == ".." || !visitor.wants(name)) continue;
            struct stat st;
            if (systemCalls.fstatat(fd, entry->name, &st, 0) != 0) {
                visitor.unreadable(name);
                continue;
            }
            if (!S_ISREG(st.st_mode)) continue;
            visitor.found(name, {true, true, static_cast<std::int64_t>(st.st_mtime), static_cast<std::int64_t>(st.st_size)});
        }
    }
    systemCalls.close(fd);
    return listed;
}

const NameRules& nameRules() noexcept {
    // Names are bytes, case and all.
    static const NameRules posixNames;
    return posixNames;
}

}  // namespace platform
