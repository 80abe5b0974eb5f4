#include "explain/why_cannot_open.h"

#include "cli/system_message.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace explain {

namespace {

// The system's own words for `error`, with the code.
std::string systemMessage(DWORD error) {
    const std::string text = cli::systemMessage(error);
    return "Windows error " + std::to_string(error) + (text.empty() ? "" : ": " + text);
}

}  // namespace

std::string whyCannotOpen(const char* path) {
    if (path == nullptr) return "no path was given";
    if (*path == '\0') return "the path is empty";
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "it is a folder";
    const HANDLE handle = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        const std::string said = " (" + systemMessage(error) + ")";
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return "no such file or folder" + said;
        if (error == ERROR_ACCESS_DENIED) return "permission denied" + said;
        if (error == ERROR_SHARING_VIOLATION) return "another program holds it without sharing it" + said;
        if (error == ERROR_INVALID_NAME) {
            // Paths reach Windows as 8-bit text in the ANSI code page; a
            // character outside it arrives as '?', which no name may hold.
            return "the name is not valid: it may hold a character that the system's ANSI code page cannot "
                   "express; keep the log in a folder whose path has none" + said;
        }
        return systemMessage(error);
    }
    const DWORD type = ::GetFileType(handle);
    ::CloseHandle(handle);
    if (type != FILE_TYPE_DISK) return "it is not a regular file (a device, pipe or console)";
    return "it could be opened now: it changed since";
}

}  // namespace explain
