// Heap allocations made by the field query over the real file layer, counted
// by replacing the global operator new in this program. A re-read of a record
// that fits in one block hands its lines over as views and cuts in place, and
// a cached poll only looks its field up: neither allocates. The answer's copy
// is the caller's, and here it allocates nothing either.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "record/field_cache.h"
#include "tests/support/temp_log.h"

namespace {

int allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

char answer[8192];

char* copyWithoutAllocating(std::string_view text) {
    text.copy(answer, sizeof answer - 1);
    answer[std::min(text.size(), sizeof answer - 1)] = '\0';
    return answer;
}

TEST(Allocations, NoneForACachedPollOrAOneBlockReRead) {
    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");
    testing_support::RecordValues values;
    values.text = "a message longer than any short-string buffer";
    testing_support::writeFile(log, testing_support::logEndingWith(values));
    testing_support::setModified(log, 100);
    record::FieldCache cache;

    const int before = allocations;
    EXPECT_EQ(std::string_view(cache.queryField(log.c_str(), "3", copyWithoutAllocating)), values.text);
    EXPECT_EQ(std::string_view(cache.queryField(log.c_str(), "1", copyWithoutAllocating)), values.sender);
    EXPECT_EQ(allocations - before, 0);

    // The counter sees an allocation made here, so a zero above is no blind spot.
    static void* volatile kept;
    kept = ::operator new(16);
    EXPECT_EQ(allocations - before, 1);
    ::operator delete(kept);
}

}  // namespace
