#include "platform/file.h"
#include "platform/name_rules_win32.h"
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

NameRules ansiNameRules(unsigned codePage) noexcept {
    NameRules rules;
    rules.windowsPaths = true;
    rules.ignoreCase = true;
    // The UTF-8 code page ("Use Unicode UTF-8 for worldwide language
    // support") has no lead bytes: its characters are UTF-8 sequences.
    rules.utf8 = codePage == CP_UTF8;
    for (unsigned byte = 0; byte < rules.folding.size(); ++byte) {
        rules.leadByte[byte] = !rules.utf8 && ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte)) != 0;
        const char c = static_cast<char>(byte);
        wchar_t wide = 0;
        if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &c, 1, &wide, 1) != 1) {
            // A byte that is no character alone (in UTF-8 every byte from 80)
            // folds to nothing: it stands for itself, in a range no
            // character of an ANSI code page converts to, and so equals only
            // itself. Converted without the flag, they would all be U+FFFD.
            rules.folding[byte] = static_cast<std::uint16_t>(0xF700 | byte);
            continue;
        }
        wchar_t upper = wide;
        if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &wide, 1, &upper, 1) != 1) upper = wide;
        rules.folding[byte] = static_cast<std::uint16_t>(upper);
    }
    return rules;
}

const NameRules& nameRules() noexcept {
    static const NameRules ansiNames = ansiNameRules(::GetACP());
    return ansiNames;
}

}  // namespace platform
