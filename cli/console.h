#pragma once
// How the command-line programs write their text. A Windows console shows
// bytes in its OEM code page, which spells neither a path (ANSI code page)
// nor a log's UTF-8 as meant; through its own UTF-16 API it shows both.
// Redirected to a file or a pipe, and on every other system, text is written
// as the bytes it is.

#include <cstdio>
#include <string_view>

namespace cli {

// Writes `text` to `stream` (stdout or stderr): through the console's UTF-16
// API where the stream is a Windows console, as its bytes anywhere else.
void writeText(std::FILE* stream, std::string_view text);

}  // namespace cli
