// What a poll costs, side by side with the system calls it cannot avoid.
// After the timings it prints one ratio per line; each compares numbers
// measured in this same run.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
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

// Through the entry point, every poll finding its log newer than the last.
// At the end of the series a poll of no path fails, which makes the module
// forget the last time read, and the series starts over; that poll is timed
// too, and costs the module a little.
void ReRead(benchmark::State& state, const std::vector<std::string>* series) {
    std::size_t next = 0;
    for (auto _ : state) {
        if (next == series->size()) {
            next = 0;
            function1(nullptr, "3");
        }
        benchmark::DoNotOptimize(function1((*series)[next++].c_str(), "3"));
    }
}
BENCHMARK_CAPTURE(ReRead, 64KiB, &logs().small);
BENCHMARK_CAPTURE(ReRead, 4GiB, &logs().huge);

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

// Memory the process keeps per byte handed back, over a million answers.
template <typename Answer>
double memoryPerByte(Answer answer) {
    constexpr int kPolls = 1'000'000;
    const std::size_t before = residentBytes();
    std::size_t handedBack = 0;
    for (int i = 0; i < kPolls; ++i) handedBack += std::strlen(answer()) + 1;
    return static_cast<double>(residentBytes() - before) / static_cast<double>(handedBack);
}

char* mallocCopy(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    return static_cast<char*>(std::memcpy(std::malloc(size), text, size));
}

void printRatio(const char* what, double ratio, const char* goal) {
    std::printf("ratio %-44s %6.3f   %s\n", what, ratio, goal);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    logs();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto time = [&](const char* name) { return reporter.nanoseconds[name]; };
    const char* log = logs().small.front().c_str();
    const double field = memoryPerByte([&] { return function1(log, "3"); });
    const double age = memoryPerByte([&] { return function2(log, ""); });
    const double fieldMalloc = memoryPerByte([&] { return mallocCopy("twenty bytes exactly"); });
    const double ageMalloc = memoryPerByte([&] { return mallocCopy("123456"); });

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
    printRatio("memory kept / bytes handed, 20-byte field", field, "(goal <= 1.05)");
    printRatio("memory kept / bytes handed, age text", age, "(goal <= 1.05)");
    printRatio("same with malloc per answer, 20-byte field", fieldMalloc, "(for comparison)");
    printRatio("same with malloc per answer, age text", ageMalloc, "(for comparison)");
    return 0;
}
