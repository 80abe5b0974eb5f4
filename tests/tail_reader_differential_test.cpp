// The module's read walks blocks backwards; the reference reads the whole
// log and splits it into lines. On logs shaped to put line breaks, CRs and
// long lines around block edges, both must cut the same fields.

#include <gtest/gtest.h>

#include <random>
#include <iterator>
#include <string>
#include <string_view>

#include "record/tail_reader.h"
#include "tests/support/reference.h"
#include "tests/support/tail_read.h"
#include "tests/support/temp_log.h"

namespace {

using record::kBlockSize;
using testing_support::TailRead;

// Lines of 0 to a few KiB, made of the bytes the rules care about, ended by
// LF or CR LF, cut to a size at or next to a multiple of the block size. Some
// lines are made of the texts the envelope rule looks for instead, or are
// the enveloping service's name alone.
std::string randomLog(std::mt19937& random) {
    const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const std::size_t size = below(3) == 0 ? below(7 * kBlockSize) : kBlockSize * (1 + below(5)) + below(5) - 2;
    const std::size_t longLineOdds = 1 + below(40);
    static constexpr char kAlphabet[] = "abc :\"()\r\0x";
    static constexpr std::string_view kPieces[] = {
        "a", ":", "\"", " ", "SAMETIME", "AMETIME\"", ": \"SAMETIME\"", "&lt;html&gt;&lt;body&gt;", "&lt;/body&gt;&lt;/html&gt;",
    };
    std::string log;
    while (log.size() < size) {
        const std::size_t kind = below(8);
        const std::size_t length = below(longLineOdds) == 0 ? below(3 * kBlockSize) : below(40);
        if (kind == 0) {
            log += "SAMETIME";
        } else if (kind == 1) {
            for (std::size_t i = 0; i < length / 8; ++i) log += kPieces[below(std::size(kPieces))];
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                log.push_back(below(4) == 0 ? kAlphabet[below(sizeof kAlphabet - 1)] : 'a');
            }
        }
        log += below(2) == 0 ? "\r\n" : "\n";
    }
    log.resize(size);
    return log;
}

std::string describe(const TailRead& read) {
    std::string text = read.failed ? "failed" : "ok";
    for (const std::string& field : read.field) text += " [" + field + "]";
    for (const std::optional<std::string>& line : read.line) text += line ? " <" + *line + ">" : " -";
    return text + " after <" + read.afterLastBreak + ">";
}

TEST(TailReaderDifferential, MatchesAWholeFileReadOnRandomLogs) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("random.log");
    std::mt19937 random(1024);
    int enveloped = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const std::string log = randomLog(random);
        testing_support::writeFile(path, log);
        const TailRead expected = reference::readWholeLog(log);
        const TailRead actual = testing_support::readTail(path.c_str());
        ASSERT_EQ(describe(actual), describe(expected)) << "trial " << trial << ", size " << log.size();
        enveloped += expected.field[record::kServiceField] == "SAMETIME" ? 1 : 0;
    }
    EXPECT_GT(enveloped, 50) << "too few logs of the enveloping service to test its rule";
}

}  // namespace
