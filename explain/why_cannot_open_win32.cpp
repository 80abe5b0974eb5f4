#include "explain/why_cannot_open.h"

#include <string_view>

#include "cli/system_message.h"
#include "platform/utf16_win32.h"

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

std::string whyCannotOpen(const char* path, int error) {
    if (path == nullptr || error == platform::kNoPath) return "no path was given";
    if (*path == '\0') return "the path is empty";
    const DWORD attributes = ::GetFileAttributesW(platform::utf16FromUtf8(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "it is a folder";
    if (error == platform::kNotARegularFile) return "it is not a regular file (a device, pipe or console)";
    if (error <= 0) return "it was opened, but a read of it failed";
    const auto code = static_cast<DWORD>(error);
    const std::string said = " (" + systemMessage(code) + ")";
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return "no such file or folder" + said;
    if (code == ERROR_ACCESS_DENIED) return "permission denied" + said;
    if (code == ERROR_SHARING_VIOLATION) return "another program holds it without sharing it" + said;
    if (code == ERROR_INVALID_NAME) {
        const std::string_view name(path);
        // A colon belongs only after a drive letter.
        if (name.find_first_of("<>\"|*") != std::string_view::npos || name.find(':', 2) != std::string_view::npos) {
            return "the name is not valid: it holds one of the characters < > : \" | ? * that Windows reserves" + said;
        }
        // The host's path is text in the ANSI code page: a character outside
        // it arrives as '?', which no name may hold either.
        return "the name is not valid: it holds ?, which Windows reserves, or a character that the system's ANSI "
               "code page cannot express, which the host's text carries as ?; keep the log in a folder whose path "
               "has none (a pattern's matches may have any name)" + said;
    }
    return systemMessage(code);
}

}  // namespace explain
