// The built module, loaded the way the host loads it and called only through
// its exported names.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <filesystem>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "platform/file.h"
#include "tests/support/held_for_writing.h"
#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

namespace {

class ModuleTest : public ::testing::Test {
protected:
    const host::EntryPoints& entry = testing_support::moduleUnderTest();
    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");

    // A log in the folder whose message is `text`.
    void putLog(const std::string& name, const std::string& text, std::int64_t modified) {
        testing_support::RecordValues values;
        values.text = text;
        testing_support::writeFile(folder.file(name), testing_support::logEndingWith(values));
        testing_support::setModified(folder.file(name), modified);
    }
};

TEST_F(ModuleTest, AnswersFieldsThroughTheEntryPoints) {
    EXPECT_EQ(entry.getMinRefreshInterval(), 1000);
    const testing_support::RecordValues values{
        "14:20:01", "Cem Ilgaz", "SAMETIME", "&lt;html&gt;&lt;body&gt;Build is green&lt;/body&gt;&lt;/html&gt;",
        "Release"};
    testing_support::writeFile(log, testing_support::logEndingWith(values));
    EXPECT_STREQ(entry.function1(log.c_str(), "3"), "Build is green");
    EXPECT_STREQ(entry.function1(log.c_str(), "0"), "14:20:01");
    EXPECT_STREQ(entry.function1(log.c_str(), "6"), "");
    EXPECT_STREQ(entry.function1(nullptr, "3"), "Unable to open file.");
    EXPECT_STREQ(entry.function2(nullptr, nullptr), "Unable to open file.");
    // A device is no log, on either OS.
#ifdef _WIN32
    const char* const device = "NUL";
#else
    const char* const device = "/dev/null";
#endif
    for (const char* number : {"3", "5"}) EXPECT_STREQ(entry.function1(device, number), "Unable to open file.");
}

// CTest runs each test in a process of its own, so here the module is freshly
// loaded: until a log's first read it answers six empty fields, and a log
// dated 1970-01-01 00:00:00 or earlier is never read.
TEST_F(ModuleTest, AFreshModuleAnswersSixEmptyFieldsForALogDatedNoLaterThan1970) {
    testing_support::writeFile(log, testing_support::logEndingWith({}));
    for (const std::int64_t modified : {std::int64_t{0}, std::int64_t{-1}}) {
        testing_support::setModified(log, modified);
        for (const char* number : {"0", "1", "2", "3", "4", "5"}) {
            EXPECT_STREQ(entry.function1(log.c_str(), number), "") << modified << " field " << number;
        }
    }
    testing_support::setModified(log, 1);  // the first second after: read
    EXPECT_STREQ(entry.function1(log.c_str(), "3"), "Hello there");
}

// Each log has its own memory, and an unchanged answer is the same text
// again; a changed one is new text, and the old text stays as it was.
TEST_F(ModuleTest, EachLogAnswersItsOwnFieldsAndAnUnchangedAnswerIsTheSameText) {
    const std::string older = folder.file("older.log");
    testing_support::RecordValues a, b;
    a.text = "from the newer log";
    b.text = "from the older log";
    testing_support::writeFile(log, testing_support::logEndingWith(a));
    testing_support::writeFile(older, testing_support::logEndingWith(b));
    testing_support::setModified(log, 200);
    testing_support::setModified(older, 100);
    const char* first = entry.function1(log.c_str(), "3");
    EXPECT_STREQ(first, "from the newer log");
    EXPECT_STREQ(entry.function1(older.c_str(), "3"), "from the older log");
    EXPECT_EQ(entry.function1(log.c_str(), "3"), first);
    const char* unable = entry.function2(folder.file("missing.log").c_str(), "");
    EXPECT_EQ(entry.function2(folder.file("missing.log").c_str(), ""), unable);

    a.text = "changed";
    testing_support::writeFile(log, testing_support::logEndingWith(a));
    testing_support::setModified(log, 201);
    EXPECT_STREQ(entry.function1(log.c_str(), "3"), "changed");
    EXPECT_STREQ(first, "from the newer log");
}

// A pattern through the real listing of each OS: the newest match answers,
// a folder named like a match is skipped, and on Windows names compare
// without regard to case and never by their short 8.3 names.
TEST_F(ModuleTest, APatternAnswersFromTheNewestMatchingLog) {
    const auto logWith = [&](const std::string& name, const std::string& text, std::int64_t modified) {
        putLog(name, text, modified);
    };
    logWith("older.log", "older", 100);
    logWith("newer.log", "newer", 200);
    logWith("notes.logx", "not a match, with a short name that is", 300);
    std::filesystem::create_directory(folder.file("folder.log"));
    const std::string pattern = folder.file("*.log");
    EXPECT_STREQ(entry.function1(pattern.c_str(), "3"), "newer");
    // The age of the newest match, whichever second the calls fall in.
    const std::string before = entry.function2(folder.file("newer.log").c_str(), "");
    const std::string age = entry.function2(pattern.c_str(), "");
    const std::string after = entry.function2(folder.file("newer.log").c_str(), "");
    EXPECT_TRUE(age == before || age == after) << age << " " << before;
#ifdef _WIN32
    EXPECT_STREQ(entry.function1(folder.file("*.LOG").c_str(), "3"), "newer");
    if (::GetACP() == 1252) {  // É and é in the ANSI code page compare alike
        // Names as the host passes them, in ANSI bytes: not through
        // std::filesystem, which would turn them into UTF-8.
        const std::string ascii = folder.file("a");
        const std::string inFolder = ascii.substr(0, ascii.size() - 1);
        logWith("accented.log", "accented", 400);
        ASSERT_TRUE(::MoveFileA(folder.file("accented.log").c_str(), (inFolder + "\xE9t\xE9.log").c_str()));
        for (const char* matching : {"\xC9*.log", "?t?.log", "\xE9T\xC9.LOG", "\xE9t\xE9.log"}) {
            EXPECT_STREQ(entry.function1((inFolder + matching).c_str(), "3"), "accented") << matching;
        }
        // A host that switched the file functions to the OEM code page
        // passes é as 82 there.
        if (::GetOEMCP() == 437 || ::GetOEMCP() == 850) {
            ::SetFileApisToOEM();
            const std::string oem = entry.function1((inFolder + "\x82t\x82.log").c_str(), "3");
            ::SetFileApisToANSI();
            EXPECT_EQ(oem, "accented");
        }
    }
#else
    EXPECT_STREQ(entry.function1(folder.file("*.LOG").c_str(), "3"), "Unable to open file.");
    // A backslash is part of a name here, not a separator.
    logWith("x\\1.log", "with a backslash", 500);
    EXPECT_STREQ(entry.function1(folder.file("x\\*.log").c_str(), "3"), "with a backslash");
    // Only the last part makes a pattern: a folder called st*r is a folder.
    std::filesystem::create_directory(folder.file("st*r"));
    logWith("st*r/c1.log", "in a folder with a star", 600);
    for (const char* path : {"st*r/c?.log", "st*r/c1.log"}) {
        EXPECT_STREQ(entry.function1(folder.file(path).c_str(), "3"), "in a folder with a star") << path;
    }
#endif
    // A pattern with no folder part lists the current folder.
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const std::string inCurrent = entry.function1("new*.log", "3");
    std::filesystem::current_path(home);
    EXPECT_EQ(inCurrent, "newer");
    for (const std::string& none : {folder.file("*.none"), folder.file("missing/*.log")}) {
        EXPECT_STREQ(entry.function1(none.c_str(), "3"), "Unable to open file.") << none;
        EXPECT_STREQ(entry.function2(none.c_str(), ""), "Unable to open file.") << none;
    }
}

#ifdef _WIN32
// Conversations named after contacts in any script, found by a pattern in
// the host's ASCII text: the newest answers, whatever its name's script and
// the code page, and when it goes, the one before.
TEST_F(ModuleTest, APatternFollowsLogsNamedInAnyScript) {
    const std::int64_t now = platform::nowSeconds();
    const std::string pattern = folder.file("*.log");
    const struct {
        const char* name;
        const char* text;
        int age;
    } logs[] = {
        {"\xE5\xB1\xB1\xE7\x94\xB0.log", "Yamada", 10},                   // 山田.log
        {"\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1.log", "Sofia", 60},  // Σοφία.log
        {"Zo\xC3\xAB.log", "Zoe", 120},                                       // Zoë.log
        {"team.log", "team", 300},
    };
    for (const auto& conversation : logs) putLog(conversation.name, conversation.text, now - conversation.age);
    // Newest first; each goes in turn, and the next answers with its age.
    for (const auto& conversation : logs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_STREQ(entry.function1(pattern.c_str(), "3"), conversation.text);
        const int age = std::stoi(entry.function2(pattern.c_str(), ""));
        EXPECT_GE(age, conversation.age) << conversation.text;
        EXPECT_LE(age, conversation.age + 2) << conversation.text;
        std::filesystem::remove(testing_support::utf8Path(folder.file(conversation.name)));
    }
}
#endif

// One log per conversation, through each OS's listing and clock: a new log
// is passed over until it holds a record, the age included, and a refresh
// that starts after the last one's 100 ms sees what changed meanwhile.
TEST_F(ModuleTest, APatternMovesToANewLogOnceItHoldsARecord) {
    putLog("old.log", "old conversation", 100);
    const std::string pattern = folder.file("*.log");
    const std::string whole = testing_support::logEndingWith({});
    for (const std::size_t bytes : {std::size_t{0}, std::size_t{300}, whole.size()}) {
        testing_support::writeFile(folder.file("new.log"), whole.substr(whole.size() - bytes));
        testing_support::setModified(folder.file("new.log"), 200 + static_cast<std::int64_t>(bytes));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const bool complete = bytes == whole.size();
        EXPECT_STREQ(entry.function1(pattern.c_str(), "3"), complete ? "Hello there" : "old conversation") << bytes;
        // The age of the log answered, whichever second the calls fall in.
        const std::string answered = folder.file(complete ? "new.log" : "old.log");
        const std::string before = entry.function2(answered.c_str(), "");
        const std::string age = entry.function2(pattern.c_str(), "");
        EXPECT_TRUE(age == before || age == entry.function2(answered.c_str(), "")) << bytes << ": " << age;
    }
}

TEST_F(ModuleTest, ReadsALogThatTheWriterHoldsOpen) {
    testing_support::RecordValues values;
    values.text = "written while held";
    testing_support::writeFile(log, testing_support::logEndingWith(values));
    const testing_support::HeldForWriting writer(log);
    ASSERT_TRUE(writer.isOpen());
    EXPECT_STREQ(entry.function1(log.c_str(), "3"), "written while held");
}

// A client writes a record in two parts within one second, and a poll falls
// between them: the whole record shows at the first poll of a later second.
// The log is dated two seconds ahead, so that the first read surely falls
// within or before that second, however slowly this runs.
TEST_F(ModuleTest, ARecordCaughtMidWriteIsReadAgainInALaterSecond) {
    testing_support::RecordValues values;
    values.text = "the whole record";
    const std::string before = testing_support::logEndingWith({});
    const std::string record = testing_support::record(values);
    const std::int64_t second = platform::nowSeconds() + 2;
    testing_support::writeFile(log, before + record.substr(0, record.find('\n') + 1));
    testing_support::setModified(log, second);
    ASSERT_STRNE(entry.function1(log.c_str(), "3"), "the whole record");

    testing_support::writeFile(log, before + record);
    testing_support::setModified(log, second);
    while (platform::nowSeconds() <= second) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_STREQ(entry.function1(log.c_str(), "3"), "the whole record");
}

}  // namespace
