#include "record/name_pattern.h"

#include <gtest/gtest.h>

namespace {

// Names as Linux has them: UTF-8, byte for byte.
const platform::NameRules kUtf8;

// Windows in an ANSI code page: ASCII folded to upper case, and in the
// single-byte one the Windows-1252 accented letters too; in the double-byte
// one (932) the lead bytes of its two-byte characters, whose second bytes
// include ASCII letters and \. Stand-ins for the tables Windows builds.
platform::NameRules windowsNames(bool doubleByte) {
    platform::NameRules rules;
    rules.windowsPaths = true;
    rules.utf8 = false;
    rules.ignoreCase = true;
    for (unsigned byte = 0; byte < rules.folding.size(); ++byte) {
        const bool lower = (byte >= 'a' && byte <= 'z') || (!doubleByte && byte >= 0xE0 && byte <= 0xFE && byte != 0xF7);
        rules.folding[byte] = static_cast<std::uint16_t>(lower ? byte - 32 : byte);
        rules.leadByte[byte] = doubleByte && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
    }
    return rules;
}

const platform::NameRules kAnsi = windowsNames(false);
const platform::NameRules kShiftJis = windowsNames(true);

// Windows in the UTF-8 code page (65001): characters are UTF-8 sequences,
// ASCII folds, and a byte from 80 up is no character alone and folds to
// nothing but itself.
platform::NameRules windowsUtf8Names() {
    platform::NameRules rules = windowsNames(false);
    rules.utf8 = true;
    for (unsigned byte = 0x80; byte < rules.folding.size(); ++byte) rules.folding[byte] = static_cast<std::uint16_t>(0xF700 | byte);
    return rules;
}
const platform::NameRules kWindowsUtf8 = windowsUtf8Names();

TEST(NamePattern, MatchesStarsAndQuestionMarksAndEveryOtherCharacterAsItIs) {
    const struct {
        const char* pattern;
        const char* name;
        bool utf8, ansi;
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
        {"[ab].log", "[ab].log", true, true},  // brackets and braces are literal
        {"[ab].log", "a.log", false, false},
        {"{a,b}*", "{a,b}.log", true, true},
        {"{a,b}*", "a.log", false, false},
        {"*.LOG", "chat.log", false, true},  // case: byte for byte, or folded on both sides
        {"*.log", "CHAT.LOG", false, true},
        {"\xC9*.log", "\xE9t\xE9.log", false, true},  // É*.log and été.log in Windows-1252
        {"\xE9*.log", "\xC9T\xC9.LOG", false, true},
        {"*.log", "chat.lo\xCC", false, false},  // Ì, which folds to no L
        {"chat.log", "chat.log", true, true},
        {"chat.log", "chat.lo", false, false},
        // ? is one character: in UTF-8 one of one to four bytes, a byte that
        // begins none alone; in a single-byte code page one byte.
        {"chat-?.log", "chat-\xC3\xA9.log", true, false},      // é
        {"chat-?.log", "chat-\xE2\x82\xAC.log", true, false},  // €
        {"chat-?.log", "chat-\xF0\x9F\x98\x80.log", true, false},
        {"chat-??.log", "chat-\xC3\xA9.log", false, true},
        {"chat-?.log", "chat-\xFF.log", true, true},
        {"chat-??.log", "chat-\xC3.log", false, false},       // a lead byte without its follower
        {"chat-??.log", "chat-\xE0\x80\x80.log", false, false},  // an overlong form: three bytes alone
        {"*\xA9.log", "chat-\xC3\xA9.log", false, true},      // * never resumes inside a character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(record::matchesPattern(c.pattern, c.name, kUtf8), c.utf8) << c.pattern << " " << c.name;
        EXPECT_EQ(record::matchesPattern(c.pattern, c.name, kAnsi), c.ansi) << c.pattern << " " << c.name;
    }
}

// Code page 932: ア is 83 41 and ヂ 83 61, two characters that folding their
// second bytes as ASCII would make one; 表 is 95 5C, its second byte a \.
TEST(NamePattern, ADoubleByteCharacterIsOneCharacterAndNeverFolded) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"\x83\x41.log", "\x83\x41.log", true},
        {"\x83\x41.log", "\x83\x61.log", false},
        {"*A.log", "x\x83\x41.log", false},
        {"*a.log", "xA.log", true},
        {"?.log", "\x83\x41.log", true},
        {"??.log", "\x83\x41.log", false},
        {"*\x41.log", "\x83\x41\x41.log", true},
        {"\x95\x5C*.log", "\x95\x5C" "chat.log", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(record::matchesPattern(c.pattern, c.name, kShiftJis), c.matches) << c.pattern << " " << c.name;
    }
}

// In the UTF-8 code page: ? is one UTF-8 character, and no two characters
// that differ are taken as one.
TEST(NamePattern, TheUtf8CodePageTakesNamesAsUtf8) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"chat-?.log", "chat-\xC3\xA9.log", true},          // é, one character
        {"chat-??.log", "chat-\xC3\xA9.log", false},
        {"\xC3\xBC*.log", "\xC3\xA9t\xC3\xA9.log", false},  // ü*.log and été.log
        {"\xE6\x97\xA5*", "\xE6\x9C\x88.log", false},       // 日* and 月.log
        {"\xE6\x97\xA5*", "\xE6\x97\xA5.log", true},
        {"CHAT-?.LOG", "chat-\xC3\xA9.log", true},
        {"chat-\xFE.log", "chat-\xFF.log", false},          // bytes that begin no character
        {"chat-\xFE.log", "chat-\xFE.log", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(record::matchesPattern(c.pattern, c.name, kWindowsUtf8), c.matches) << c.pattern << " " << c.name;
    }
}

// Where a UTF-8 sequence is well formed, from the standard's table: no
// overlong forms, no surrogates, nothing past U+10FFFF, continuation bytes
// 80 to BF.
TEST(NamePattern, AUtf8CharacterIsAWellFormedSequenceElseOneByte) {
    const struct {
        const char* bytes;
        std::size_t length;
    } cases[] = {
        {"\x7F", 1}, {"\x80", 1}, {"\xC1\xBF", 1}, {"\xC2\x80", 2}, {"\xC2\x7F", 1}, {"\xC2\xC0", 1},
        {"\xDF\xBF", 2}, {"\xC3", 1}, {"\xE0\x9F\xBF", 1}, {"\xE0\xA0\x80", 3}, {"\xE1\x80\x80", 3},
        {"\xE1\x80", 1}, {"\xED\x9F\xBF", 3}, {"\xED\xA0\x80", 1}, {"\xEF\xBF\xBF", 3},
        {"\xF0\x8F\xBF\xBF", 1}, {"\xF0\x90\x80\x80", 4}, {"\xF1\x80\x80\x80", 4}, {"\xF4\x8F\xBF\xBF", 4},
        {"\xF4\x90\x80\x80", 1}, {"\xF5\x80\x80\x80", 1}, {"\xF1\x80\x80\xC0", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(record::characterLength(c.bytes, 0, kUtf8), c.length) << c.bytes;
}

TEST(NamePattern, OnlyTheLastPartOfAPathMakesAPattern) {
    const struct {
        const char* path;
        const platform::NameRules& rules;
        std::size_t lastPart;
        bool pattern;
    } cases[] = {
        {"/logs/*.log", kUtf8, 6, true},
        {"*.log", kUtf8, 0, true},
        {"/logs/chat?.log", kUtf8, 6, true},
        {"/lo*gs/chat.log", kUtf8, 7, false},
        {"/logs/chat.log", kUtf8, 6, false},
        {"/lo*gs/chat?.log", kUtf8, 7, true},
        {"C:\\Logs\\*.log", kAnsi, 8, true},
        {"C:\\Lo?s\\chat.log", kAnsi, 8, false},
        {"C:\\Logs/*.log", kAnsi, 8, true},
        {"C:*.log", kAnsi, 2, true},  // drive C's current folder
        {"C:*.log", kUtf8, 0, true},
        {"dir\\*.log", kUtf8, 0, true},  // \ is no separator here: dir\*.log is the name
        {"", kUtf8, 0, false},
        // 表 ends in the byte of \: the folder is C:\Logs\, and 表*.log the name.
        {"C:\\Logs\\\x95\x5C*.log", kShiftJis, 8, true},
        {"C:\\\x95\x5C\\*.log", kShiftJis, 6, true},
        {"C:\\Logs/\x95\x5C*.log", kShiftJis, 8, true},
        {"*.log", kShiftJis, 0, true},
        {"C:*.log", kShiftJis, 2, true},
        {"C:\\Logs\\\x95\x5C*.log", kAnsi, 10, true},  // a single-byte code page: \ it is
    };
    for (const auto& c : cases) {
        EXPECT_EQ(record::lastPartStart(c.path, c.rules), c.lastPart) << c.path;
        EXPECT_EQ(record::isPattern(c.path, c.rules), c.pattern) << c.path;
    }
    // Only the bytes of the path are looked at, never one past its end.
    for (const platform::NameRules* rules : {&kAnsi, &kShiftJis}) {
        EXPECT_EQ(record::lastPartStart(std::string_view("C:", 1), *rules), 0u);
        EXPECT_EQ(record::lastPartStart(std::string_view("ab/", 2), *rules), 0u);
    }
}

}  // namespace
