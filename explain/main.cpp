// marlowick-explain: shows what the module sees at the end of a chat log and
// why it answers what it does.

#include <cstdio>
#include <string>

#include "cli/console.h"
#include "explain/command_line.h"

int main(int argc, char** argv) {
    std::string out, err;
    const int status = explain::runCommandLine(argc, argv, out, err);
    cli::writeText(stdout, out);
    cli::writeText(stderr, err);
    return status;
}
