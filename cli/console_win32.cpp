#include "cli/console.h"
#include "cli/console_win32.h"

#include <algorithm>
#include <climits>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace cli {

namespace {

// `text` in `codePage` as UTF-16, or false where it is not well formed there
// and `strict` asks for that.
bool widened(std::string_view text, UINT codePage, bool strict, std::wstring& out) {
    if (text.empty()) return true;
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int wide = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (wide <= 0) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(wide));
    ::MultiByteToWideChar(codePage, flags, text.data(), length, out.data() + at, wide);
    return true;
}

}  // namespace

bool isConsole(void* handle) noexcept {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

std::wstring consoleText(std::string_view text, unsigned codePage) {
    std::wstring out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        if (!widened(line, CP_UTF8, true, out)) widened(line, codePage, false, out);
        text.remove_prefix(line.size());
    }
    return out;
}

std::wstring consoleText(std::string_view text) { return consoleText(text, ::GetACP()); }

std::size_t consoleChunk(std::wstring_view rest, std::size_t most) noexcept {
    const std::size_t chunk = std::min(rest.size(), most);
    const bool splitsAPair = chunk > 1 && chunk < rest.size() && rest[chunk - 1] >= 0xD800 && rest[chunk - 1] <= 0xDBFF;
    return splitsAPair ? chunk - 1 : chunk;
}

void writeText(std::FILE* stream, std::string_view text) {
    const HANDLE handle = ::GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((stream != stdout && stream != stderr) || !isConsole(handle)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        // Standard error goes out at once, as its notes would by fprintf.
        if (stream == stderr) std::fflush(stream);
        return;
    }
    // What the C runtime holds for the stream goes first.
    std::fflush(stream);
    const std::wstring wide = consoleText(text);
    for (std::size_t at = 0; at < wide.size();) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(consoleChunk(std::wstring_view(wide).substr(at), 16 * 1024));
        if (!::WriteConsoleW(handle, wide.data() + at, chunk, &written, nullptr) || written == 0) return;
        at += written;
    }
}

}  // namespace cli
