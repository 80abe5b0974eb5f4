#include "record/name_pattern.h"

#include <gtest/gtest.h>

namespace {

// Folds ASCII and the Windows-1252 accented capitals to lower case, as a
// stand-in for the table Windows builds from its code page.
platform::NameFolding caseFolding() {
    platform::NameFolding table{};
    for (unsigned byte = 0; byte < table.size(); ++byte) {
        const bool upper = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
        table[byte] = static_cast<std::uint16_t>(upper ? byte + 32 : byte);
    }
    return table;
}

TEST(NamePattern, MatchesStarsAndQuestionMarksAndEveryOtherByteAsItIs) {
    const platform::NameFolding folding = caseFolding();
    const struct {
        const char* pattern;
        const char* name;
        bool bytewise, folded;
    } cases[] = {
        {"*.log", "chat.log", true, true},
        {"*.log", ".log", true, true},  // a run of none, a leading dot too
        {"*.log", ".hidden.log", true, true},
        {"*.log", "notes.logx", false, false},
        {"*.log", "chat.log.1", false, false},
        {"*", "anything at all", true, true},
        {"chat-?.log", "chat-1.log", true, true},
        {"chat-?.log", "chat-12.log", false, false},  // ? is one byte, not two
        {"chat-?.log", "chat-.log", false, false},
        {"chat-??.log", "chat-12.log", true, true},
        {"a*b*c", "aXbYbZc", true, true},
        {"a*b*c", "aXbYc!", false, false},
        {"[ab].log", "[ab].log", true, true},  // brackets and braces are literal
        {"[ab].log", "a.log", false, false},
        {"{a,b}*", "{a,b}.log", true, true},
        {"{a,b}*", "a.log", false, false},
        {"*.LOG", "chat.log", false, true},  // case: byte for byte, or folded
        {"\xC9*.log", "\xE9t\xE9.log", false, true},  // É*.log and été.log in Windows-1252
        {"chat.log", "chat.log", true, true},
        {"chat.log", "chat.lo", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(record::matchesPattern(c.pattern, c.name, nullptr), c.bytewise) << c.pattern << " " << c.name;
        EXPECT_EQ(record::matchesPattern(c.pattern, c.name, &folding), c.folded) << c.pattern << " " << c.name;
    }
}

TEST(NamePattern, OnlyTheLastPartOfAPathMakesAPattern) {
    const struct {
        const char* path;
        bool backslash, pattern;
    } cases[] = {
        {"/logs/*.log", false, true},
        {"*.log", false, true},
        {"/logs/chat?.log", false, true},
        {"/lo*gs/chat.log", false, false},
        {"/logs/chat.log", false, false},
        {"C:\\Logs\\*.log", true, true},
        {"C:\\Lo?s\\chat.log", true, false},
        {"C:\\Logs/*.log", true, true},
        {"dir\\*.log", false, true},  // \ is no separator here: dir\*.log is the name
        {"", false, false},
    };
    for (const auto& c : cases) EXPECT_EQ(record::isPattern(c.path, c.backslash), c.pattern) << c.path;
}

}  // namespace
