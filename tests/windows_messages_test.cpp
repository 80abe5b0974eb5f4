// What Windows says reaches the user in one line, and a name Windows cannot
// hold is told apart from a code-page problem.

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "cli/system_message.h"
#include "explain/inspection.h"
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

}  // namespace
