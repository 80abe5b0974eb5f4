#include "explain/command_line.h"

#include <string_view>

#include "cli/usage_error.h"
#include "cli/version.h"
#include "explain/inspection.h"

namespace explain {

namespace {

constexpr const char* kUsage =
    "usage: marlowick-explain [-h|--help] [--version] [--] LOG\n"
    "\n"
    "Reads the chat log LOG the way the Marlowick module does and prints what it\n"
    "sees: the log's size, time and age, the fields the module would answer, one\n"
    "per line, for scripts:\n"
    "  field N NAME: \"VALUE\"   N 0 time, 1 sender, 2 service, 3 message, 4 conversation\n"
    "or the status text it would answer instead, with the reason; then the last 12\n"
    "lines as the module counts them, and hints where the log looks unlike the\n"
    "layout. Values escape \\r, \\t, \\xNN, \\\" and \\\\. After --, an argument that\n"
    "starts with - is a LOG. The log is only read, never changed.\n"
    "\n"
    "Exit status: 0 the module answers fields, 1 it answers a status text,\n"
    "2 usage error.\n";

}  // namespace

int runCommandLine(int argc, const char* const* argv, std::string& out, std::string& err) {
    const char* log = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (options && (arg == "--help" || arg == "-h")) {
            out += kUsage;
            return 0;
        }
        if (options && arg == "--version") {
            out += std::string("marlowick-explain ") + MARLOWICK_VERSION + "\n";
            return 0;
        }
        if (options && arg.size() > 1 && arg[0] == '-') {
            err += cli::unknownOption("marlowick-explain", arg);
            return kUsageError;
        }
        if (log != nullptr) {
            err += "marlowick-explain: one LOG at a time, got a second: " + std::string(arg) + "\n\n" + kUsage;
            return kUsageError;
        }
        log = argv[i];
    }
    if (log == nullptr) {
        err += std::string("marlowick-explain: no LOG given\n\n") + kUsage;
        return kUsageError;
    }
    return inspectLog(log, out);
}

}  // namespace explain
