// Fuzzer bytes become a log file; the module's read, which reads blocks
// backwards from the end, must cut what a whole-file reading cuts. The first two bytes
// pick a size at or next to a multiple of the 1024-byte block; the rest,
// repeated, fills it.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "record/tail_reader.h"
#include "tests/support/reference.h"
#include "tests/support/tail_read.h"
#include "tests/support/temp_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string pattern(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::size_t blocks = data[0] % 6;
    const int nudge = data[1] % 9 - 4;
    std::string log;
    if (blocks == 0) {
        log = pattern;
    } else if (!pattern.empty()) {
        const auto target = static_cast<std::size_t>(static_cast<int>(1024 * blocks) + nudge);
        while (log.size() < target) log += pattern;
        log.resize(target);
    }

    static const testing_support::TempFolder folder;
    static const std::string path = folder.file("fuzz.log");
    testing_support::writeFile(path, log);
    const testing_support::TailRead actual = testing_support::readTail(path.c_str());
    const testing_support::TailRead expected = reference::readWholeLog(log);
    FUZZ_CHECK(actual.failed == expected.failed);
    for (std::size_t i = 0; i < record::kFieldCount; ++i) FUZZ_CHECK(actual.field[i] == expected.field[i]);
    FUZZ_CHECK(actual.line == expected.line);
    FUZZ_CHECK(actual.afterLastBreak == expected.afterLastBreak);
    return 0;
}
