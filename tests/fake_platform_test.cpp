// The field query over the fake seam: exact counts of what a poll asks of the
// operating system, and files that change under the reader.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/field_cache.h"
#include "record/tail_reader.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_log.h"

namespace {

using testing_support::logEndingWith;
using testing_support::RecordValues;

constexpr const char* kLog = "chat.log";

class FakePlatformTest : public ::testing::Test {
protected:
    void SetUp() override { fake_platform::reset(); }

    std::string query(const char* fieldNumber) { return std::string(cache.queryField(kLog, fieldNumber).text); }

    static void putLog(const std::string& bytes, std::int64_t modified) {
        fake_platform::put(kLog, {bytes, modified});
    }

    record::FieldCache cache;
};

TEST_F(FakePlatformTest, ACachedPollIsOneStatusQueryAndNothingElse) {
    putLog(logEndingWith({}), 100);
    ASSERT_EQ(query("3"), "Hello there");
    fake_platform::calls() = {};
    for (int i = 0; i < 10; ++i) ASSERT_EQ(query("1"), "Ada Quinn");
    EXPECT_EQ(fake_platform::calls().stat, 10);
    EXPECT_EQ(fake_platform::calls().open, 0);
    EXPECT_EQ(fake_platform::calls().read, 0);
}

TEST_F(FakePlatformTest, AReReadWithinOneBlockOpensReadsAndClosesOnce) {
    putLog(logEndingWith({}), 100);
    ASSERT_EQ(query("3"), "Hello there");
    const fake_platform::Calls& calls = fake_platform::calls();
    EXPECT_EQ(calls.stat, 1);
    EXPECT_EQ(calls.open, 1);
    EXPECT_EQ(calls.read, 1);
    EXPECT_EQ(calls.close, 1);
    EXPECT_EQ(calls.bytesRead, 1024);
}

TEST_F(FakePlatformTest, ReadsOnlyAsManyBlocksAsTheRecordSpans) {
    RecordValues values;
    values.text = std::string(2500, 't');  // line 2 reaches back into a third block
    putLog(std::string(10 * record::kBlockSize, 'x') + logEndingWith(values), 100);
    ASSERT_EQ(query("3"), values.text);
    EXPECT_EQ(fake_platform::calls().read, 3);
    EXPECT_EQ(fake_platform::calls().close, fake_platform::calls().open);

    putLog("short\n", 101);
    EXPECT_EQ(query("3"), "File too small.");
    EXPECT_EQ(fake_platform::calls().read, 4);  // under 1024 bytes, one read of it all, for the inspector
    EXPECT_EQ(fake_platform::calls().close, fake_platform::calls().open);
}

TEST_F(FakePlatformTest, AFileThatShrinksBeforeTheReadCountsOnlyTheBytesRead) {
    RecordValues later;
    later.text = "what is left";
    const std::string shorter = logEndingWith(later);
    putLog(std::string(8 * record::kBlockSize, 'x') + logEndingWith({}), 100);
    // The writer starts the log over between the size query and the read.
    fake_platform::beforeEachRead([&](const std::string& path) { fake_platform::file(path).bytes = shorter; });
    EXPECT_EQ(query("3"), "what is left");

    fake_platform::beforeEachRead([](const std::string& path) { fake_platform::file(path).bytes.clear(); });
    putLog(logEndingWith({}), 101);
    EXPECT_EQ(query("3"), "File too small.");
}

// A writer that cuts its log again and again while it is read: each cut
// block comes back short, the whole of it or only its end, and the read
// starts again from the new end, twice at most; a third cut answers as too
// small, and the next poll tries again.
TEST_F(FakePlatformTest, ALogCutWhileItIsReadStartsAgainTwiceAtMost) {
    std::vector<std::string> versions;  // each shorter than the one before, by less than a block
    for (int i = 0; i < 4; ++i) {
        RecordValues values;
        values.text = "version " + std::to_string(i);
        versions.push_back(std::string(static_cast<std::size_t>(3000 - 700 * i), 'x') + logEndingWith(values));
    }
    const auto readsOf = [&](const std::string& bytes) {
        fake_platform::calls() = {};
        putLog(bytes, 100);
        record::FieldCache fresh;
        fresh.queryField(kLog, "3");
        return fake_platform::calls().read;
    };
    for (int cuts = 1; cuts <= 3; ++cuts) {
        const int readsAfterTheCuts = cuts < 3 ? readsOf(versions[static_cast<std::size_t>(cuts)]) : 0;
        putLog(versions[0], 100 + cuts);
        int reads = 0;
        fake_platform::beforeEachRead([&](const std::string& path) {
            if (++reads <= cuts) fake_platform::file(path).bytes = versions[static_cast<std::size_t>(reads)];
        });
        fake_platform::calls() = {};
        EXPECT_EQ(query("3"), cuts < 3 ? "version " + std::to_string(cuts) : "File too small.") << cuts << " cuts";
        EXPECT_EQ(fake_platform::calls().read, cuts + readsAfterTheCuts) << cuts << " cuts";
        fake_platform::beforeEachRead(nullptr);
    }
    EXPECT_EQ(query("3"), "version 3");
}

// Cut between two blocks of a record: what was read of the old end is gone,
// and the answer comes from what the log holds now, never from a short read
// taken for a whole block.
TEST_F(FakePlatformTest, ALogCutDuringAReReadAnswersFromWhatIsLeft) {
    RecordValues longer, left;
    longer.text = std::string(3000, 'm');
    left.text = "what is left";
    const std::string rest = std::string(700, 'x') + logEndingWith(left);
    putLog(rest + std::string(20 * record::kBlockSize, 'y') + logEndingWith(longer), 100);
    int reads = 0;
    fake_platform::beforeEachRead([&](const std::string& path) {
        if (++reads == 2) fake_platform::file(path).bytes = rest;
    });
    EXPECT_EQ(query("3"), "what is left");
    EXPECT_LE(fake_platform::calls().read, 5);
    EXPECT_EQ(fake_platform::calls().size, 1);
}

// A record found past the bytes kept has its lines read again: a log cut
// before that read starts again from its new end, as any read does.
TEST_F(FakePlatformTest, ALogCutBeforeAFarRecordIsReadAgainStartsFromItsNewEnd) {
    RecordValues farBack, left;
    farBack.text = std::string(2 * record::kKeptTailBytes, 'm');
    left.text = "what is left";
    // Longer before the record than the log it is cut to: that read finds nothing.
    const std::string log = std::string(8 * record::kBlockSize, 'x') + logEndingWith(farBack);
    putLog(log, 100);
    ASSERT_EQ(query("3"), farBack.text);
    const int reads = fake_platform::calls().read;  // the last of them reads the record's lines again
    int read = 0;
    fake_platform::beforeEachRead([&](const std::string& path) {
        if (++read == reads) fake_platform::file(path).bytes = logEndingWith(left);
    });
    putLog(log, 101);
    EXPECT_EQ(query("3"), "what is left");
    EXPECT_EQ(fake_platform::calls().size, 1);
}

// The time a read starts is taken before it: a read that began within the
// log's second and ended after it is unsettled all the same.
TEST_F(FakePlatformTest, AReadThatSpansTheEndOfTheLogsSecondIsReadAgain) {
    RecordValues half, whole;
    half.text = "half";
    whole.text = "whole";
    fake_platform::setNow(100);
    putLog(logEndingWith(half), 100);
    fake_platform::beforeEachRead([](const std::string&) { fake_platform::setNow(101); });
    ASSERT_EQ(query("3"), "half");
    fake_platform::beforeEachRead(nullptr);
    putLog(logEndingWith(whole), 100);
    EXPECT_EQ(query("3"), "whole");
}

// A read starts from nothing: an unsettled mark left by an earlier read is
// gone once a new read begins, also when the log is re-dated to 1970-01-01
// 00:00:00 and read only because the read before it failed.
TEST_F(FakePlatformTest, AReadClearsTheUnsettledMarkOfTheReadBefore) {
    fake_platform::setNow(100);
    putLog(logEndingWith({}), 100);
    ASSERT_EQ(query("3"), "Hello there");  // unsettled: read within its second
    fake_platform::setNow(101);
    fake_platform::file(kLog).openable = false;
    ASSERT_EQ(query("3"), "Unable to open file.");
    fake_platform::file(kLog).openable = true;
    fake_platform::file(kLog).modified = 0;
    fake_platform::setNow(200);
    ASSERT_EQ(query("3"), "Hello there");  // read because the last read failed, settled
    fake_platform::calls() = {};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(query("3"), "Hello there");
    EXPECT_EQ(fake_platform::calls().open, 0);
}

// A log replaced by something that is no regular file, dated earlier, is
// not answered from the memory of the log.
TEST_F(FakePlatformTest, ALogReplacedByAFolderCannotBeOpened) {
    putLog(logEndingWith({}), 100);
    ASSERT_EQ(query("3"), "Hello there");
    fake_platform::put(kLog, {"", 50, false});
    EXPECT_EQ(query("3"), "Unable to open file.");
}

TEST_F(FakePlatformTest, AFailedReadOrOpenIsReportedAndRetried) {
    putLog(logEndingWith({}), 100);
    fake_platform::failReadsAfter(0);
    EXPECT_EQ(query("3"), "Unable to open file.");
    EXPECT_EQ(fake_platform::calls().close, 1);

    fake_platform::failReadsAfter(-1);
    fake_platform::file(kLog).openable = false;  // status readable, file not
    EXPECT_EQ(query("3"), "Unable to open file.");
    fake_platform::file(kLog).openable = true;
    EXPECT_EQ(query("3"), "Hello there");
}

// A log rewritten later in the second its time names keeps that time: only
// a read made after that second has surely seen the whole of it.
TEST_F(FakePlatformTest, AReadWithinTheLogsSecondIsMadeOnceMoreInALaterSecond) {
    RecordValues half, whole;
    half.text = "half";
    whole.text = "whole";
    fake_platform::setNow(100);
    putLog(logEndingWith(half), 100);
    ASSERT_EQ(query("3"), "half");

    putLog(logEndingWith(whole), 100);  // the rest, written in the same second
    fake_platform::calls() = {};
    EXPECT_EQ(query("3"), "half");  // still in that second: nothing says it changed
    EXPECT_EQ(fake_platform::calls().stat, 1);
    EXPECT_EQ(fake_platform::calls().open, 0);
    // Another log read meanwhile has a memory of its own.
    fake_platform::put("other.log", {logEndingWith({}), 100});
    EXPECT_EQ(cache.queryField("other.log", "3").text, "Hello there");
    fake_platform::setNow(101);
    fake_platform::calls() = {};
    EXPECT_EQ(query("3"), "whole");  // the same path in a later second: read once more
    EXPECT_EQ(fake_platform::calls().open, 1);

    putLog(logEndingWith(half), 100);  // settled: the same time is the same log again
    fake_platform::setNow(105);
    EXPECT_EQ(query("3"), "whole");
    EXPECT_EQ(fake_platform::calls().open, 1);
}

// A copy restored over a log read within its second puts its time back: only
// a later time is newer, so the answer stays, in a later second too.
TEST_F(FakePlatformTest, ALogWhoseTimeIsPutBackAfterAReadWithinItsSecondKeepsItsAnswer) {
    RecordValues before, restored;
    before.text = "before";
    restored.text = "restored";
    fake_platform::setNow(100);
    putLog(logEndingWith(before), 100);
    ASSERT_EQ(query("3"), "before");
    putLog(logEndingWith(restored), 90);
    fake_platform::setNow(101);
    EXPECT_EQ(query("3"), "before");
}

TEST_F(FakePlatformTest, AReadMadeAfterTheLogsSecondIsNeverRepeated) {
    fake_platform::setNow(150);
    putLog(logEndingWith({}), 100);
    ASSERT_EQ(query("3"), "Hello there");
    fake_platform::calls() = {};
    for (const std::int64_t now : {151, 200, 100000}) {
        fake_platform::setNow(now);
        EXPECT_EQ(query("3"), "Hello there");
    }
    EXPECT_EQ(fake_platform::calls().stat, 3);
    EXPECT_EQ(fake_platform::calls().open, 0);
}

// A log too small for a record gains one only through a write, which moves
// its time or its size: it is read again then, or once more after a read
// made within its second, and never at a poll that finds neither changed. A
// log that cannot be opened may become readable unwritten: every poll tries.
TEST_F(FakePlatformTest, ALogTooSmallIsReadAgainOnlyWhenItsTimeOrSizeChanges) {
    const std::string small(2000, 'x');
    const std::string record = logEndingWith({});
    const struct {
        const char* change;
        std::string bytes;
        std::int64_t modified, now;
        bool openable;
        int opens;
        const char* answer;
    } steps[] = {
        {"first read", small, 100, 200, true, 1, "File too small."},
        {"nothing", small, 100, 300, true, 0, "File too small."},
        {"its time put back", small, 90, 300, true, 1, "File too small."},
        {"nothing again", small, 90, 300, true, 0, "File too small."},
        {"grown, its time kept", small + "y", 90, 300, true, 1, "File too small."},
        {"grown, and cannot be opened", small + "yz", 90, 300, false, 1, "Unable to open file."},
        {"still cannot be opened", small + "yz", 90, 300, false, 1, "Unable to open file."},
        {"opened, in its second", small, 400, 400, true, 1, "File too small."},
        {"its second not yet over", small, 400, 400, true, 0, "File too small."},
        {"a later second", small, 400, 401, true, 1, "File too small."},
        {"settled", small, 400, 402, true, 0, "File too small."},
        {"a record written", record, 500, 600, true, 1, "Hello there"},
        {"cut under the minimum", record.substr(0, 900), 501, 600, true, 1, "File too small."},
    };
    for (const auto& step : steps) {
        putLog(step.bytes, step.modified);
        fake_platform::file(kLog).openable = step.openable;
        fake_platform::setNow(step.now);
        fake_platform::calls() = {};
        EXPECT_EQ(query("3"), step.answer) << step.change;
        EXPECT_EQ(fake_platform::calls().open, step.opens) << step.change;
    }
}

}  // namespace
