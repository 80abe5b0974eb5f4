#pragma once
// Windows' own words for an error code, for the programs that report one.
// Built only for Windows.

#include <string>

namespace cli {

// The system's message for `code`, without its trailing line break; empty
// when the system has none.
std::string systemMessage(unsigned long code);

}  // namespace cli
