// marlowick-explain: shows what the module sees at the end of a chat log and
// why it answers what it does.

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/version.h"
#include "explain/inspection.h"

namespace {

constexpr const char* kUsage =
    "usage: marlowick-explain [--help] [--version] LOG\n"
    "\n"
    "Reads the chat log LOG the way the Marlowick module does and prints what it\n"
    "sees: the log's size, time and age, its last 12 lines counted from the end,\n"
    "and the fields the module would answer, one per line, for scripts:\n"
    "  field N NAME: \"VALUE\"   N 0 time, 1 sender, 2 service, 3 message, 4 conversation\n"
    "or the status text it would answer instead, with the reason, and hints where\n"
    "the log looks unlike the layout. Values escape \\r, \\t, \\xNN, \\\" and \\\\.\n"
    "The log is only read, never changed.\n"
    "\n"
    "Exit status: 0 the module answers fields, 1 it answers a status text,\n"
    "2 usage error.\n";

}  // namespace

int main(int argc, char** argv) {
    const char* log = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("marlowick-explain %s\n", MARLOWICK_VERSION);
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "marlowick-explain: unknown option %s\n\n%s", argv[i], kUsage);
            return explain::kUsageError;
        }
        if (log != nullptr) {
            std::fprintf(stderr, "marlowick-explain: one LOG at a time, got a second: %s\n\n%s", argv[i], kUsage);
            return explain::kUsageError;
        } else {
            log = argv[i];
        }
    }
    if (log == nullptr) {
        std::fprintf(stderr, "marlowick-explain: no LOG given\n\n%s", kUsage);
        return explain::kUsageError;
    }
    std::string report;
    const explain::ExitStatus status = explain::inspectLog(log, report);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return status;
}
