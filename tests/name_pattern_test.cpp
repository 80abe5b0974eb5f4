#include "pattern/name_pattern.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace {

// Names as Linux has them: UTF-8, byte for byte.
const platform::NameRules kPosix;

// A stand-in for Windows' invariant upper case, from the Unicode tables:
// ASCII, Latin-1 and the basic Greek letters, final sigma and the accented
// ones included.
char32_t upperCase(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3C9) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    return c;
}
const platform::NameRules kWindows{.windowsPaths = true, .foldCase = upperCase};

TEST(NamePattern, MatchesStarsAndQuestionMarksAndEveryOtherCharacterAsItIs) {
    const struct {
        const char* pattern;
        const char* name;
        bool posix, windows;
    } cases[] = {
        {"*.log", "chat.log", true, true},
        {"*.log", ".log", true, true},  // a run of none, a leading dot too
        {"*.log", ".hidden.log", true, true},
        {"*.log", "notes.logx", false, false},
        {"*.log", "chat.log.1", false, false},
        {"*", "anything at all", true, true},
        {"chat*", "chat", true, true},  // a trailing * matches nothing too
        {"chat**", "chat", true, true},
        {"chat*?", "chat", false, false},
        {"chat-?.log", "chat-1.log", true, true},
        {"chat-?.log", "chat-12.log", false, false},
        {"chat-?.log", "chat-.log", false, false},
        {"chat-??.log", "chat-12.log", true, true},
        {"a*b*c", "aXbYbZc", true, true},
        {"a*b*c", "aXbYc!", false, false},
        {"*ab*ba", "aba", false, false},  // a later * resumes after the run before it, never inside

        {"[ab].log", "[ab].log", true, true},  // brackets and braces are literal
        {"[ab].log", "a.log", false, false},
        {"{a,b}*", "{a,b}.log", true, true},
        {"{a,b}*", "a.log", false, false},
        {"chat.log", "chat.log", true, true},
        {"chat.log", "chat.lo", false, false},
        // Case: byte for byte, or folded on both sides, a letter in any script.
        {"*.LOG", "chat.log", false, true},
        {"*.log", "CHAT.LOG", false, true},
        {"\xC3\xA9*.log", "\xC3\x89" "cole.log", false, true},                   // é*.log, École.log
        {"\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1.log", "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91.LOG", false, true},  // σοφία, ΣΟΦΊΑ
        {"\xC3\xBC*.log", "\xC3\xA9t\xC3\xA9.log", false, false},                // ü*.log, été.log
        {"\xE6\x97\xA5*", "\xE6\x9C\x88.log", false, false},                    // 日*, 月.log
        {"\xE5\xB1\xB1*", "\xE5\xB1\xB1\xE7\x94\xB0.log", true, true},         // 山*, 山田.log
        {"*.log", "chat.lo\xC3\x8C", false, false},                                // Ì, which folds to no L
        // ? is one character, of one to four bytes; a byte that begins none
        // is one alone, and equals only itself, case or no case.
        {"chat-?.log", "chat-\xC3\xA9.log", true, true},      // é
        {"chat-?.log", "chat-\xE2\x82\xAC.log", true, true},  // €
        {"chat-?.log", "chat-\xF0\x9F\x98\x80.log", true, true},  // one UTF-16 surrogate pair on Windows
        {"chat-??.log", "chat-\xC3\xA9.log", false, false},
        {"chat-?.log", "chat-\xFF.log", true, true},
        {"chat-\xE9.log", "chat-\xC9.log", false, false},
        {"chat-\xFE.log", "chat-\xFE.log", true, true},
        {"chat-??.log", "chat-\xC3.log", false, false},       // a lead byte without its follower
        {"chat-??.log", "chat-\xE0\x80\x80.log", false, false},  // an overlong form: three bytes alone
        {"*\xA9.log", "chat-\xC3\xA9.log", false, false},      // * never resumes inside a character
        // An unpaired surrogate in a Windows name, as the module carries it:
        // three bytes that begin no character.
        {"a*b.log", "a\xED\xA0\x80" "b.log", true, true},
        {"a???b.log", "a\xED\xA0\x80" "b.log", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pattern::matchesPattern(c.pattern, c.name, kPosix), c.posix) << c.pattern << " " << c.name;
        EXPECT_EQ(pattern::matchesPattern(c.pattern, c.name, kWindows), c.windows) << c.pattern << " " << c.name;
    }
}

// Where a UTF-8 sequence is well formed, from the standard's table: no
// overlong forms, no surrogates, nothing past U+10FFFF, continuation bytes
// 80 to BF. A byte that begins none is a character of its own in a name.
TEST(NamePattern, AUtf8CharacterIsAWellFormedSequenceElseOneByte) {
    const struct {
        const char* bytes;
        std::size_t length;  // 0: ill formed
    } cases[] = {
        {"\x7F", 1}, {"\x80", 0}, {"\xC1\xBF", 0}, {"\xC2\x80", 2}, {"\xC2\x7F", 0}, {"\xC2\xC0", 0},
        {"\xDF\xBF", 2}, {"\xC3", 0}, {"\xE0\x9F\xBF", 0}, {"\xE0\xA0\x80", 3}, {"\xE1\x80\x80", 3},
        {"\xE1\x80", 0}, {"\xED\x9F\xBF", 3}, {"\xED\xA0\x80", 0}, {"\xEF\xBF\xBF", 3},
        {"\xF0\x8F\xBF\xBF", 0}, {"\xF0\x90\x80\x80", 4}, {"\xF1\x80\x80\x80", 4}, {"\xF4\x8F\xBF\xBF", 4},
        {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0}, {"\xF1\x80\x80\xC0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::utf8SequenceLength(c.bytes), c.length) << c.bytes;
        EXPECT_EQ(pattern::characterLength(c.bytes, 0), std::max<std::size_t>(c.length, 1)) << c.bytes;
    }
}

TEST(NamePattern, OnlyTheLastPartOfAPathMakesAPattern) {
    const struct {
        const char* path;
        const platform::NameRules& rules;
        std::size_t lastPart;
        bool pattern;
    } cases[] = {
        {"/logs/*.log", kPosix, 6, true},
        {"*.log", kPosix, 0, true},
        {"/logs/chat?.log", kPosix, 6, true},
        {"/lo*gs/chat.log", kPosix, 7, false},
        {"/logs/chat.log", kPosix, 6, false},
        {"/lo*gs/chat?.log", kPosix, 7, true},
        {"C:\\Logs\\*.log", kWindows, 8, true},
        {"C:\\Lo?s\\chat.log", kWindows, 8, false},
        {"C:\\Logs/*.log", kWindows, 8, true},
        {"C:*.log", kWindows, 2, true},  // drive C's current folder
        {"C:", kWindows, 2, false},
        {"C:*.log", kPosix, 0, true},
        {"dir\\*.log", kPosix, 0, true},  // \ is no separator here: dir\*.log is the name
        {"", kPosix, 0, false},
        {"C:\\\xE8\xA1\xA8\\*.log", kWindows, 7, true},  // 表: in Shift JIS its second byte is a backslash
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pattern::lastPartStart(c.path, c.rules), c.lastPart) << c.path;
        EXPECT_EQ(pattern::isPattern(c.path, c.rules), c.pattern) << c.path;
    }
    // Only the bytes of the path are looked at, never one past its end.
    EXPECT_EQ(pattern::lastPartStart(std::string_view("C:", 1), kWindows), 0u);
    EXPECT_EQ(pattern::lastPartStart(std::string_view("ab/", 2), kWindows), 0u);
}

}  // namespace
