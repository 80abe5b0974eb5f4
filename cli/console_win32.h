#pragma once
// The Windows side of cli/console.h: the choice and the conversion behind
// writeText, for the tests.

#include <string>
#include <string_view>

namespace cli {

// Whether `handle` is a console's; a file's or a pipe's is not.
bool isConsole(void* handle) noexcept;

// `text` as a console should show it, line by line: a line that is UTF-8
// throughout as UTF-8 (a value from a log), any other in `codePage`, the ANSI
// code page (a path, the system's own messages). No line of the programs
// holds both a path and a log's value.
std::wstring consoleText(std::string_view text, unsigned codePage);
// As this system's console should show it: any line that is not UTF-8 in
// the ANSI code page, the one Windows' own programs write such text in.
std::wstring consoleText(std::string_view text);

// How many of the units of `rest` one console write takes: `most` at most,
// and never the first half of a surrogate pair without its second.
std::size_t consoleChunk(std::wstring_view rest, std::size_t most) noexcept;

}  // namespace cli
