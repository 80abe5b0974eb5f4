#pragma once
// What both programs say of a command line they cannot use, in one line, so
// that they say it alike.

#include <string>
#include <string_view>

namespace cli {

// "PROGRAM: unknown option -x (see PROGRAM --help)"; for an argument that
// could be a file name, how to give one that starts with -.
std::string unknownOption(std::string_view program, std::string_view option);

}  // namespace cli
