#include "plugin/plugin_text.h"

#include "plugin/age_texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory_resource>
#include <string>
#include <vector>
#include <charconv>
#include <climits>

namespace {

// Hands out memory full of garbage, as reused heap memory is (fresh pages
// are zero and would hide a missing NUL), and counts what it hands out.
class DirtyMemory : public std::pmr::memory_resource {
public:
    std::size_t bytes = 0;
    std::size_t largestBlock = 0;

private:
    void* do_allocate(std::size_t size, std::size_t alignment) override {
        void* block = std::pmr::new_delete_resource()->allocate(size, alignment);
        std::memset(block, 0xA5, size);
        bytes += size;
        largestBlock = std::max(largestBlock, size);
        return block;
    }
    void do_deallocate(void* p, std::size_t size, std::size_t alignment) override {
        std::pmr::new_delete_resource()->deallocate(p, size, alignment);
    }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

// A text handed out in a slot of its own, as a first answer is.
char* firstAnswer(plugin::TextArena& arena, std::string_view text) {
    plugin::AnswerSlot slot;
    return arena.reuseOrCopy(text, slot);
}

TEST(TextArena, EveryFirstAnswerIsANewTerminatedCopy) {
    DirtyMemory memory;
    plugin::TextArena arena(&memory);
    std::string source = "first";
    const char* first = firstAnswer(arena, source);
    source = "second";
    const char* second = firstAnswer(arena, source);
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(second, "second");
    EXPECT_STREQ(firstAnswer(arena, ""), "");
    // The host reads a C string: the copy ends at the first NUL.
    EXPECT_STREQ(firstAnswer(arena, std::string("ab\0cd", 5)), "ab");
}

// The same answer again is the same text, but only while that text still
// reads as the answer: the host may have written into it.
TEST(TextArena, TheLastAnswerIsHandedOutAgainWhileItStillReadsTheSame) {
    DirtyMemory memory;
    plugin::TextArena arena(&memory);
    plugin::AnswerSlot slot;
    char* const first = arena.reuseOrCopy("Ada", slot);
    const std::size_t bytes = memory.bytes;
    EXPECT_EQ(arena.reuseOrCopy("Ada", slot), first);
    EXPECT_EQ(arena.reuseOrCopy(std::string("Ada\0 unseen", 12), slot), first);  // as the host reads it
    EXPECT_EQ(memory.bytes, bytes);

    const struct {
        const char* change;
        std::string answer;
        void (*write)(char* text);  // what the host does to the text it was given
    } cases[] = {
        {"a longer answer", "Ada Quinn", [](char*) {}},
        {"a shorter answer", "Ad", [](char*) {}},
        {"the host changed a byte", "Ada", [](char* text) { text[0] = 'X'; }},
        {"the host cut it short", "Ada", [](char* text) { text[1] = '\0'; }},
        {"the host overwrote its end", "Ada", [](char* text) { text[3] = '!'; }},
    };
    for (const auto& c : cases) {
        plugin::AnswerSlot kept;
        char* const given = arena.reuseOrCopy("Ada", kept);
        c.write(given);
        char* const again = arena.reuseOrCopy(c.answer, kept);
        EXPECT_NE(again, given) << c.change;
        EXPECT_EQ(std::string(again), c.answer) << c.change;
        EXPECT_EQ(arena.reuseOrCopy(c.answer, kept), again) << c.change;
    }
    EXPECT_STREQ(first, "Ada");  // a text handed out is never changed
}

TEST(AgeTexts, AnAgeSeenBeforeIsTheSameTextAndCostsNothingMore) {
    DirtyMemory memory;
    plugin::TextArena arena(&memory);
    plugin::AgeTexts ages;
    // Page edges, ages below 0, and the two ends of 32 bits.
    const std::int32_t cycle[] = {0, 1, 63, 64, 1023, 1024, -1, -64, -65, 90, INT32_MAX, INT32_MIN};
    std::vector<char*> first;
    for (const std::int32_t age : cycle) first.push_back(ages.text(age, arena));
    const std::size_t bytes = memory.bytes;
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < std::size(cycle); ++i) {
            EXPECT_EQ(ages.text(cycle[i], arena), first[i]) << cycle[i];
            EXPECT_EQ(std::string(first[i]), std::to_string(cycle[i]));
        }
    }
    EXPECT_EQ(memory.bytes, bytes);
    first[0][0] = '7';  // a host that wrote into one gets a new one
    EXPECT_STREQ(ages.text(0, arena), "0");
}

// Pieces come from blocks of one size, never larger however many answers
// were handed out: a long answer takes a block of its own, a short one never.
TEST(TextArena, AnAnswerCostsItsOwnBytesInBlocksThatNeverGrow) {
    DirtyMemory memory;
    plugin::TextArena arena(&memory);
    constexpr std::size_t kAnswers = 200'000;
    constexpr std::size_t kCost = 21;  // 20 bytes of text and the NUL
    const std::string answer(kCost - 1, 'a');
    for (std::size_t i = 0; i < kAnswers; ++i) firstAnswer(arena, answer);
    // Besides the block being filled, the arena holds no more than the answers.
    EXPECT_LE(memory.bytes, kAnswers * kCost + plugin::TextArena::kBlockBytes);
    EXPECT_EQ(memory.largestBlock, plugin::TextArena::kBlockBytes);

    // A block filled to its last byte takes no other.
    constexpr std::size_t kHeader = plugin::TextArena::kBlockHeaderBytes;
    DirtyMemory exact;
    plugin::TextArena filled(&exact);
    const std::string sixteen(15, 's');
    for (std::size_t i = 0; i < (plugin::TextArena::kBlockBytes - kHeader) / 16; ++i) firstAnswer(filled, sixteen);
    EXPECT_EQ(exact.bytes, plugin::TextArena::kBlockBytes);

    // 4,095 bytes and the NUL: 4 KiB, a block of its own; a byte less is carved.
    const std::string longest(4094, 'm'), ownBlock(longest + "l");
    const std::size_t before = memory.bytes;
    EXPECT_EQ(firstAnswer(arena, ownBlock), ownBlock);
    EXPECT_EQ(memory.bytes, before + kHeader + ownBlock.size() + 1);
    DirtyMemory fresh;
    plugin::TextArena another(&fresh);
    EXPECT_EQ(firstAnswer(another, longest), longest);
    EXPECT_EQ(fresh.bytes, plugin::TextArena::kBlockBytes);
}

}  // namespace
