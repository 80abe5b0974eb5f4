// What a poll costs, side by side with the system calls it cannot avoid.
// After the timings it prints one ratio per line; each compares numbers
// measured in this same run.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/file.h"
#include "plugin/exports.h"
#include "plugin/file_age.h"
#include "record/field_cache.h"
#include "tests/support/temp_log.h"

namespace {

// A 20-byte message text, as the memory goal asks.
const testing_support::RecordValues kValues{"14:20:01", "Ada Quinn", "XMPP", "twenty bytes exactly", "Team"};

// Each re-read benchmark walks a series of logs modified one second apart, so
// that every poll finds a log newer than the last one read, as when the host
// polls a log that keeps growing. No call to change a file's time is timed.
constexpr std::size_t kSeriesLength = 64;

struct Logs {
    testing_support::TempFolder folder;
    std::vector<std::string> small;  // 64 KiB each
    std::vector<std::string> huge;   // 4 GiB each, sparse but for the tail

    Logs() {
        const std::string tail = testing_support::logEndingWith(kValues);
        const std::int64_t firstModified = platform::nowSeconds() - 123456;
        for (std::size_t i = 0; i < kSeriesLength; ++i) {
            const auto modified = firstModified + static_cast<std::int64_t>(i);
            small.push_back(folder.file("small" + std::to_string(i) + ".log"));
            testing_support::writeFile(small.back(), std::string(64 * 1024 - tail.size(), 'x') + tail);
            testing_support::setModified(small.back(), modified);
            huge.push_back(folder.file("huge" + std::to_string(i) + ".log"));
            testing_support::writeFile(huge.back(), "");
            std::filesystem::resize_file(huge.back(), (std::uintmax_t{4} << 30) - tail.size());
            testing_support::appendFile(huge.back(), tail);
            testing_support::setModified(huge.back(), modified);
        }
    }
};

const Logs& logs() {
    static const Logs instance;
    return instance;
}

void BareStat(benchmark::State& state) {
    struct stat st {};
    const char* const log = logs().small.front().c_str();
    for (auto _ : state) benchmark::DoNotOptimize(::stat(log, &st));
}
BENCHMARK(BareStat);

// Through the entry point, as the host polls.
void CachedPoll(benchmark::State& state) {
    const char* const log = logs().small.front().c_str();
    function1(log, "3");
    for (auto _ : state) benchmark::DoNotOptimize(function1(log, "3"));
}
BENCHMARK(CachedPoll);

// A log with no record, unchanged: a 20 MiB log whose line ends are CRs alone.
void TooSmallPoll(benchmark::State& state) {
    static const testing_support::TempFolder folder;
    static const std::string log = [] {
        const std::string path = folder.file("cr-only.log");
        testing_support::writeFile(path, std::string(20 * 1024 * 1024, '\r'));
        testing_support::setModified(path, platform::nowSeconds() - 1000);
        return path;
    }();
    function1(log.c_str(), "3");
    for (auto _ : state) benchmark::DoNotOptimize(function1(log.c_str(), "3"));
}
BENCHMARK(TooSmallPoll);

// The least any re-read can do: status, open, size, one block, close.
void ReReadFloor(benchmark::State& state, const std::vector<std::string>* series) {
    char block[1024];
    struct stat st {};
    std::size_t next = 0;
    for (auto _ : state) {
        const char* const log = (*series)[next].c_str();
        next = (next + 1) % series->size();
        ::stat(log, &st);
        const int fd = ::open(log, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ::fstat(fd, &st);
        benchmark::DoNotOptimize(::pread(fd, block, sizeof block, st.st_size - static_cast<off_t>(sizeof block)));
        ::close(fd);
    }
}
BENCHMARK_CAPTURE(ReReadFloor, 64KiB, &logs().small);

// Through the entry point, every poll reading its log: the series is longer
// than the number of logs the module remembers, so each log has been
// forgotten by the time it is polled again.
void ReRead(benchmark::State& state, const std::vector<std::string>* series) {
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(function1((*series)[next].c_str(), "3"));
        next = (next + 1) % series->size();
    }
}
BENCHMARK_CAPTURE(ReRead, 64KiB, &logs().small);
BENCHMARK_CAPTURE(ReRead, 4GiB, &logs().huge);

// Folders of 1, 100, 10,000 and 100,000 logs for a pattern: all but the newest are
// empty, which a listing cannot tell.
struct PatternFolders {
    testing_support::TempFolder folder;
    std::map<int, std::string> patterns;  // by matches
    std::map<int, std::string> folders;

    PatternFolders() {
        const std::int64_t modified = platform::nowSeconds() - 1000;
        for (const int matches : {1, 100, 10'000, 100'000}) {
            const std::string name = "logs" + std::to_string(matches);
            std::filesystem::create_directory(folder.file(name));
            for (int i = 0; i < matches; ++i) {
                const std::string log = folder.file(name + "/" + std::to_string(i) + ".log");
                testing_support::writeFile(log, i == 0 ? testing_support::logEndingWith(kValues) : "");
                testing_support::setModified(log, modified - i);
            }
            folders[matches] = folder.file(name);
            patterns[matches] = folder.file(name + "/*.log");
        }
    }
};

const PatternFolders& patternFolders() {
    static const PatternFolders instance;
    return instance;
}

// The least a pattern's poll can do: list the folder, and query the status
// of each entry.
void listWithStatus(const std::string& folder) {
    alignas(8) char entries[32 * 1024];
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (long got; (got = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0;) {
        for (long at = 0; at < got;) {
            const char* name = entries + at + 19;  // after inode, offset, length and type
            at += *reinterpret_cast<const unsigned short*>(entries + at + 16);
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
            struct stat st {};
            benchmark::DoNotOptimize(::fstatat(fd, name, &st, 0));
        }
    }
    ::close(fd);
}

void ListingFloor(benchmark::State& state) {
    const std::string& folder = patternFolders().folders.at(static_cast<int>(state.range(0)));
    for (auto _ : state) listWithStatus(folder);
}
BENCHMARK(ListingFloor)->Arg(1)->Arg(100)->Arg(10'000)->Arg(100'000);

// A host refreshes once a second: after a pause, with the caches gone cold,
// as the refreshes below are timed.
constexpr int kRefreshes = 10;

void pauseForANewRefresh(benchmark::State& state) {
    state.PauseTiming();
    ::usleep(static_cast<useconds_t>(pattern::PatternChoice::kRefreshMilliseconds + 10) * 1000);
    state.ResumeTiming();
}

void ListingFloorAfterAPause(benchmark::State& state) {
    const std::string& folder = patternFolders().folders.at(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pauseForANewRefresh(state);
        listWithStatus(folder);
    }
}
BENCHMARK(ListingFloorAfterAPause)->Arg(1)->Arg(100)->Arg(10'000)->Arg(100'000)->Iterations(kRefreshes);

// A host's refresh of a pattern through the entry points, the newest match
// unchanged: five fields and the age. Each is a new refresh for the module,
// after a pause that is not timed, so few are made.
void PatternRefresh(benchmark::State& state) {
    const char* const pattern = patternFolders().patterns.at(static_cast<int>(state.range(0))).c_str();
    function1(pattern, "3");
    for (auto _ : state) {
        pauseForANewRefresh(state);
        for (const char* field : {"0", "1", "2", "3", "4"}) benchmark::DoNotOptimize(function1(pattern, field));
        benchmark::DoNotOptimize(function2(pattern, ""));
    }
}
BENCHMARK(PatternRefresh)->Arg(1)->Arg(100)->Arg(10'000)->Arg(100'000)->Iterations(kRefreshes);

// Keeps the median of repeated runs, or the single run, per benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || run.run_type == Run::RT_Iteration) {
                auto [slot, fresh] = nanoseconds.try_emplace(run.run_name.str(), run.GetAdjustedRealTime());
                if (median && !fresh) slot->second = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::size_t residentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

void printRatio(const char* what, double ratio, const char* goal) {
    std::printf("ratio %-52s %8.3f   %s\n", what, ratio, goal);
}

// What polls keep, measured as the process's resident memory.
void printMemory() {
    testing_support::TempFolder folder;

    // A 100 KiB message, polled 10,000 times on an unchanged log.
    const std::string longLog = folder.file("long.log");
    testing_support::RecordValues values = kValues;
    values.text = std::string(100 * 1024, 'm');
    testing_support::writeFile(longLog, testing_support::logEndingWith(values));
    std::size_t before = residentBytes();
    for (int i = 0; i < 10'000; ++i) function1(longLog.c_str(), "3");
    printRatio("memory kept / 100 KiB, 10,000 polls of a 100 KiB field", static_cast<double>(residentBytes() - before) / (100 * 1024), "(goal <= 2)");

    // Five fields and the ages of 60 logs a second apart, over and over: the
    // ages cycle, but for the clock moving on.
    std::vector<std::string> aged;
    const std::string tail = testing_support::logEndingWith(kValues);
    for (int i = 0; i < 60; ++i) {
        aged.push_back(folder.file("aged" + std::to_string(i) + ".log"));
        testing_support::writeFile(aged.back(), tail);
        testing_support::setModified(aged.back(), platform::nowSeconds() - 1000 - i);
    }
    const auto pollCycle = [&] {
        for (const std::string& log : aged) {
            for (const char* field : {"0", "1", "2", "3", "4"}) function1(log.c_str(), field);
            function2(log.c_str(), "");
        }
    };
    before = residentBytes();
    pollCycle();
    const std::size_t firstCycle = residentBytes() - before;
    before = residentBytes();
    for (int i = 0; i < 100'000 / 60; ++i) pollCycle();
    std::printf("memory kept: first cycle of 60 logs %zu bytes, the next 100,000 polls %zu bytes\n", firstCycle,
                residentBytes() - before);

    // A log that changes between polls: only changed answers are new text.
    const std::string changing = folder.file("changing.log");
    const std::int64_t firstChange = platform::nowSeconds() - 500'000;
    std::size_t newBytes = 0;
    const char* last[5] = {};
    std::vector<std::string> texts;
    before = residentBytes();
    for (int change = 0; change < 20'000; ++change) {
        values = kValues;
        values.text = "message number " + std::to_string(change);
        testing_support::writeFile(changing, testing_support::logEndingWith(values));
        testing_support::setModified(changing, firstChange + change);
        for (int field = 0; field < 5; ++field) {
            const char* answer = function1(changing.c_str(), std::to_string(field).c_str());
            if (answer != last[field]) newBytes += std::strlen(answer) + 1;
            last[field] = answer;
        }
    }
    printRatio("memory kept / new answers' bytes, 20,000 changes", static_cast<double>(residentBytes() - before) / static_cast<double>(newBytes), "(goal <= 1.05)");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    logs();
    patternFolders();
    // The logs just written go to disk now, not while a poll is timed.
    ::sync();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto time = [&](const char* name) { return reporter.nanoseconds[name]; };

    std::printf("\n");
    if (time("CachedPoll") > 0 && time("BareStat") > 0) {
        printRatio("cached poll / bare stat", time("CachedPoll") / time("BareStat"), "(goal <= 1.15)");
    }
    if (time("ReRead/64KiB") > 0 && time("ReReadFloor/64KiB") > 0) {
        printRatio("re-read / stat+open+fstat+pread+close", time("ReRead/64KiB") / time("ReReadFloor/64KiB"),
                   "(goal <= 1.15)");
        printRatio("re-read 4 GiB log / re-read 64 KiB log", time("ReRead/4GiB") / time("ReRead/64KiB"),
                   "(goal <= 1.10)");
    }
    if (time("TooSmallPoll") > 0 && time("CachedPoll") > 0) {
        printRatio("poll of a 20 MiB log with no record / cached poll", time("TooSmallPoll") / time("CachedPoll"),
                   "(goal <= 1.15)");
    }
    for (const char* matches : {"1", "100", "10000", "100000"}) {
        const std::string after = std::string("/") + matches + "/iterations:" + std::to_string(kRefreshes);
        const double refresh = time(("PatternRefresh" + after).c_str());
        const double floor = time(("ListingFloorAfterAPause" + after).c_str());
        if (refresh > 0 && floor > 0) {
            printRatio((std::string("pattern refresh, 5 fields+age / listing+stats, ") + matches + " matches").c_str(),
                       refresh / floor, "(goal <= 1.15)");
            std::printf("      a refresh of a pattern with %s matches: %.1f us (listing+stats in a tight loop: %.1f us)\n",
                        matches, refresh / 1000, time((std::string("ListingFloor/") + matches).c_str()) / 1000);
        }
    }
    printMemory();
    return 0;
}
