#include "plugin/plugin_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(PluginText, EveryAnswerIsANewCopyThatStaysValid) {
    std::string source = "first";
    char* first = plugin::newPluginText(source);
    source = "second";
    char* second = plugin::newPluginText(source);
    EXPECT_NE(first, second);
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(second, "second");
    EXPECT_NE(plugin::newPluginText(""), plugin::newPluginText(""));
    // The host reads a C string: the copy ends at the first NUL.
    EXPECT_STREQ(plugin::newPluginText(std::string("ab\0cd", 5)), "ab");
}

TEST(TextArena, AnAnswerCostsItsOwnBytesAndNothingMore) {
    plugin::TextArena arena;
    constexpr std::size_t kAnswers = 200'000;
    const std::string answer(20, 'a');
    constexpr std::size_t kCost = 21;  // text and NUL

    // Answers follow each other with no header or padding between them; a
    // gap shows only where the arena starts a new block.
    const char* previous = arena.copy(answer);
    std::size_t gaps = 0;
    for (std::size_t i = 1; i < kAnswers; ++i) {
        const char* next = arena.copy(answer);
        if (next != previous + kCost) ++gaps;
        previous = next;
    }
    const plugin::TextArena::Usage usage = arena.usage();
    EXPECT_LE(gaps, usage.blocks);
    EXPECT_LE(usage.blocks, 32u);  // blocks grow geometrically

    // Besides the block being filled, the heap holds no more than the answers.
    EXPECT_LE(usage.bytes, kAnswers * kCost + usage.currentBlock);
}

}  // namespace
