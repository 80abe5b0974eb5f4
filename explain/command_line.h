#pragma once
// marlowick-explain's command line, apart from main() so that its exit
// statuses can be tested.

#include <string>

namespace explain {

// Reads the arguments (argv[1] on), inspects the log named, and returns the
// exit status: 0 the module answers fields, 1 a status text, 2 a usage error.
// What goes to standard output is appended to `out`, to standard error to `err`.
int runCommandLine(int argc, const char* const* argv, std::string& out, std::string& err);

}  // namespace explain
