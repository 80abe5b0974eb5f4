#include "record/extract.h"

#include <gtest/gtest.h>

#include "tests/support/reference.h"

#include <random>
#include <string>

namespace {

using record::extractParenthesised;
using record::extractQuoted;
using record::stripHtmlEnvelope;

struct Case {
    std::string input;
    std::string expected;
};

TEST(ExtractQuoted, ScansRightToLeftFromTheLastQuote) {
    const Case cases[] = {
        {R"(text: "Hello there")", "Hello there"},
        {R"(x:"")", ""},
        {R"(a: "x:y")", "x:y"},            // a colon with no quote to its right is text
        {R"(a: "b: "c"")", R"(c")"},       // the colon inside the value ends the scan
        {R"(label: "a"b" tail)", R"(a"b)"},  // the last quote closes, the leftmost opens
        {R"(k: "v" : more)", "v"},          // a colon before any second quote is passed over
        {R"("no colon")", R"("no colon")"},
        {"key: value", "key: value"},
        {R"(:"v")", R"(:"v")"},             // the colon at position 0 is never visited
        {R"(a:"v")", "v"},
        {"", ""},
        {R"(only "one quote)", R"(only "one quote)"},
        {std::string("k: \"a\0b\"", 8), std::string("a\0b", 3)},  // NUL is an ordinary byte
    };
    for (const Case& c : cases) EXPECT_EQ(extractQuoted(c.input), c.expected) << c.input;
}

TEST(ExtractParenthesised, TakesTheTextAfterTheLastOpeningParenthesis) {
    const Case cases[] = {
        {"abc (def) ghi (jkl) mno", "jkl"},
        {"abc (def", "def"},
        {"a(b(c)d)e", "c"},
        {"(abc)", "(abc)"},  // the '(' at position 0 is never visited
        {"x ()", ""},
        {"no parenthesis", "no parenthesis"},
        {"x (a) b)", "a"},
        {"x) (y", "y"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(extractParenthesised(c.input), c.expected) << c.input;
}

constexpr const char* kOpen = "&lt;html&gt;&lt;body&gt;";
constexpr const char* kClose = "&lt;/body&gt;&lt;/html&gt;";

TEST(StripHtmlEnvelope, RemovesBothMarkersRepeatingFromTheStart) {
    const Case cases[] = {
        {"&lt;html&gt;&lt;body&gt;Hi&lt;/body&gt;&lt;/html&gt;", "Hi"},
        // An inner removal brings a new opening marker together; it goes too.
        {"&lt;html&gt;&lt;bo&lt;html&gt;&lt;body&gt;dy&gt;x", "x"},
        // The opening marker only forms once the closing pass has run, so it stays.
        {"&lt;html&gt;&lt;bo&lt;/body&gt;&lt;/html&gt;dy&gt;", "&lt;html&gt;&lt;body&gt;"},
        {"no markers at all", "no markers at all"},
        {"<html><body>literal</body></html>", "<html><body>literal</body></html>"},
        {"&LT;html&gt;&lt;body&gt;case", "&LT;html&gt;&lt;body&gt;case"},
        {"a&lt;html&gt;&lt;body&gt;b&lt;html&gt;&lt;body&gt;c", "abc"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(stripHtmlEnvelope(c.input), c.expected) << c.input;
}

TEST(StripHtmlEnvelope, AgreesWithRepeatedSearchOnNestedMarkers) {
    // Texts built from marker halves and fragments nest markers inside each
    // other in every way the single-pass removal must get right.
    const std::string pieces[] = {kOpen, kClose, "&lt;html&gt;", "&lt;body&gt;", "&lt;/body&gt;", "&lt;/html&gt;",
                                  "&lt;", "&gt;", "bo", "dy", "html", "/", "x", ";"};
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), count(0, 12);
    for (int trial = 0; trial < 20000; ++trial) {
        std::string text;
        for (std::size_t n = count(random); n > 0; --n) text += pieces[pick(random)];
        ASSERT_EQ(stripHtmlEnvelope(text), reference::stripHtmlEnvelope(text)) << text;
    }
}

}  // namespace

namespace {

TEST(Extractors, AgreeWithTheirDefinitionsOnRandomLines) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> length(0, 16), pick(0, 5);
    for (int trial = 0; trial < 50000; ++trial) {
        std::string line;
        for (std::size_t n = length(random); n > 0; --n) line += "a:\"() "[pick(random)];
        ASSERT_EQ(extractQuoted(line), reference::extractQuoted(line)) << line;
        ASSERT_EQ(extractParenthesised(line), reference::extractParenthesised(line)) << line;
    }
}

}  // namespace
