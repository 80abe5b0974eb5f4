// quelvin-host: a stand-in for the host application. It loads a plug-in
// module, asks for its refresh interval, polls the field and age queries
// about one chat log and prints each answer when it changes.

#include <algorithm>
#include <array>
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

#include "host/plugin_module.h"
#include "plugin/exports.h"

namespace {

constexpr const char* kUsage =
    "usage: quelvin-host [options] MODULE LOG\n"
    "\n"
    "Loads the plug-in MODULE, then polls it about the chat log LOG and prints\n"
    "every answer that changes, until the poll limit or Ctrl-C.\n"
    "\n"
    "options:\n"
    "  --fields LIST    field numbers to ask for, comma-separated (default 0,1,2,3,4)\n"
    "  --interval MS    milliseconds between polls; never below the module's\n"
    "                   minimum refresh interval (default: that minimum)\n"
    "  --polls N        stop after N polls (default: run until Ctrl-C)\n"
    "  --help           show this text\n";

struct Options {
    std::string modulePath;
    std::string logPath;
    std::vector<std::string> fields{"0", "1", "2", "3", "4"};
    long long intervalMs = 0;
    std::optional<long long> polls;
};

std::optional<long long> parseCount(std::string_view text) {
    long long value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc{} || parsed.ptr != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> items;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        items.emplace_back(list.substr(0, comma));
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return items;
}

// Returns the options, or nothing after printing why they are unusable.
std::optional<Options> parseOptions(int argc, char** argv, int& exitCode) {
    Options options;
    std::vector<std::string> positional;
    exitCode = 2;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            exitCode = 0;
            return std::nullopt;
        }
        if (arg == "--fields" || arg == "--interval" || arg == "--polls") {
            const std::optional<std::string_view> text = value();
            if (!text) {
                std::fprintf(stderr, "quelvin-host: %s needs a value\n", argv[i]);
                return std::nullopt;
            }
            if (arg == "--fields") {
                options.fields = splitList(*text);
                continue;
            }
            const std::optional<long long> number = parseCount(*text);
            if (!number) {
                std::fprintf(stderr, "quelvin-host: %s wants a whole number, not '%s'\n", argv[i - 1], argv[i]);
                return std::nullopt;
            }
            (arg == "--interval" ? options.intervalMs : options.polls.emplace()) = *number;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "quelvin-host: unknown option %s\n%s", argv[i], kUsage);
            return std::nullopt;
        }
        positional.emplace_back(arg);
    }
    if (positional.size() != 2) {
        std::fputs(kUsage, stderr);
        return std::nullopt;
    }
    options.modulePath = positional[0];
    options.logPath = positional[1];
    return options;
}

struct EntryPoints {
    int(PLUGIN_CALL* getMinRefreshInterval)();
    void(PLUGIN_CALL* init)();
    void(PLUGIN_CALL* fini)();
    char*(PLUGIN_CALL* function1)(const char*, const char*);
    char*(PLUGIN_CALL* function2)(const char*, const char*);
};

template <typename Pointer>
bool resolve(const host::PluginModule& module, const char* name, Pointer& pointer) {
    const host::PluginModule::Function found = module.find(name);
    if (found == nullptr) {
        std::fprintf(stderr, "quelvin-host: the module has no entry point named %s\n", name);
        return false;
    }
    pointer = reinterpret_cast<Pointer>(found);
    return true;
}

std::optional<EntryPoints> resolveAll(const host::PluginModule& module) {
    const host::EntryPointNames& names = host::kEntryPointNames;
    EntryPoints entry{};
    // Resolve every name before giving up, so one run reports all that are missing.
    bool ok = resolve(module, names.getMinRefreshInterval, entry.getMinRefreshInterval);
    ok = resolve(module, names.init, entry.init) && ok;
    ok = resolve(module, names.fini, entry.fini) && ok;
    ok = resolve(module, names.function1, entry.function1) && ok;
    ok = resolve(module, names.function2, entry.function2) && ok;
    if (!ok) return std::nullopt;
    return entry;
}

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) { stopRequested = 1; }

// Sleeps for up to `ms`, waking early when a stop is requested.
void sleepUnlessStopped(long long ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopRequested && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void printChange(const std::string& label, std::string answer) {
    // The text comes from someone's chat log: no control character in it may
    // reach the terminal.
    for (char& c : answer) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    const std::time_t now = std::time(nullptr);
    char clock[16] = "";
    std::strftime(clock, sizeof clock, "%H:%M:%S", std::localtime(&now));
    std::printf("[%s] %-8s %s\n", clock, label.c_str(), answer.c_str());
    std::fflush(stdout);
}

void pollUntilDone(const EntryPoints& entry, const Options& options, long long intervalMs) {
    std::map<std::string, std::string> lastAnswers;
    const auto report = [&](const std::string& label, const char* answer) {
        const std::string text = answer != nullptr ? answer : "(null)";
        const auto [seen, isNew] = lastAnswers.try_emplace(label, text);
        if (isNew || seen->second != text) {
            seen->second = text;
            printChange(label, text);
        }
    };
    for (long long poll = 0; !stopRequested && (!options.polls || poll < *options.polls); ++poll) {
        if (poll > 0) sleepUnlessStopped(intervalMs);
        if (stopRequested) break;
        for (const std::string& field : options.fields) {
            report("field " + field, entry.function1(options.logPath.c_str(), field.c_str()));
        }
        report("age", entry.function2(options.logPath.c_str(), ""));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    const std::optional<Options> options = parseOptions(argc, argv, exitCode);
    if (!options) return exitCode;

    std::string error;
    const std::unique_ptr<host::PluginModule> module = host::PluginModule::load(options->modulePath, error);
    if (!module) {
        std::fprintf(stderr, "quelvin-host: cannot load %s: %s\n", options->modulePath.c_str(), error.c_str());
        return 1;
    }
    const std::optional<EntryPoints> entry = resolveAll(*module);
    if (!entry) return 1;

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    entry->init();
    const int minimumMs = entry->getMinRefreshInterval();
    const long long intervalMs = std::max<long long>(options->intervalMs, minimumMs);
    std::printf("quelvin-host: polling %s every %lld ms (module minimum %d ms)\n", options->logPath.c_str(),
                intervalMs, minimumMs);
    std::fflush(stdout);
    pollUntilDone(*entry, *options, intervalMs);
    entry->fini();
    return 0;
}
