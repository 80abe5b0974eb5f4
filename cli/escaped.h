#pragma once
// How the command-line programs show a text that comes from someone's chat
// log: quoted, with every byte that could upset a terminal or hide in it
// spelled out, so that "", " " and a trailing space all look different.

#include <string>
#include <string_view>

namespace cli {

// `text` with \r, \t, \n and every other control byte escaped (\xNN).
// Other bytes, UTF-8 included, pass as they are.
std::string escapedControls(std::string_view text);

// The same with \ and " escaped too, in double quotes: a value that can be
// read back exactly.
std::string quoted(std::string_view text);

}  // namespace cli
