#include "plugin/plugin_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory_resource>
#include <string>

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

TEST(TextArena, EveryAnswerIsANewTerminatedCopy) {
    DirtyMemory memory;
    plugin::TextArena arena(&memory);
    std::string source = "first";
    const char* first = arena.copy(source);
    source = "second";
    const char* second = arena.copy(source);
    EXPECT_STREQ(first, "first");
    EXPECT_STREQ(second, "second");
    EXPECT_STREQ(arena.copy(""), "");
    // The host reads a C string: the copy ends at the first NUL.
    EXPECT_STREQ(arena.copy(std::string("ab\0cd", 5)), "ab");
    EXPECT_NE(plugin::newPluginText(""), plugin::newPluginText(""));
}

TEST(TextArena, AnAnswerCostsItsOwnBytesAndNothingMore) {
    DirtyMemory memory;
    plugin::TextArena arena(&memory);
    constexpr std::size_t kAnswers = 200'000;
    constexpr std::size_t kCost = 21;  // 20 bytes of text and the NUL
    const std::string answer(kCost - 1, 'a');
    for (std::size_t i = 0; i < kAnswers; ++i) arena.copy(answer);
    // Besides the block being filled, the heap holds no more than the answers.
    EXPECT_LE(memory.bytes, kAnswers * kCost + memory.largestBlock);
}

}  // namespace
