// A pattern follows the newest log in its folder, over the fake seam: which
// file it names as files appear, change and go, and what a poll costs.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "record/field_cache.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_log.h"

namespace {

using testing_support::logEndingWith;

class PatternTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_platform::reset();
        fake_platform::setNow(10'000);
    }

    // A poll in a refresh of its own, as a host makes one a second.
    std::string query(const char* path, const char* field = "3") {
        fake_platform::advanceMilliseconds(pattern::PatternChoice::kRefreshMilliseconds);
        return std::string(cache.queryField(path, field).text);
    }

    // A log whose message names it.
    static void putLog(const std::string& path, std::int64_t modified) {
        testing_support::RecordValues values;
        values.text = path;
        values.conversation = path;
        fake_platform::put(path, {logEndingWith(values), modified});
    }

    record::FieldCache cache;
};

TEST_F(PatternTest, NamesTheNewestMatchAndOnATieTheNameThatSortsLast) {
    putLog("logs/2026-12-07.log", 100);
    putLog("logs/2026-12-08.log", 200);
    putLog("logs/2026-12-09.log", 200);  // the same second: the later name
    putLog("logs/2026-12-10.txt", 300);  // newest, but no match
    putLog("other/2026-12-11.log", 400);  // another folder
    fake_platform::put("logs/sub.log", {"", 500, false});  // a folder named like a match
    EXPECT_EQ(query("logs/*.log"), "logs/2026-12-09.log");
}

TEST_F(PatternTest, FollowsTheNewestAsLogsAppearChangeAndGo) {
    putLog("logs/a.log", 100);
    putLog("logs/b.log", 200);
    EXPECT_EQ(query("logs/*.log"), "logs/b.log");
    putLog("logs/c.log", 300);  // a new log appears
    EXPECT_EQ(query("logs/*.log"), "logs/c.log");
    putLog("logs/a.log", 400);  // an older log written again
    EXPECT_EQ(query("logs/*.log"), "logs/a.log");
    fake_platform::remove("logs/a.log");  // the newest deleted: the next one
    EXPECT_EQ(query("logs/*.log"), "logs/c.log");
    // Another file with the time remembered is read all the same.
    putLog("logs/b.log", 300);
    putLog("logs/c.log", 250);
    EXPECT_EQ(query("logs/*.log"), "logs/b.log");
}

// Until its first read a pattern answers as a log never read: a newest match
// dated 1970-01-01 00:00:00 is not read; once another file is the newest, it
// is read whatever its time.
TEST_F(PatternTest, AFirstMatchDated1970IsNeverReadButALaterOneIs) {
    putLog("logs/old.log", 0);
    EXPECT_EQ(query("logs/*.log", "3"), "");
    EXPECT_EQ(query("logs/*.log", "5"), "");
    putLog("logs/new.log", 100);
    EXPECT_EQ(query("logs/*.log"), "logs/new.log");
    putLog("logs/zzz.log", 100);  // the same second: the later name, read though no newer
    EXPECT_EQ(query("logs/*.log"), "logs/zzz.log");
}

TEST_F(PatternTest, NoMatchOrNoFolderCannotBeOpened) {
    putLog("logs/a.txt", 100);
    for (const char* pattern : {"logs/*.log", "none/*.log", "*.log"}) {
        for (const char* field : {"0", "3", "5"}) EXPECT_EQ(query(pattern, field), "Unable to open file.") << pattern;
    }
    putLog("logs/a.log", 100);  // tried again at the next poll
    EXPECT_EQ(query("logs/*.log"), "logs/a.log");
    putLog("chat.log", 100);  // no folder: the current one
    EXPECT_EQ(query("*.log"), "chat.log");
    fake_platform::remove("logs/a.log");  // gone again: no age either
    EXPECT_EQ(query("logs/*.log"), "Unable to open file.");
    EXPECT_FALSE(cache.patternFileStatus("logs/*.log").ok);
}

TEST_F(PatternTest, APatternAndAPlainPathKeepTheirOwnMemories) {
    putLog("logs/a.log", 100);
    putLog("logs/b.log", 200);
    EXPECT_EQ(query("logs/*.log"), "logs/b.log");
    EXPECT_EQ(query("logs/a.log"), "logs/a.log");
    EXPECT_EQ(query("logs/*.log"), "logs/b.log");
    EXPECT_EQ(query("logs/?.log"), "logs/b.log");
}

// A cached poll of a pattern lists the folder once and queries the status of
// each match: nothing else, and no read while the newest is unchanged.
TEST_F(PatternTest, ACachedPollListsOnceAndQueriesEachMatch) {
    for (int i = 0; i < 5; ++i) putLog("logs/" + std::to_string(i) + ".log", 100 + i);
    putLog("logs/notes.txt", 999);
    EXPECT_EQ(query("logs/*.log"), "logs/4.log");
    fake_platform::calls() = {};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(query("logs/*.log", "1"), "Ada Quinn");
    EXPECT_EQ(fake_platform::calls().list, 3);
    EXPECT_EQ(fake_platform::calls().stat, 3 * 5);
    EXPECT_EQ(fake_platform::calls().open, 0);
}

// A host's refresh: each field it shows and the age, in a burst. The burst
// lists the folder once and answers from one file, even when a newer log
// appears in the middle of it; the next refresh sees that log.
TEST_F(PatternTest, ARefreshListsOnceAndAnswersFromOneFile) {
    putLog("logs/a.log", 100);
    fake_platform::setNow(1000);
    EXPECT_EQ(query("logs/*.log", "3"), "logs/a.log");
    fake_platform::advanceMilliseconds(1000);
    fake_platform::calls() = {};
    const auto burst = [&](const char* field) {
        fake_platform::advanceMilliseconds(10);
        return std::string(cache.queryField("logs/*.log", field).text);
    };
    EXPECT_EQ(burst("3"), "logs/a.log");
    putLog("logs/b.log", 200);  // appears within the refresh
    EXPECT_EQ(burst("1"), "Ada Quinn");
    EXPECT_EQ(burst("3"), "logs/a.log");
    fake_platform::advanceMilliseconds(10);
    EXPECT_EQ(cache.patternFileStatus("logs/*.log").modifiedSeconds, 100);  // the age's file too
    EXPECT_EQ(fake_platform::calls().list, 1);
    EXPECT_EQ(fake_platform::calls().open, 0);
    // The end of the window is the next refresh, and so is a clock gone back.
    fake_platform::advanceMilliseconds(pattern::PatternChoice::kRefreshMilliseconds - 30);
    EXPECT_EQ(cache.patternFileStatus("logs/*.log").modifiedSeconds, 200);
    EXPECT_EQ(burst("3"), "logs/b.log");
    EXPECT_EQ(fake_platform::calls().list, 2);
    putLog("logs/c.log", 300);
    fake_platform::advanceMilliseconds(-1000);
    EXPECT_EQ(burst("3"), "logs/c.log");
}

// A refresh's window runs from the end of its listing: a listing slower than
// the window is made once a refresh, and every answer of the refresh comes
// from one file, though a newer log appears meanwhile.
TEST_F(PatternTest, ASlowListingIsMadeOnceARefresh) {
    putLog("logs/a.log", 100);
    fake_platform::eachListingTakes(150);
    EXPECT_EQ(query("logs/*.log", "3"), "logs/a.log");
    putLog("logs/c.log", 200);
    fake_platform::calls() = {};
    for (const char* field : {"4", "3", "4"}) {
        fake_platform::advanceMilliseconds(20);
        EXPECT_EQ(cache.queryField("logs/*.log", field).text, "logs/a.log") << field;
    }
    EXPECT_EQ(cache.patternFileStatus("logs/*.log").modifiedSeconds, 100);
    EXPECT_EQ(fake_platform::calls().list, 0);
    EXPECT_EQ(query("logs/*.log", "4"), "logs/c.log");
}

// One log per conversation: a new conversation's log answers "File too
// small." until it holds a record, and meanwhile the one before answers, the
// age included. A newer log too small is read again only when it changes; one
// that cannot be opened is answered, since that is worth seeing.
TEST_F(PatternTest, ANewLogTakesOverOnceItHoldsARecord) {
    putLog("chat/old.log", 100);
    const std::string whole = logEndingWith({});
    const auto grow = [&](std::size_t bytes, std::int64_t modified) {
        fake_platform::put("chat/new.log", {whole.substr(whole.size() - bytes), modified});
    };
    const struct {
        const char* step;
        std::function<void()> change;
        const char* answer;
        std::int64_t ageFrom;
        int opens;
    } steps[] = {
        {"the old log alone", [] {}, "chat/old.log", 100, 1},
        {"a new log, empty", [&] { grow(0, 200); }, "chat/old.log", 100, 1},
        {"unchanged", [] {}, "chat/old.log", 100, 0},
        {"its first lines", [&] { grow(300, 201); }, "chat/old.log", 100, 1},
        {"unchanged since it grew", [] {}, "chat/old.log", 100, 0},
        {"a record's lines but the break before them", [&] {
             std::size_t start = whole.size();
             for (int k = 0; k <= record::kRecordLines; ++k) start = whole.rfind('\n', start - 1);
             grow(whole.size() - start - 1, 202);
         }, "chat/old.log", 100, 1},
        {"the new log's size changes, not its time", [&] { grow(900, 202); }, "chat/old.log", 100, 1},
        {"its record complete", [&] { grow(whole.size(), 203); }, "Hello there", 203, 1},
        {"the new log cannot be opened", [] {
             fake_platform::file("chat/new.log").openable = false;
             fake_platform::file("chat/new.log").modified = 204;
         }, "Unable to open file.", 204, 1},
        {"nor now", [] {}, "Unable to open file.", 204, 1},
        {"the new log opens, cut too small", [&] {
             grow(900, 205);
             fake_platform::file("chat/new.log").openable = true;
         }, "chat/old.log", 100, 2},
        {"the old log cut too small too", [] {
             fake_platform::put("chat/old.log", {"cut\n", 150});
         }, "File too small.", 205, 1},
        {"nothing changes", [] {}, "File too small.", 205, 0},
    };
    for (const auto& step : steps) {
        step.change();
        fake_platform::calls() = {};
        EXPECT_EQ(query("chat/*.log"), step.answer) << step.step;
        EXPECT_EQ(cache.patternFileStatus("chat/*.log").modifiedSeconds, step.ageFrom) << step.step;
        EXPECT_EQ(fake_platform::calls().open, step.opens) << step.step;
    }
}

// A match gone between the listing and its read is no match: the choice
// moves on in the same refresh, the age with it; one there that cannot be
// opened is answered. Asked fresh, after a good read, after a pass-over.
TEST_F(PatternTest, AMatchGoneBeforeItsReadIsNoMatch) {
    const auto goneAtItsOpen = [](const char* name) {
        fake_platform::beforeEachOpen([name](const std::string& path) {
            if (path == name) fake_platform::remove(path);
        });
    };
    const struct {
        const char* step;
        std::function<void()> change;
        const char* answer;
        std::int64_t ageFrom;  // 0: no file, the age "Unable to open file." too
    } steps[] = {
        {"the newest gone at its first read", [&] {
             putLog("chat/old.log", 100);
             putLog("chat/new.log", 200);
             goneAtItsOpen("chat/new.log");
         }, "chat/old.log", 100},
        {"the one chosen, changed, gone at its read", [&] {
             putLog("chat/old.log", 300);
             goneAtItsOpen("chat/old.log");
         }, "Unable to open file.", 0},
        {"a newer one there but unopenable", [&] {
             putLog("chat/old.log", 100);
             putLog("chat/new.log", 200);
             fake_platform::file("chat/new.log").openable = false;
         }, "Unable to open file.", 200},
        {"passed over, then gone as a newer one comes", [&] {
             fake_platform::put("chat/new.log", {"too small\n", 300});
             putLog("chat/newest.log", 400);
             goneAtItsOpen("chat/newest.log");
         }, "chat/old.log", 100},
        {"every match too small, the newest gone", [&] {
             fake_platform::put("chat/old.log", {"small\n", 150});
             fake_platform::put("chat/newest.log", {"small\n", 500});
             goneAtItsOpen("chat/newest.log");
         }, "File too small.", 300},
    };
    for (const auto& step : steps) {
        fake_platform::beforeEachOpen(nullptr);
        step.change();
        EXPECT_EQ(query("chat/*.log"), step.answer) << step.step;
        const platform::FileStatus status = cache.patternFileStatus("chat/*.log");
        EXPECT_EQ(status.ok ? status.modifiedSeconds : 0, step.ageFrom) << step.step;
    }
}

// After a refresh with no match, a choice names no file; one that reads the
// match it lists names it.
TEST_F(PatternTest, AChoiceWithNoMatchNamesNoFile) {
    pattern::FolderMatches matches(pattern::kMatchesLookedAt);
    record::LastRead chosen, candidate;
    pattern::PatternChoice choice;
    putLog("chat/a.log", 100);
    choice.refresh("chat/*.log", matches, chosen, candidate);
    EXPECT_EQ(choice.file(), "chat/a.log");
    fake_platform::remove("chat/a.log");
    choice.refresh("chat/*.log", matches, chosen, candidate);
    EXPECT_EQ(choice.file(), "");
    EXPECT_EQ(choice.chose(), pattern::PatternChoice::Chose::kNoMatch);
}

// A match passed over that goes is forgotten: back with the same size and
// time, it is read.
TEST_F(PatternTest, ALogPassedOverThatGoesIsForgotten) {
    putLog("chat/old.log", 100);
    const std::string whole = logEndingWith({});
    std::string sameSize(whole.size(), 'x');
    sameSize.back() = '\n';
    fake_platform::put("chat/new.log", {sameSize, 200});
    EXPECT_EQ(query("chat/*.log"), "chat/old.log");
    fake_platform::remove("chat/new.log");
    EXPECT_EQ(query("chat/*.log"), "chat/old.log");
    fake_platform::put("chat/new.log", {whole, 200});
    EXPECT_EQ(query("chat/*.log"), "Hello there");
    // Gone with every other match, then back the same: read, too.
    const auto putAll = [&](const std::string& middle) {
        putLog("chat/old.log", 100);
        fake_platform::put("chat/mid.log", {middle, 300});
        fake_platform::put("chat/new.log", {"too small\n", 400});
    };
    putAll(sameSize);
    EXPECT_EQ(query("chat/*.log"), "chat/old.log");
    for (const char* log : {"chat/old.log", "chat/mid.log", "chat/new.log"}) fake_platform::remove(log);
    EXPECT_EQ(query("chat/*.log"), "Unable to open file.");
    putAll(whole);
    EXPECT_EQ(query("chat/*.log"), "Hello there");
}

// A memory that passes from one pattern to another starts as a log never
// read: a newest match dated 1970 is not read, and a name the first pattern
// passed over is read in the second's folder, however alike.
TEST_F(PatternTest, AMemoryPassedToAnotherPatternKeepsNothingOfTheFirst) {
    const auto pollOthers = [&](std::size_t first) {
        for (std::size_t i = 1; i < record::FieldCache::kLogs; ++i) query(("other" + std::to_string(first + i) + ".log").c_str());
    };
    putLog("a/x.log", 100);
    const std::string whole = logEndingWith({});
    fake_platform::put("a/y.log", {std::string(whole.size(), 'x'), 200});
    EXPECT_EQ(query("a/*.log"), "a/x.log");
    pollOthers(0);
    fake_platform::put("b/y.log", {whole, 200});
    fake_platform::put("b/z.log", {"short\n", 300});
    EXPECT_EQ(query("b/*.log"), "Hello there");
    pollOthers(100);
    putLog("c/old.log", 0);
    EXPECT_EQ(query("c/*.log"), "");
}

// A newer match that cannot be opened is answered, not passed over; a
// refresh that finds no match forgets what was passed over.
TEST_F(PatternTest, ANewerMatchThatCannotBeOpenedIsAnsweredAndNoMatchForgets) {
    putLog("chat/old.log", 100);
    fake_platform::put("chat/new.log", {"", 200, true, false});
    EXPECT_EQ(query("chat/*.log"), "Unable to open file.");
    const std::string whole = logEndingWith({});
    fake_platform::put("chat/new.log", {std::string(whole.size(), 'x'), 200});
    EXPECT_EQ(query("chat/*.log"), "chat/old.log");
    fake_platform::remove("chat/old.log");
    fake_platform::remove("chat/new.log");
    EXPECT_EQ(query("chat/*.log"), "Unable to open file.");
    fake_platform::put("chat/new.log", {whole, 200});
    EXPECT_EQ(query("chat/*.log"), "Hello there");
}

// While every match is too small the newest answers so; a folder of many
// logs too small costs a bounded number of reads: past the first newer ones
// passed over, the newest's status answers.
TEST_F(PatternTest, PassesOverABoundedNumberOfNewerLogsTooSmall) {
    putLog("chat/0-old.log", 100);
    const auto putSmall = [](int i) { fake_platform::put("chat/" + std::to_string(100 + i) + ".log", {"short\n", 200}); };
    for (int i = 0; i < 16; ++i) putSmall(i);
    EXPECT_EQ(query("chat/*.log"), "chat/0-old.log");
    EXPECT_EQ(query("chat/*.log"), "chat/0-old.log");
    putSmall(16);
    fake_platform::calls() = {};
    EXPECT_EQ(query("chat/*.log"), "File too small.");
    EXPECT_EQ(cache.patternFileStatus("chat/*.log").modifiedSeconds, 200);
    EXPECT_LE(fake_platform::calls().open, 1);
    fake_platform::remove("chat/0-old.log");
    for (int i = 1; i <= 16; ++i) fake_platform::remove("chat/" + std::to_string(100 + i) + ".log");
    EXPECT_EQ(query("chat/*.log"), "File too small.");
}

}  // namespace
