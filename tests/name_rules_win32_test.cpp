// Windows' own rules for names: the system's case folding of any script, the
// conversion between the module's UTF-8 and the system's UTF-16, and the
// host's text read in the code page the ANSI file functions use.

#include <gtest/gtest.h>

#include <filesystem>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "pattern/name_pattern.h"
#include "platform/utf16_win32.h"
#include "record/field_cache.h"
#include "tests/support/temp_log.h"

namespace {

TEST(WindowsNameRules, CompareCharactersAsTheSystemFoldsThem) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"\xC3\xA9*.log", "\xC3\x89" "cole.log", true},  // é*.log, École.log
        {"\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1.log", "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91.LOG", true},  // σοφία, ΣΟΦΊΑ
        {"\xD0\xB6*", "\xD0\x96.log", true},             // ж*, Ж.log
        {"\xC3\xBC*.log", "\xC3\xA9t\xC3\xA9.log", false},  // ü*.log, été.log
        {"?.log", "\xF0\x9F\x98\x80.log", true},         // a surrogate pair is one character
        {"??.log", "\xF0\x9F\x98\x80.log", false},
        {"\xC3\x9F.log", "SS.log", false},               // ß has no one-letter upper case
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pattern::matchesPattern(c.pattern, c.name, platform::nameRules()), c.matches) << c.pattern;
    }
}

// Every name Windows holds goes up as UTF-8 and comes back the same, an
// unpaired surrogate too; a byte that begins no character is U+FFFD.
TEST(WindowsNameRules, ConvertEveryNameBothWays) {
    for (const std::wstring& name : {std::wstring(L"\u5C71\u7530.log"), std::wstring(L"\U0001F600.log"),
                                     std::wstring(L"a\xD800" L"b"), std::wstring(L"\xDC00"), std::wstring(L"\xDBFF\xDBFF")}) {
        const std::string utf8 = platform::utf8FromUtf16(name);
        EXPECT_EQ(platform::utf16FromUtf8(utf8), name);
    }
    EXPECT_EQ(platform::utf8FromUtf16(L"\u5C71\U0001F600"), "\xE5\xB1\xB1\xF0\x9F\x98\x80");
    EXPECT_EQ(platform::utf16FromUtf8("a\xFF\xC3"), L"a\uFFFD\uFFFD");
    EXPECT_EQ(platform::utf16FromUtf8("\xED\xA0" "A"), L"\uFFFD\uFFFDA");  // no surrogate without its last byte
}

// A path from the host is read as the ANSI file functions read it, in the
// code page they use: the ANSI one, or the OEM one once a host asks for it.
TEST(WindowsNameRules, ReadTheHostsTextInTheFileFunctionsCodePage) {
    std::string room;
    const char* const ascii = "C:\\Logs\\chat.log";
    EXPECT_EQ(platform::pathFromHost(ascii, room), ascii);  // nothing converted
    EXPECT_EQ(platform::pathFromHost(nullptr, room), nullptr);
    const std::string expected = platform::utf8FromUtf16(L"C:\\caf\u00E9.log");
    if (::GetACP() == 1252) {
        EXPECT_EQ(platform::pathFromHost("C:\\caf\xE9.log", room), expected);
    } else if (::GetACP() == 1251) {
        EXPECT_EQ(platform::pathFromHost("C:\\\xE6.log", room), platform::utf8FromUtf16(L"C:\\\u0436.log"));
    }
    ::SetFileApisToOEM();
    const UINT oem = ::GetOEMCP();
    const std::string oemPath = platform::pathFromHost("C:\\caf\x82.log", room);  // é in 437 and 850
    ::SetFileApisToANSI();
    if (oem == 437 || oem == 850) {
        EXPECT_EQ(oemPath, expected);
    }
    EXPECT_NE(platform::pathFromHost("C:\\caf\x82.log", room), expected);
}

// A path longer than a usual one, in the \\?\ form that reaches it, and a
// name in another script at its end: the whole of it reaches the system.
TEST(WindowsNameRules, ReachAFileByAPathLongerThanAUsualOne) {
    testing_support::TempFolder folder;
    std::filesystem::path deep = folder.path();
    for (int i = 0; i < 12; ++i) deep /= std::string(100, static_cast<char>('a' + i));
    std::filesystem::create_directories(L"\\\\?\\" + deep.wstring());
    const std::string path = "\\\\?\\" + platform::utf8FromUtf16(deep.wstring()) + "\\\xCE\xA3.log";  // Σ.log
    ASSERT_GT(path.size(), 1200u);
    testing_support::writeFile(path, testing_support::logEndingWith({}));
    record::FieldCache cache;
    EXPECT_EQ(cache.queryField(path.c_str(), "3").text, "Hello there");
    EXPECT_TRUE(platform::statFile(path.c_str()).ok);
    // Taken down from the deepest, each through the form that reaches it.
    ::DeleteFileW(platform::utf16FromUtf8(path).c_str());
    for (; deep != folder.path(); deep = deep.parent_path()) ::RemoveDirectoryW((L"\\\\?\\" + deep.wstring()).c_str());
}

}  // namespace
