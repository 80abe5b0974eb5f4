#include "record/tail_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/tail_read.h"
#include "tests/support/temp_log.h"

namespace {

using record::kBlockSize;
using testing_support::TailRead;
using testing_support::logEndingWith;
using testing_support::RecordValues;

class TailReaderTest : public ::testing::Test {
protected:
    TailRead read(const std::string& bytes) {
        const std::string path = folder.file("chat.log");
        testing_support::writeFile(path, bytes);
        return testing_support::readTail(path.c_str());
    }

    static void expectFields(const TailRead& read, const RecordValues& values) {
        ASSERT_FALSE(read.failed) << read.field[record::kStatusField];
        EXPECT_EQ(read.field[0], values.time);
        EXPECT_EQ(read.field[1], values.sender);
        EXPECT_EQ(read.field[2], values.service);
        EXPECT_EQ(read.field[3], values.text);
        EXPECT_EQ(read.field[4], values.conversation);
        EXPECT_EQ(read.field[5], "");
    }

    static void expectFailure(const TailRead& read, const char* status) {
        EXPECT_TRUE(read.failed);
        EXPECT_EQ(read.field[record::kStatusField], status);
    }

    testing_support::TempFolder folder;
    const RecordValues values{"14:20:01", "Ada Quinn", "SAMETIME", "Lunch?", "Team lunch"};
};

TEST_F(TailReaderTest, CutsEachFieldFromItsLineWithEitherLineEnd) {
    expectFields(read(logEndingWith(values, "\r\n")), values);
    expectFields(read(logEndingWith(values, "\n")), values);
}

TEST_F(TailReaderTest, IgnoresAnUnterminatedLastLine) {
    expectFields(read(logEndingWith(values) + "<message>  sent: (99:99:99) text: \"x\""), values);
}

TEST_F(TailReaderTest, DropsOnlyTheCarriageReturnBeforeALineFeed) {
    RecordValues stray = values;
    stray.text = "a\rb\x1a c";  // a CR inside a line is text, and Ctrl-Z ends nothing
    expectFields(read(logEndingWith(stray)), stray);
    // An unquoted line comes back whole: a CR kept from its break would show.
    const std::string log = logEndingWith(values) + "no quotes\r\r\nend\r\n";
    EXPECT_EQ(read(log).field[record::kMessageField], "no quotes\r");
}

// The same rule for more lines than a record, as the inspector counts them:
// a CR before the LF dropped, text after the last LF no line, and the first
// line a line only where the bytes begin the file.
TEST(LinesFromEnd, CountLinesAsTheReaderDoes) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(record::linesFromEnd("cut\nb\r\nc\r\r\ntail", 5, false), (Lines{"c\r", "b"}));
    EXPECT_EQ(record::linesFromEnd("cut\nb\r\nc\r\r\ntail", 5, true), (Lines{"c\r", "b", "cut"}));
    EXPECT_EQ(record::linesFromEnd("a\nb\nc\n", 2, true), (Lines{"c", "b"}));
    EXPECT_EQ(record::linesFromEnd("no break", 5, true), Lines{});
}

TEST_F(TailReaderTest, NeedsTheMinimumSizeAndThirteenLineBreaks) {
    const std::string thirteen(13, '\n');
    const std::string exact = std::string(kBlockSize - 13, 'x') + thirteen;
    ASSERT_EQ(exact.size(), 1024u);
    EXPECT_FALSE(read(exact).failed);

    expectFailure(read(exact.substr(1)), record::kFileTooSmall);  // 1023 bytes, 13 breaks

    std::string small;
    for (int i = 0; i < 20; ++i) small += "  text: \"short line\"\r\n";
    ASSERT_LT(small.size(), 1024u);
    const TailRead tooSmall = read(small);
    expectFailure(tooSmall, record::kFileTooSmall);
    EXPECT_EQ(tooSmall.field[3], "");  // nothing is scanned

    // Twelve breaks in a big enough file: the start is reached first, and the
    // fields already cut keep their values.
    std::string twelve = std::string(2000, 'x');
    for (int i = 12; i >= 1; --i) twelve += "  line: \"" + std::to_string(i) + "\"\n";
    const TailRead partial = read(twelve);
    expectFailure(partial, record::kFileTooSmall);
    EXPECT_EQ(partial.field[3], "2");
    EXPECT_EQ(partial.field[2], "8");
    EXPECT_EQ(partial.field[0], "  line: \"11\"");
}

// The record is looked for in the log's last bytes only, so many at most: a
// 13th break at the first byte of them is found, one a byte further back is
// not, and the read then says it stopped there, not at the start. Bounds on
// both sides of the block that the counting past the kept bytes reads.
TEST_F(TailReaderTest, LooksForTheRecordInTheLastBytesOnly) {
    const std::string record = std::string(12, '\n');
    for (const std::int64_t bound : {std::int64_t{2000}, std::int64_t{100'000}}) {
        const std::string path = folder.file("bounded.log");
        const auto readWith13thBreakBack = [&](std::int64_t back) {
            std::string log = std::string(200'000, 'x');
            log[log.size() - static_cast<std::size_t>(back)] = '\n';
            log.replace(log.size() - 12, 12, record);
            testing_support::writeFile(path, log);
            record::TailRecord tail(bound);
            return std::pair{tail.read(path.c_str()), tail.searchEnded()};
        };
        EXPECT_EQ(readWith13thBreakBack(bound), std::pair(record::ReadStatus::kRecord, false)) << bound;
        EXPECT_EQ(readWith13thBreakBack(bound + 1), std::pair(record::ReadStatus::kTooSmall, true)) << bound;
    }
    // A log shorter than the bound reaches its start, as before.
    record::TailRecord tail(2000);
    testing_support::writeFile(folder.file("short.log"), std::string(1500, 'x') + "\n");
    EXPECT_EQ(tail.read(folder.file("short.log").c_str()), record::ReadStatus::kTooSmall);
    EXPECT_FALSE(tail.searchEnded());
}

TEST_F(TailReaderTest, CutsLinesThatCrossSeveralBlocks) {
    RecordValues longValues = values;
    longValues.text = std::string(3 * kBlockSize + 17, 't');
    longValues.sender = std::string(kBlockSize + 1, 's');
    longValues.time = std::string(2 * kBlockSize - 5, '9');
    expectFields(read(logEndingWith(longValues)), longValues);
}

TEST_F(TailReaderTest, DropsACarriageReturnThatEndsTheBlockBeforeItsLineFeed) {
    // Line 2 holds no quote, so it is cut whole and a CR left on it would
    // show. Line 1 is padded so that line 2's CR is the last byte of one block
    // and its LF the first byte of the next, one or two blocks back, with line
    // 2 inside one block or spanning several.
    for (const std::size_t blocksBack : {std::size_t{1}, std::size_t{2}}) {
        for (const std::size_t length : {std::size_t{10}, 2 * kBlockSize + 5}) {
            const std::string line2(length, 'u');
            const std::string line1(blocksBack * kBlockSize - 3, '=');
            const std::string log = logEndingWith(values) + line2 + "\r\n" + line1 + "\r\n";
            const std::size_t edge = log.size() - blocksBack * kBlockSize;
            ASSERT_EQ(log.substr(edge - 1, 2), "\r\n");
            EXPECT_EQ(read(log).field[record::kMessageField], line2) << blocksBack << " " << length;
        }
    }
}

TEST_F(TailReaderTest, FailsToOpenWhatIsNoReadableRegularFile) {
    expectFailure(testing_support::readTail(nullptr), record::kUnableToOpen);
    expectFailure(testing_support::readTail(folder.file("missing.log").c_str()), record::kUnableToOpen);
    expectFailure(testing_support::readTail(folder.path().string().c_str()), record::kUnableToOpen);
    expectFailure(testing_support::readTail(""), record::kUnableToOpen);
}

// The bytes a read keeps are whole blocks from the end, as many as hold the
// record's 13 line breaks, or the whole file; only then does it reach the
// start.
TEST_F(TailReaderTest, KeepsTheBlocksItReadAndWhetherTheyReachTheStart) {
    RecordValues longLine = values;
    longLine.text = std::string(2500, 'm');
    const std::string record = testing_support::record(longLine);
    RecordValues longerThanKept = values;
    longerThanKept.time = std::string(record::kKeptTailBytes, 't');
    const struct {
        const char* name;
        std::string log;
    } cases[] = {
        {"one block of a longer log", logEndingWith(values)},
        {"a long line across blocks", logEndingWith(longLine)},
        {"a record whose 13th break is byte 0", "\n" + record},
        {"a record whose 13th break is byte 1", "x\n" + record},
        {"a record longer than the bytes kept", logEndingWith(longerThanKept)},
        {"a record longer than the bytes kept, its 13th break byte 0", "\n" + testing_support::record(longerThanKept)},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("chat.log");
        testing_support::writeFile(path, c.log);
        record::TailRecord tail;
        ASSERT_EQ(tail.read(path.c_str()), record::ReadStatus::kRecord) << c.name;
        // From the rule: the 13th line feed from the end, and the blocks up to it.
        std::size_t thirteenth = c.log.size();
        for (int found = 0; found < record::kRecordBreaks; ++found) thirteenth = c.log.rfind('\n', thirteenth - 1);
        const std::size_t blocks = (c.log.size() - thirteenth + kBlockSize - 1) / kBlockSize;
        // Past kKeptTailBytes: the record itself, from its first line's break.
        const std::size_t kept = blocks * kBlockSize > record::kKeptTailBytes ? c.log.size() - thirteenth
                                                                              : std::min(c.log.size(), blocks * kBlockSize);
        EXPECT_EQ(tail.bytes(), std::string_view(c.log).substr(c.log.size() - kept)) << c.name;
        EXPECT_EQ(tail.reachedStart(), kept == c.log.size()) << c.name;
        EXPECT_EQ(tail.fileSize(), static_cast<std::int64_t>(c.log.size())) << c.name;
    }
}

// A log with no record keeps only the end of what its read searched, however
// far back the read counted line breaks.
TEST_F(TailReaderTest, ALogWithoutARecordKeepsOnlyItsLastBytes) {
    constexpr std::size_t kKept = record::kKeptTailBytes;
    const struct {
        std::size_t size;
        std::vector<std::size_t> lineFeeds;  // where they are, from the start
    } cases[] = {
        {kKept, {0, 5000}},
        {kKept + 1, {0, 1, 2}},
        {20 * kKept + 7, {3, kKept, 10 * kKept, 20 * kKept + 6}},
        {3 * kKept, {}},
    };
    for (const auto& c : cases) {
        std::string log(c.size, '\r');  // CR-only line ends: no line breaks at all
        for (const std::size_t at : c.lineFeeds) log[at] = '\n';
        const std::string path = folder.file("cr.log");
        testing_support::writeFile(path, log);
        record::TailRecord tail;
        ASSERT_EQ(tail.read(path.c_str()), record::ReadStatus::kTooSmall) << c.size;
        const std::size_t kept = std::min(c.size, kKept);
        EXPECT_EQ(tail.bytes(), std::string_view(log).substr(c.size - kept)) << c.size;
        EXPECT_EQ(tail.reachedStart(), kept == c.size) << c.size;
        EXPECT_EQ(tail.breaksFound(), static_cast<int>(c.lineFeeds.size())) << c.size;
        // A line only partly kept is what is kept of it; text after the last break likewise.
        const std::size_t lastBreak = c.lineFeeds.empty() ? 0 : c.lineFeeds.back() + 1;
        EXPECT_EQ(tail.afterLastBreak(), std::string_view(log).substr(std::max(lastBreak, c.size - kept))) << c.size;
        for (std::size_t k = 1; k < c.lineFeeds.size(); ++k) {
            const std::size_t end = c.lineFeeds[c.lineFeeds.size() - k], begin = c.lineFeeds[c.lineFeeds.size() - k - 1] + 1;
            const std::size_t from = std::max(begin, std::min(end, c.size - kept));
            std::string_view expected = std::string_view(log).substr(from, end - from);
            if (!expected.empty() && expected.back() == '\r') expected.remove_suffix(1);
            EXPECT_EQ(tail.line(static_cast<int>(k)), expected) << c.size << " line " << k;
        }
    }
}

// Expensive where the file system has no sparse files.
TEST_F(TailReaderTest, ReadsTheTailOfALogPastFourGiB) {
    const std::string path = folder.file("huge.log");
    testing_support::writeFile(path, "");
    std::filesystem::resize_file(path, (std::uintmax_t{1} << 32) + 3);
    testing_support::appendFile(path, logEndingWith(values));
    expectFields(testing_support::readTail(path.c_str()), values);
}

}  // namespace
