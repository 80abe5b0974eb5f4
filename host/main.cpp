// quelvin-host: a stand-in for the host application. It loads a plug-in
// module, asks for its refresh interval, polls the field and age queries
// about one chat log at a fixed rate and prints each answer when it changes.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/console.h"
#include "cli/escaped.h"
#include "cli/usage_error.h"
#include "cli/version.h"
#include "host/entry_points.h"
#include "record/field_number.h"

namespace {

constexpr const char* kUsage =
    "usage: quelvin-host [options] [--] MODULE LOG\n"
    "\n"
    "Loads the plug-in MODULE, then polls it about the chat log LOG and prints\n"
    "every answer that changes, until the poll limit or Ctrl-C.\n"
    "\n"
    "options (--name VALUE or --name=VALUE):\n"
    "  --fields LIST    field numbers to ask for, comma-separated (default 0,1,2,3,4):\n"
    "                   0 time, 1 sender, 2 service, 3 message, 4 conversation,\n"
    "                   5 the status of the last read (empty after a good one);\n"
    "                   each text is passed to the module as given\n"
    "  --interval MS    milliseconds between polls, 1 to 86400000 (one day); never\n"
    "                   below the module's minimum refresh interval (default: that minimum)\n"
    "  --polls N        stop after N polls, 1 to 1000000000 (default: run until Ctrl-C)\n"
    "  --               what follows is MODULE and LOG, even if it starts with -\n"
    "  --version        print the version\n"
    "  -h, --help       show this text\n";

constexpr long long kMaxIntervalMs = 24LL * 60 * 60 * 1000;
constexpr long long kMaxPolls = 1'000'000'000;

struct Options {
    std::string modulePath;
    std::string logPath;
    std::vector<std::string> fields{"0", "1", "2", "3", "4"};
    long long intervalMs = 0;
    std::optional<long long> polls;
};

std::optional<long long> parseNumber(std::string_view text, long long lowest, long long highest) {
    long long value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc{} || parsed.ptr != text.data() + text.size() || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> items;
    while (true) {
        const std::size_t comma = list.find(',');
        items.emplace_back(list.substr(0, comma));
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return items;
}

// The host passes field numbers on as given; the module reads them like C's
// atoi. Says once, for each text that means something other than it shows,
// what the module will make of it.
void explainFieldTexts(const std::vector<std::string>& fields) {
    for (const std::string& text : fields) {
        const std::optional<std::size_t> number = record::parseFieldNumber(text.c_str());
        if (!number) {
            cli::writeText(stderr, "quelvin-host: note: field " + cli::quoted(text) +
                                       " names no field (0 to 5): after a good read its answer is the empty text, "
                                       "after a failed one the status text\n");
        } else if (text != std::to_string(*number)) {
            cli::writeText(stderr, "quelvin-host: note: field " + cli::quoted(text) + " is read by the module as field " +
                                       std::to_string(*number) + "\n");
        }
    }
}

// Returns the options, or nothing after saying why they are unusable (or
// printing what was asked for) with `exitCode` set.
std::optional<Options> parseOptions(int argc, char** argv, int& exitCode) {
    Options options;
    std::vector<std::string> positional;
    exitCode = 2;
    bool optionsEnded = false;
    std::string tookNext;  // the last option that took the next argument as its value
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (optionsEnded) {
            positional.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            cli::writeText(stdout, kUsage);
            exitCode = 0;
            return std::nullopt;
        }
        if (arg == "--version") {
            cli::writeText(stdout, std::string("quelvin-host ") + MARLOWICK_VERSION + "\n");
            exitCode = 0;
            return std::nullopt;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            positional.emplace_back(arg);
            continue;
        }
        std::optional<std::string_view> value;
        if (const std::size_t equals = arg.find('='); equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
        }
        if (arg != "--fields" && arg != "--interval" && arg != "--polls") {
            cli::writeText(stderr, cli::unknownOption("quelvin-host", argv[i]));
            return std::nullopt;
        }
        if (!value) {
            // The next argument is the value, unless it is another option.
            const std::string_view next = i + 1 < argc ? std::string_view(argv[i + 1]) : std::string_view();
            if (i + 1 >= argc || (next.size() > 1 && next[0] == '-')) {
                cli::writeText(stderr, "quelvin-host: " + std::string(argv[i]) + " needs a value (see quelvin-host --help)\n");
                return std::nullopt;
            }
            value = argv[++i];
            tookNext = std::string(arg) + " took " + cli::quoted(*value) + " as its value";
        }
        if (arg == "--fields") {
            options.fields = splitList(*value);
        } else if (arg == "--interval") {
            const std::optional<long long> ms = parseNumber(*value, 1, kMaxIntervalMs);
            if (!ms) {
                cli::writeText(stderr, "quelvin-host: --interval wants milliseconds from 1 to " +
                                           std::to_string(kMaxIntervalMs) + ", not " + cli::quoted(*value) + "\n");
                return std::nullopt;
            }
            options.intervalMs = *ms;
        } else {
            options.polls = parseNumber(*value, 1, kMaxPolls);
            if (!options.polls) {
                cli::writeText(stderr, "quelvin-host: --polls wants a count from 1 to " + std::to_string(kMaxPolls) +
                                           ", not " + cli::quoted(*value) + "\n");
                return std::nullopt;
            }
        }
    }
    if (positional.size() != 2) {
        cli::writeText(stderr, "quelvin-host: expected 2 arguments, MODULE and LOG, but got " +
                                   std::to_string(positional.size()) + (tookNext.empty() ? "" : "; " + tookNext) +
                                   " (see quelvin-host --help)\n");
        return std::nullopt;
    }
    options.modulePath = positional[0];
    options.logPath = positional[1];
    return options;
}

// The signal that asked the host to stop, or 0.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int signal) { stopRequested = signal; }

// Sleeps until `when`, waking early when a stop is requested.
void sleepUntilOrStopped(std::chrono::steady_clock::time_point when) {
    while (!stopRequested && std::chrono::steady_clock::now() < when) {
        std::this_thread::sleep_until(std::min(when, std::chrono::steady_clock::now() + std::chrono::milliseconds(20)));
    }
}

void printChange(const std::string& label, const std::string& answer) {
    const std::time_t now = std::time(nullptr);
    char clock[16] = "";
    std::strftime(clock, sizeof clock, "%H:%M:%S", std::localtime(&now));
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "[%s] %-8s ", clock, label.c_str());
    cli::writeText(stdout, stamp + answer + "\n");
    std::fflush(stdout);
}

// Returns how many polls were made.
long long pollUntilDone(const host::EntryPoints& entry, const Options& options, long long intervalMs) {
    std::map<std::string, std::string> lastAnswers;
    const auto report = [&](const std::string& label, const char* answer) {
        // The text comes from someone's chat log: it is shown quoted and
        // escaped, so no control byte reaches the terminal.
        const std::string text = answer != nullptr ? cli::quoted(answer) : "(null)";
        const auto [seen, isNew] = lastAnswers.try_emplace(label, text);
        if (isNew || seen->second != text) {
            seen->second = text;
            printChange(label, text);
        }
    };
    // Polls keep to a fixed rate: the k-th is due k intervals after the
    // first, however long the polls themselves take, so the age never skips.
    const auto start = std::chrono::steady_clock::now();
    long long polls = 0;
    for (; !stopRequested && (!options.polls || polls < *options.polls); ++polls) {
        sleepUntilOrStopped(start + polls * std::chrono::milliseconds(intervalMs));
        if (stopRequested) break;
        for (const std::string& field : options.fields) {
            report("field " + cli::escapedControls(field), entry.function1(options.logPath.c_str(), field.c_str()));
        }
        report("age", entry.function2(options.logPath.c_str(), ""));
    }
    return polls;
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    const std::optional<Options> options = parseOptions(argc, argv, exitCode);
    if (!options) return exitCode;
    explainFieldTexts(options->fields);

    std::string error;
    const std::unique_ptr<host::PluginModule> module = host::PluginModule::load(options->modulePath, error);
    if (!module) {
        cli::writeText(stderr, "quelvin-host: cannot load " + options->modulePath + ": " + error + "\n");
        return 1;
    }
    host::EntryPoints entry;
    const std::vector<std::string> missing = host::resolveEntryPoints(*module, entry);
    for (const std::string& name : missing) {
        cli::writeText(stderr, "quelvin-host: the module has no entry point named " + name + "\n");
    }
    if (!missing.empty()) return 1;

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    entry.init();
    const int minimumMs = entry.getMinRefreshInterval();
    const long long intervalMs = std::max<long long>(options->intervalMs, minimumMs);
    if (options->intervalMs != 0 && options->intervalMs < intervalMs) {
        cli::writeText(stderr, "quelvin-host: note: --interval " + std::to_string(options->intervalMs) +
                                   " is below the module's minimum: raised to " + std::to_string(intervalMs) + " ms\n");
    }
    cli::writeText(stdout, "quelvin-host: polling " + options->logPath + " every " + std::to_string(intervalMs) +
                               " ms (module minimum " + std::to_string(minimumMs) + " ms)\n");
    std::fflush(stdout);
    const long long polls = pollUntilDone(entry, *options, intervalMs);
    entry.fini();
    cli::writeText(stdout, "quelvin-host: stopped after " + std::to_string(polls) + (polls == 1 ? " poll\n" : " polls\n"));
    // Stopped by a signal: 128 plus its number, as a shell reports a program
    // it ended (130 for Ctrl-C).
    return stopRequested != 0 ? 128 + stopRequested : 0;
}
