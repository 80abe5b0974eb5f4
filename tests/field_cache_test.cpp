#include "record/field_cache.h"

#include <gtest/gtest.h>

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
        return std::string(cache.queryField(path.c_str(), fieldNumber));
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
    EXPECT_EQ(query(log, "3"), "");  // time 0 is not newer than the empty cache
    EXPECT_EQ(cache.lastModified(), 0);

    writeLog(log, "first", kTime);
    EXPECT_EQ(query(log, "3"), "first");
    EXPECT_EQ(cache.lastModified(), kTime);

    writeLog(log, "same second", kTime);
    EXPECT_EQ(query(log, "3"), "first");

    writeLog(log, "restored copy", kTime - 10);
    EXPECT_EQ(query(log, "3"), "first");

    writeLog(log, "next second", kTime + 1);
    EXPECT_EQ(query(log, "3"), "next second");
    EXPECT_EQ(query(log, "1"), "Ada Quinn");
    EXPECT_EQ(query(log, "5"), "");  // no status after a good read
}

TEST_F(FieldCacheTest, ServesWhicheverFileWasReadLast) {
    const std::string other = folder.file("other.log");
    writeLog(log, "from a", kTime);
    writeLog(other, "from b", kTime - 5);
    EXPECT_EQ(query(log, "3"), "from a");
    EXPECT_EQ(query(other, "3"), "from a");
    setModified(other, kTime + 5);
    EXPECT_EQ(query(other, "3"), "from b");
    EXPECT_EQ(query(log, "3"), "from b");
}

TEST_F(FieldCacheTest, AFailedReadAnswersItsStatusAndIsRetriedOnEveryPoll) {
    const std::string missing = folder.file("missing.log");
    for (const char* number : {"0", "3", "5", "9", "abc"}) {
        EXPECT_EQ(query(missing, number), "Unable to open file.") << number;
    }
    EXPECT_EQ(cache.lastModified(), 0);

    writeFile(log, "too short\n");
    setModified(log, kTime);
    EXPECT_EQ(query(log, "3"), "File too small.");
    EXPECT_EQ(query(log, "3"), "File too small.");  // tried again, not served from the cache
    EXPECT_EQ(cache.lastModified(), 0);

    writeLog(log, "recovered", 100);  // any time after the epoch is newer than a failure
    EXPECT_EQ(query(log, "3"), "recovered");
    EXPECT_EQ(query(log, "5"), "");  // a good read leaves no status behind
    EXPECT_EQ(cache.lastModified(), 100);

    // After a failure the time is 0, so a log dated 1970-01-01 is answered
    // from the failed set, whose field 5 is the status.
    EXPECT_EQ(query(missing, "0"), "Unable to open file.");
    writeLog(log, "never read", 0);
    EXPECT_EQ(query(log, "5"), "Unable to open file.");
    EXPECT_EQ(query(log, "3"), "");
}

TEST_F(FieldCacheTest, PathsThatAreNoRegularFileNeverServeTheCache) {
    // The folder is older than the log just read, so only its type keeps it
    // from being answered out of the cache.
    constexpr std::int64_t kFuture = 2'000'000'000;
    writeLog(log, "cached", kFuture);
    EXPECT_EQ(query(log, "3"), "cached");
    EXPECT_EQ(query(folder.path().string(), "3"), "Unable to open file.");
    EXPECT_EQ(std::string(cache.queryField(nullptr, "3")), std::string("Unable to open file."));
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
        EXPECT_EQ(std::string(cache.queryField(log.c_str(), c.number)), std::string(c.expected))
            << (c.number != nullptr ? c.number : "NULL");
    }
}

}  // namespace
