#include "record/field_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_log.h"

namespace {

using testing_support::logEndingWith;
using testing_support::RecordValues;
using testing_support::setModified;
using testing_support::writeFile;

constexpr std::int64_t kTime = 1'700'000'000;

class FieldCacheTest : public ::testing::Test {
protected:
    std::string query(const std::string& path, const char* fieldNumber) {
        return std::string(cache.queryField(path.c_str(), fieldNumber).text);
    }

    // Writes a log ending in a record whose message text is `text`.
    void writeLog(const std::string& path, const std::string& text, std::int64_t modified,
                  const std::string& service = "XMPP") {
        RecordValues values;
        values.text = text;
        values.service = service;
        writeFile(path, logEndingWith(values));
        setModified(path, modified);
    }

    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");
    record::FieldCache cache;
};

TEST_F(FieldCacheTest, ReadsAgainOnlyWhenTheFileIsStrictlyNewer) {
    writeLog(log, "epoch", 0);
    EXPECT_EQ(query(log, "3"), "");  // time 0 is not newer than a log never read

    writeLog(log, "first", kTime);
    EXPECT_EQ(query(log, "3"), "first");

    writeLog(log, "same second", kTime);
    EXPECT_EQ(query(log, "3"), "first");

    writeLog(log, "restored copy", kTime - 10);
    EXPECT_EQ(query(log, "3"), "first");

    writeLog(log, "next second", kTime + 1);
    EXPECT_EQ(query(log, "3"), "next second");
    EXPECT_EQ(query(log, "1"), "Ada Quinn");
    EXPECT_EQ(query(log, "5"), "");  // no status after a good read
}

// Until its first read a log answers six empty fields, whatever its time:
// one dated 1970-01-01 00:00:00 or earlier is never read, and nothing failed.
TEST_F(FieldCacheTest, ALogNeverReadAnswersSixEmptyFields) {
    for (const std::int64_t modified : {std::int64_t{0}, std::int64_t{-86'400}}) {
        record::FieldCache fresh;
        writeLog(log, "never read", modified);
        for (const char* number : {"0", "1", "2", "3", "4", "5", "6"}) {
            EXPECT_EQ(fresh.queryField(log.c_str(), number).text, "") << modified << " field " << number;
        }
    }
    // Nor does another log's failure reach it.
    const std::string missing = folder.file("missing.log");
    EXPECT_EQ(query(missing, "3"), "Unable to open file.");
    EXPECT_EQ(query(log, "5"), "");
    // Its own failure does: a path that could not be opened is read, whatever its date.
    writeLog(missing, "read after failing", 0);
    EXPECT_EQ(query(missing, "3"), "read after failing");
}

// Each log has a memory of its own: a log is compared with its own last read.
// Whether a log was read again shows when its bytes change and its time
// does not.
TEST_F(FieldCacheTest, EachLogAnswersItsOwnFieldsUntilSixteenOthersArePolled) {
    constexpr int kLogs = 16;  // as README promises
    const auto path = [&](int i) { return folder.file("log" + std::to_string(i) + ".log"); };
    const auto text = [](int i, const char* version) { return std::to_string(i) + version; };
    // Later logs are older, so a single memory would answer the first one's fields.
    for (int i = 0; i <= kLogs; ++i) writeLog(path(i), text(i, "a"), kTime - i);
    for (int i = 0; i < kLogs; ++i) EXPECT_EQ(query(path(i), "3"), text(i, "a"));
    for (int i = kLogs - 1; i >= 0; --i) {
        writeLog(path(i), text(i, "b"), kTime - i);  // same time: not read again
        EXPECT_EQ(query(path(i), "3"), text(i, "a")) << i;
    }
    EXPECT_EQ(query(path(kLogs), "3"), text(kLogs, "a"));  // forgets the least recently polled: the last
    EXPECT_EQ(query(path(0), "3"), text(0, "a"));
    // A NULL or empty path takes no log's memory: the sixteen remembered stay.
    EXPECT_EQ(cache.queryField(nullptr, "3").text, "Unable to open file.");
    EXPECT_EQ(query("", "3"), "Unable to open file.");
    for (int i = 1; i < kLogs - 1; ++i) EXPECT_EQ(query(path(i), "3"), text(i, "a")) << i;
    EXPECT_EQ(query(path(kLogs - 1), "3"), text(kLogs - 1, "b")) << "forgotten, so read again";
    // The memory a new log takes over is as if never read, whatever it held.
    const std::string never = folder.file("dated 1970.log");
    writeLog(never, "never read", 0);
    for (const char* number : {"3", "5"}) EXPECT_EQ(query(never, number), "") << number;
}

// Paths are compared whole: one that ends another (b.log, and a b.log in
// another folder) names another log.
TEST_F(FieldCacheTest, APathThatEndsAnotherPathIsAnotherLog) {
    std::filesystem::create_directory(folder.path() / "sub");
    writeLog(folder.file("b.log"), "outer", kTime);
    writeLog(folder.file("sub/b.log"), "inner", kTime);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path() / "sub");
    const std::string outer = query(folder.file("b.log"), "3");
    const std::string inner = query("b.log", "3");
    std::filesystem::current_path(before);
    EXPECT_EQ(outer, "outer");
    EXPECT_EQ(inner, "inner");
}

TEST_F(FieldCacheTest, AFailedReadAnswersItsStatusAndIsRetriedOnEveryPoll) {
    const std::string missing = folder.file("missing.log");
    for (const char* number : {"0", "3", "5", "9", "abc"}) {
        EXPECT_EQ(query(missing, number), "Unable to open file.") << number;
    }

    writeFile(log, "too short\n");
    setModified(log, kTime);
    EXPECT_EQ(query(log, "3"), "File too small.");
    EXPECT_EQ(query(log, "3"), "File too small.");  // tried again, not served from the cache

    // A log whose last read failed is read again whatever its time.
    writeLog(log, "recovered", 0);
    EXPECT_EQ(query(log, "3"), "recovered");
    EXPECT_EQ(query(log, "5"), "");  // a good read leaves no status behind
    writeLog(log, "same time", 0);
    EXPECT_EQ(query(log, "3"), "recovered");  // and once read, not again for the same time

    // A log too small that grows within its second: its size tells.
    const std::string grows = folder.file("grows.log");
    writeFile(grows, "too short\n");
    setModified(grows, kTime);
    EXPECT_EQ(query(grows, "3"), "File too small.");
    writeLog(grows, "grown within its second", kTime);
    EXPECT_EQ(query(grows, "3"), "grown within its second");
}

TEST_F(FieldCacheTest, PathsThatAreNoRegularFileNeverServeTheCache) {
    // The folder is older than the log just read, so only its type keeps it
    // from being answered out of the cache.
    constexpr std::int64_t kFuture = 2'000'000'000;
    writeLog(log, "cached", kFuture);
    EXPECT_EQ(query(log, "3"), "cached");
    EXPECT_EQ(query(folder.path().string(), "3"), "Unable to open file.");
    EXPECT_EQ(cache.queryField(nullptr, "3").text, "Unable to open file.");
    EXPECT_EQ(query(log, "3"), "cached");  // neither touched the log's memory
}

TEST_F(FieldCacheTest, StripsTheEnvelopeOnceForTheSametimeServiceOnly) {
    // Stripping this twice would also remove the marker the first pass forms.
    const std::string nested = "&lt;html&gt;&lt;bo&lt;/body&gt;&lt;/html&gt;dy&gt;";
    writeLog(log, nested, kTime, "SAMETIME");
    EXPECT_EQ(query(log, "3"), "&lt;html&gt;&lt;body&gt;");
    EXPECT_EQ(query(log, "3"), "&lt;html&gt;&lt;body&gt;");

    const std::string wrapped = "&lt;html&gt;&lt;body&gt;Hi&lt;/body&gt;&lt;/html&gt;";
    writeLog(log, wrapped, kTime + 1, "sametime");
    EXPECT_EQ(query(log, "3"), wrapped);
    // Only the whole service is compared, not a prefix or suffix of it.
    std::int64_t modified = kTime + 1;
    for (const char* service : {"SAMETIME ", "SAMETIMEX", "SAMETIME SAMETIME", "XSAMETIME"}) {
        writeLog(log, wrapped, ++modified, service);
        EXPECT_EQ(query(log, "3"), wrapped) << service;
    }
    writeLog(log, wrapped, ++modified, "SAMETIME");
    EXPECT_EQ(query(log, "3"), "Hi");
}

TEST_F(FieldCacheTest, ReadsTheFieldNumberAsDecimalTextAndRejectsOutOfRange) {
    RecordValues values{"f0", "f1", "f2", "f3", "f4"};
    writeFile(log, logEndingWith(values));
    setModified(log, kTime);
    const struct {
        const char* number;
        const char* expected;
    } cases[] = {
        {"3", "f3"},   {" 3", "f3"},  {"\t\n\v\f\r3", "f3"}, {"+3", "f3"}, {"3x", "f3"}, {"03", "f3"},
        {"", "f0"},    {"abc", "f0"}, {nullptr, "f0"},      {"-0", "f0"}, {"+", "f0"},  {"- 3", "f0"},
        {"4", "f4"},   {"5", ""},     {"6", ""},            {"-1", ""},   {"-3", ""},
        {"2147483648", ""},  // past int
        {"99999999999999999999999999", ""},
        {"-99999999999999999999999999", ""},
        // Regressions: only the six white-space bytes are skipped, one sign
        // is read, and a number past 32 bits does not wrap to a small one.
        {"\x01" "3", "f0"}, {"\x7f" "3", "f0"}, {"--3", "f0"}, {"+-3", "f0"}, {"-+3", "f0"},
        {"4294967299", ""}, {"18446744073709551619", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cache.queryField(log.c_str(), c.number).text, c.expected)
            << (c.number != nullptr ? c.number : "NULL");
    }
}

}  // namespace
