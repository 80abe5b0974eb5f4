// What Windows says reaches the user in one line, and a name Windows cannot
// hold is told apart from a code-page problem.

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "cli/console_win32.h"
#include "cli/system_message.h"
#include "explain/inspection.h"
#include "explain/why_cannot_open.h"
#include "tests/support/temp_log.h"

namespace {

TEST(WindowsMessages, AreOneLineWithoutTheirLineBreak) {
    for (const long code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_BAD_EXE_FORMAT}) {
        const std::string message = cli::systemMessage(static_cast<unsigned long>(code));
        EXPECT_FALSE(message.empty()) << code;
        EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << code << ": " << message;
    }
}

TEST(WindowsMessages, AReservedCharacterMakesAnInvalidName) {
    testing_support::TempFolder folder;
    for (const char* name : {"a<b.log", "a>b.log", "a|b.log", "a\"b.log"}) {
        std::string report;
        EXPECT_EQ(explain::inspectLog(folder.file(name).c_str(), report), explain::kAnswersStatus) << name;
        EXPECT_NE(report.find("that Windows reserves"), std::string::npos) << report;
        EXPECT_EQ(report.find("code page"), std::string::npos) << report;
    }
}

// The reason for each way the module's open can fail, from its error code.
TEST(WindowsMessages, NameWhyAnOpenFailed) {
    const struct {
        const char* path;
        int error;
        const char* reason;
    } cases[] = {
        {"C:\\x.log", ERROR_FILE_NOT_FOUND, "no such file or folder"},
        {"C:\\x.log", ERROR_PATH_NOT_FOUND, "no such file or folder"},
        {"C:\\x.log", ERROR_ACCESS_DENIED, "permission denied"},
        {"C:\\x.log", ERROR_SHARING_VIOLATION, "another program holds it without sharing it"},
        {"C:\\x?\\y.log", ERROR_INVALID_NAME, "code page cannot express"},
        {"C:\\x:y.log", ERROR_INVALID_NAME, "that Windows reserves"},
        {"C:\\x.log", platform::kNotARegularFile, "not a regular file"},
        {"C:\\x.log", 0, "it was opened, but a read of it failed"},
    };
    for (const auto& c : cases) {
        const std::string reason = explain::whyCannotOpen(c.path, c.error);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.error << ": " << reason;
    }
}

// A console is written in UTF-16, line by line: a path in the ANSI code page,
// a value from a log as UTF-8 where it is UTF-8. A file or a pipe is no
// console, and gets the bytes as they are.
TEST(WindowsConsole, ShowsPathsInTheAnsiCodePageAndValuesAsUtf8) {
    const struct {
        unsigned codePage;
        const char* text;
        const wchar_t* shown;
    } cases[] = {
        {1252, "log: C:\\caf\xE9.log\nfield 1 sender: \"Zo\xC3\xAB\"\n", L"log: C:\\caf\u00E9.log\nfield 1 sender: \"Zo\u00EB\"\n"},
        {1252, "field 3 message: \"caf\xE9\"", L"field 3 message: \"caf\u00E9\""},  // a log in Windows-1252
        {932, "log: C:\\\x95\x5C.log\n", L"log: C:\\\u8868.log\n"},  // 表, its second byte a backslash
        {932, "", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::consoleText(c.text, c.codePage), c.shown) << c.text;
    // A line that is no UTF-8 is read in the ANSI code page, not the OEM one
    // (437 or 866 there), which would show a Greek or box letter.
    if (::GetACP() == 1252) {
        EXPECT_EQ(cli::consoleText("caf\xE9\n"), L"caf\u00E9\n");
    } else if (::GetACP() == 1251) {
        EXPECT_EQ(cli::consoleText("\xE6\n"), L"\u0436\n");
    }
    // A write of 4 units at most never ends between the halves of a pair.
    const std::wstring emoji = L"abc\U0001F600de";
    EXPECT_EQ(cli::consoleChunk(emoji, 4), 3u);
    EXPECT_EQ(cli::consoleChunk(std::wstring_view(emoji).substr(3), 4), 4u);
    EXPECT_EQ(cli::consoleChunk(L"abc\xD800", 4), 4u);  // a lone one at the end goes all the same

    testing_support::TempFolder folder;
    const std::string path = folder.file("out.txt");
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_FALSE(cli::isConsole(file));
    ::CloseHandle(file);
    HANDLE read = nullptr, write = nullptr;
    ASSERT_TRUE(::CreatePipe(&read, &write, nullptr, 0));
    EXPECT_FALSE(cli::isConsole(write));
    ::CloseHandle(read);
    ::CloseHandle(write);
}

// A match in any script is named by its own name, in UTF-8, and read; a
// file held without sharing is no folder.
TEST(WindowsMessages, NameAMatchInAnyScriptAndAFileHeldWithoutSharing) {
    testing_support::TempFolder folder;
    testing_support::RecordValues values;
    values.sender = "Omega";
    const std::string omega = folder.file("\xCE\xA9\xD0\x96.log");  // ΩЖ.log
    testing_support::writeFile(omega, testing_support::logEndingWith(values));
    std::string report;
    EXPECT_EQ(explain::inspectLog(folder.file("*.log").c_str(), report), explain::kAnswersFields);
    EXPECT_NE(report.find("names: " + omega + ", the newest of 1 matching log"), std::string::npos) << report;
    EXPECT_NE(report.find("field 1 sender: \"Omega\""), std::string::npos) << report;
    EXPECT_EQ(report.find("skipped"), std::string::npos) << report;

    const std::string held = folder.file("held.log");
    testing_support::writeFile(held, testing_support::logEndingWith({}));
    const HANDLE holder = ::CreateFileW(testing_support::utf8Path(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    report.clear();
    EXPECT_EQ(explain::inspectLog(held.c_str(), report), explain::kAnswersStatus);
    EXPECT_NE(report.find("another program holds it without sharing it"), std::string::npos) << report;
    EXPECT_EQ(report.find("folder"), std::string::npos) << report;
    ::CloseHandle(holder);
}

}  // namespace
