// The real file layer's open and read loop, on both OSes, with faults put
// into the system calls under it. Local files never read short, so nothing
// else runs these paths.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "record/field_cache.h"
#include "tests/support/read_faults.h"
#include "tests/support/tail_read.h"
#include "tests/support/temp_log.h"

namespace {

using testing_support::FaultyFileLayer;
using testing_support::ReadFaults;

TEST(ShortReads, TheReaderGathersEveryByteOrReportsTheFault) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("chat.log");
    testing_support::RecordValues values{"09:15:00", "Ada Quinn", "SAMETIME",
                                         "&lt;html&gt;&lt;body&gt;" + std::string(1500, 'm') + "&lt;/body&gt;&lt;/html&gt;",
                                         "Team lunch"};
    testing_support::writeFile(path, std::string(8 * 1024, 'x') + testing_support::logEndingWith(values));
    const std::string message(1500, 'm');

    const struct {
        const char* fault;
        ReadFaults faults;
        const char* status;  // nullptr: the record is read whole
        int fewestReads;
    } cases[] = {
        {"7 bytes a read, every third interrupted", {.readAtMost = 7, .interruptEvery = 3}, nullptr, 2 * 1024 / 7},
        {"the first two opens interrupted", {.interruptedOpens = 2}, nullptr, 2},
        {"every read fails", {.readsFail = true}, "Unable to open file.", 1},
        // A loop that took no bytes for no progress would spin here for ever.
        {"every read finds the end", {.readsFindTheEnd = true}, "File too small.", 1},
    };
    for (const auto& c : cases) {
        testing_support::TailRead read;
        {
            const FaultyFileLayer faulty(c.faults);
            read = testing_support::readTail(path.c_str());
            EXPECT_GE(FaultyFileLayer::reads(), c.fewestReads) << c.fault << ": the reads missed the fault";
            EXPECT_EQ(FaultyFileLayer::overreads(), 0) << c.fault << ": a read asked past its block";
        }
        EXPECT_EQ(read.field[5], c.status != nullptr ? c.status : "") << c.fault;
        if (c.status == nullptr) {
            EXPECT_EQ(read.field[3], message) << c.fault;
            EXPECT_EQ(read.field[1], "Ada Quinn") << c.fault;
            EXPECT_EQ(read.field[0], "09:15:00") << c.fault;
        }
    }
}

// A writer that empties or cuts its log between the reader's open and its
// first read: the work is set by what the log holds then, not by its old size.
TEST(ShortReads, ALogCutAfterTheOpenIsReadFromItsNewEnd) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("chat.log");
    testing_support::RecordValues values;
    values.text = "what is left";
    const std::string kept = testing_support::logEndingWith(values);
    testing_support::writeFile(path, kept);
    const struct {
        const char* cut;
        long long size;
        const char* answer;  // field 3, or the status of a failed read
    } cases[] = {
        {"to a few records", static_cast<long long>(kept.size()), "what is left"},
        {"to nothing", 0, "File too small."},
    };
    for (const auto& c : cases) {
        std::filesystem::resize_file(path, std::uintmax_t{4} << 30);  // the rest is sparse
        testing_support::TailRead read;
        {
            const FaultyFileLayer faulty({.cutBeforeFirstRead = c.size});
            read = testing_support::readTail(path.c_str());
            // One read finds the old end gone, then as many as the record needs.
            EXPECT_LE(FaultyFileLayer::reads(), 3) << c.cut;
        }
        EXPECT_EQ(read.failed ? read.field[5] : read.field[3], c.answer) << c.cut;
    }
}

// A pattern's poll goes through the same table: it lists the folder (one
// call for all entries on Linux, one per entry and the end on Windows, . and
// .. included), and reads only the newest match.
TEST(ShortReads, APatternListsItsFolderThroughTheSameCalls) {
    testing_support::TempFolder folder;
    for (int i = 0; i < 3; ++i) {
        testing_support::RecordValues values;
        values.text = "log " + std::to_string(i);
        const std::string path = folder.file(std::to_string(i) + ".log");
        testing_support::writeFile(path, testing_support::logEndingWith(values));
        testing_support::setModified(path, 100 + i);
    }
    record::FieldCache cache;
    const FaultyFileLayer counted({});
    const std::string pattern = folder.file("*.log");
    EXPECT_EQ(cache.queryField(pattern.c_str(), "3").text, "log 2");
    EXPECT_GE(FaultyFileLayer::listings(), 1);
    EXPECT_LE(FaultyFileLayer::listings(), 3 + 3);
    EXPECT_EQ(FaultyFileLayer::reads(), 1);
}

// A listing interrupted by a signal goes on, its open too; one that fails
// answers as a log that cannot be opened, at once, also when it fails after
// every entry came: a listing that did not end may have missed the newest.
TEST(ShortReads, AListingThatFailsCannotBeOpened) {
    testing_support::TempFolder folder;
    for (const char* name : {"a.log", "b.log"}) {
        testing_support::writeFile(folder.file(name), testing_support::logEndingWith({}));
    }
    const std::string pattern = folder.file("*.log");
    ReadFaults interrupted;
    interrupted.interruptedListings = 2;
    interrupted.interruptedOpens = 2;
    ReadFaults failing;
    failing.listingsFail = true;
    {
        record::FieldCache cache;
        const FaultyFileLayer faulty(interrupted);
        EXPECT_EQ(cache.queryField(pattern.c_str(), "3").text, "Hello there");
    }
    ReadFaults failingAtTheEnd;
    failingAtTheEnd.listingsFailAtTheEnd = true;
    for (const ReadFaults& faults : {failing, failingAtTheEnd}) {
        record::FieldCache cache;
        const FaultyFileLayer faulty(faults);
        EXPECT_EQ(cache.queryField(pattern.c_str(), "3").text, "Unable to open file.");
        EXPECT_FALSE(cache.patternFileStatus(pattern.c_str()).ok);
    }
}

// Every status query goes through the table too: a match gone between its
// listing and its status, or between its status and its open, is no match,
// and the older one answers with its own age; a status that cannot be read
// leaves a plain path read all the same, and a pattern with no match.
TEST(ShortReads, AMatchGoneBeforeItsStatusOrItsOpenIsPassedBy) {
    testing_support::TempFolder folder;
    const auto putLog = [&](const char* name, const char* text, std::int64_t modified) {
        testing_support::RecordValues values;
        values.text = text;
        testing_support::writeFile(folder.file(name), testing_support::logEndingWith(values));
        testing_support::setModified(folder.file(name), modified);
    };
    const std::string pattern = folder.file("*.log");
    const struct {
        const char* fault;
        ReadFaults faults;
        const char* answer;
        std::int64_t ageFrom;  // 0: none
    } cases[] = {
        {"gone before its status", {.goneBeforeStatus = "new.log"}, "older", 100},
        {"gone before its open", {.goneBeforeOpen = "new.log"}, "older", 100},
        {"every status fails", {.statusFails = true}, "Unable to open file.", 0},
    };
    for (const auto& c : cases) {
        putLog("old.log", "older", 100);
        putLog("new.log", "newer", 200);
        record::FieldCache cache;
        const FaultyFileLayer faulty(c.faults);
        EXPECT_EQ(cache.queryField(pattern.c_str(), "3").text, c.answer) << c.fault;
        const platform::FileStatus status = cache.patternFileStatus(pattern.c_str());
        EXPECT_EQ(status.ok ? status.modifiedSeconds : 0, c.ageFrom) << c.fault;
        EXPECT_GE(FaultyFileLayer::statusQueries(), 1) << c.fault;
    }
    // The newest a pattern chose goes as it changes: the one before answers.
    putLog("old.log", "older", 100);
    putLog("new.log", "newer", 200);
    record::FieldCache cache;
    EXPECT_EQ(cache.queryField(pattern.c_str(), "3").text, "newer");
    testing_support::setModified(folder.file("new.log"), 300);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    {
        const FaultyFileLayer faulty({.goneBeforeOpen = "new.log"});
        EXPECT_EQ(cache.queryField(pattern.c_str(), "3").text, "older");
    }
    // A plain path whose status fails is read all the same.
    const FaultyFileLayer faulty({.statusFails = true});
    EXPECT_EQ(cache.queryField(folder.file("old.log").c_str(), "3").text, "older");
    EXPECT_FALSE(platform::statFile(folder.file("old.log").c_str()).ok);
}

}  // namespace
