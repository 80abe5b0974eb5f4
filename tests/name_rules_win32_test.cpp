// Windows' own name tables, built for the code pages a user may have: the
// rows that the stand-in tables of name_pattern_test.cpp also answer.

#include <gtest/gtest.h>

#include "platform/name_rules_win32.h"
#include "pattern/name_pattern.h"

namespace {

TEST(WindowsNameRules, FollowTheCodePage) {
    const struct {
        unsigned codePage;
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {65001, "chat-?.log", "chat-\xC3\xA9.log", true},
        {65001, "\xC3\xBC*.log", "\xC3\xA9t\xC3\xA9.log", false},
        {65001, "\xE6\x97\xA5*", "\xE6\x9C\x88.log", false},
        {65001, "CHAT-?.LOG", "chat-\xC3\xA9.log", true},
        {65001, "chat-\xFE.log", "chat-\xFF.log", false},
        // Never UTF-8 in a single-byte code page: é there is two characters.
        {1252, "??.log", "\xC3\xA9.log", true},
        {1252, "?.log", "\xC3\xA9.log", false},
        {1252, "\xC9*.log", "\xE9t\xE9.log", true},
        {932, "?.log", "\x83\x41.log", true},
        {932, "\x83\x41.log", "\x83\x61.log", false},
    };
    for (const auto& c : cases) {
        const platform::NameRules rules = platform::ansiNameRules(c.codePage);
        EXPECT_EQ(pattern::matchesPattern(c.pattern, c.name, rules), c.matches) << c.codePage << " " << c.pattern;
    }
}

}  // namespace
