// marlowick-explain: shows what the module sees at the end of a chat log and
// why it answers what it does.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/console.h"
#include "explain/arguments.h"
#include "explain/command_line.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = explain::utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    std::string out, err;
    const int status = explain::runCommandLine(static_cast<int>(pointers.size()), pointers.data(), out, err);
    cli::writeText(stdout, out);
    cli::writeText(stderr, err);
    return status;
}
