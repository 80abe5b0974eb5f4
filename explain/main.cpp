// marlowick-explain: shows what the module sees at the end of a chat log and
// why it answers what it does.

#include <cstdio>
#include <string>

#include "explain/command_line.h"

int main(int argc, char** argv) {
    std::string out, err;
    const int status = explain::runCommandLine(argc, argv, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
