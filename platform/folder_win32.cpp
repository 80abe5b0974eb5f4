#include "platform/file.h"
#include "platform/system_calls_win32.h"
#include "platform/utf16_win32.h"

#include <cwchar>

// Listed through the wide API: every name comes up as it is, in any script,
// as UTF-8.

namespace platform {

namespace {

// The fastest listing Windows 7 and later give, without short 8.3 names and
// in large batches; Vista refuses both and gets the classic one.
HANDLE firstEntry(const wchar_t* path, WIN32_FIND_DATAW& entry) noexcept {
    const HANDLE listing = systemCalls.findFirstFile(path, FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                                     FIND_FIRST_EX_LARGE_FETCH);
    if (listing != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_INVALID_PARAMETER) return listing;
    return systemCalls.findFirstFile(path, FindExInfoStandard, &entry, FindExSearchNameMatch, nullptr, 0);
}

// Windows' invariant upper case, which names compare in. ASCII maps to
// itself but for its letters; anything else asks the system.
char32_t invariantUpperCase(char32_t point) noexcept {
    if (point < 0x80) return point >= 'a' && point <= 'z' ? point - ('a' - 'A') : point;
    wchar_t units[2];
    int length = 1;
    if (point < 0x10000) {
        units[0] = static_cast<wchar_t>(point);
    } else {
        units[0] = static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        length = 2;
    }
    wchar_t upper[2];
    if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, units, length, upper, length) != length) return point;
    if (length == 1) return upper[0];
    return 0x10000 + ((char32_t{upper[0]} - 0xD800) << 10) + (char32_t{upper[1]} - 0xDC00);
}

}  // namespace

bool listFolder(const char* folder, FolderVisitor& visitor) noexcept {
    // The folder's every entry, matched by the caller against its long name
    // only: a pattern given to Windows would also match short 8.3 names.
    WidePath path;
    if (!path.assign(folder)) return false;
    const std::size_t folderLength = path.size();
    if (!path.append(L"*")) return false;
    WIN32_FIND_DATAW entry;
    const HANDLE listing = firstEntry(path.c_str(), entry);
    if (listing == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    char name[3 * MAX_PATH];
    do {
        const std::wstring_view wideName(entry.cFileName, std::wcslen(entry.cFileName));
        const std::string_view utf8Name(name, utf8FromUtf16(wideName, name));
        if (utf8Name == "." || utf8Name == ".." || !visitor.wants(utf8Name)) continue;
        // The status of the name as listed, never of a conversion of it.
        path.truncate(folderLength);
        const FileStatus status = path.append(wideName) ? wideFileStatus(path.c_str()) : FileStatus{};
        if (!status.ok) visitor.unreadable(utf8Name);
        if (status.ok && status.regularFile) visitor.found(utf8Name, status);
    } while (systemCalls.findNextFile(listing, &entry));
    const bool listed = ::GetLastError() == ERROR_NO_MORE_FILES;
    systemCalls.findClose(listing);
    return listed;
}

const NameRules& nameRules() noexcept {
    static const NameRules windowsNames{.windowsPaths = true, .foldCase = invariantUpperCase};
    return windowsNames;
}

}  // namespace platform
