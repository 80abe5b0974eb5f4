#pragma once
// The heap as a test program sees it: counted_heap.cpp replaces the global
// operator new and delete of the program it is linked into, and counts.

#include <cstddef>

namespace testing_support {

struct HeapCount {
    std::size_t allocations = 0;  // ever made
    std::size_t liveBytes = 0;    // asked for and not yet given back
    std::size_t peakLiveBytes = 0;  // the most live at once since resetPeak()
};

// Starts the peak again from the bytes live now.
void resetPeak() noexcept;

HeapCount heapCount() noexcept;

// From now on operator new refuses (throws std::bad_alloc for) any request
// over `bytes`, as a fragmented 32-bit address space refuses large blocks;
// 0 lifts the limit.
void refuseAbove(std::size_t bytes) noexcept;

}  // namespace testing_support
