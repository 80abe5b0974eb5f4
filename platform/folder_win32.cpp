#include "platform/file.h"
#include "platform/system_calls_win32.h"

#include <cstring>

// Paths are the host's 8-bit text, handed to the ANSI API unchanged.

namespace platform {

namespace {

// `folder`, a separator where one is needed, then `name`, in `path`; false
// when they do not fit.
bool joined(const char* folder, std::string_view name, char* path, std::size_t room) noexcept {
    const std::size_t length = std::strlen(folder);
    const bool separate = length > 0 && folder[length - 1] != '\\' && folder[length - 1] != '/' &&
                          !(length == 2 && folder[1] == ':');
    const std::size_t total = length + (separate ? 1 : 0) + name.size();
    if (total >= room) return false;
    std::memcpy(path, folder, length);
    if (separate) path[length] = '\\';
    name.copy(path + length + (separate ? 1 : 0), name.size());
    path[total] = '\0';
    return true;
}

}  // namespace

bool listFolder(const char* folder, FolderVisitor& visitor) noexcept {
    // The folder's every entry, matched by the caller against its long name
    // only: a pattern given to Windows would also match short 8.3 names.
    char path[4 * MAX_PATH];
    if (!joined(folder, "*", path, sizeof path)) return false;
    WIN32_FIND_DATAA entry;
    const HANDLE listing = systemCalls.findFirstFile(path, &entry);
    if (listing == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string_view name(entry.cFileName);
        if (name == "." || name == ".." || !visitor.wants(name)) continue;
        const FileStatus status = joined(folder, name, path, sizeof path) ? statFile(path) : FileStatus{};
        if (!status.ok) visitor.unreadable(name);
        if (status.ok && status.regularFile) visitor.found(name, status);
    } while (systemCalls.findNextFile(listing, &entry));
    const bool listed = ::GetLastError() == ERROR_NO_MORE_FILES;
    ::FindClose(listing);
    return listed;
}

const NameRules& nameRules() noexcept {
    static const NameRules ansiNames = [] {
        NameRules rules;
        rules.windowsPaths = true;
        rules.utf8 = false;
        rules.ignoreCase = true;
        for (unsigned byte = 0; byte < rules.folding.size(); ++byte) {
            rules.leadByte[byte] = ::IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte)) != 0;
            const char c = static_cast<char>(byte);
            wchar_t wide = static_cast<wchar_t>(byte);
            ::MultiByteToWideChar(CP_ACP, 0, &c, 1, &wide, 1);
            wchar_t upper = wide;
            if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &wide, 1, &upper, 1) != 1) upper = wide;
            rules.folding[byte] = static_cast<std::uint16_t>(upper);
        }
        return rules;
    }();
    return ansiNames;
}

}  // namespace platform
