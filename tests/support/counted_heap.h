#pragma once
// The heap as a test program sees it: counted_heap.cpp replaces the global
// operator new and delete of the program it is linked into, and counts.

#include <cstddef>

namespace testing_support {

struct HeapCount {
    std::size_t allocations = 0;  // ever made
    std::size_t liveBytes = 0;    // asked for and not yet given back
};

HeapCount heapCount() noexcept;

}  // namespace testing_support
