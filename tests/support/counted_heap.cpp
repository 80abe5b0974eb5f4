#include "tests/support/counted_heap.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

testing_support::HeapCount counted;
std::size_t largestAllowed = 0;

// In front of each block handed out: where malloc's block starts, and the
// size asked for.
struct Header {
    void* block;
    std::size_t size;
};

void* allocate(std::size_t size, std::size_t alignment) {
    if (largestAllowed != 0 && size > largestAllowed) throw std::bad_alloc();
    void* const block = std::malloc(sizeof(Header) + alignment + size);
    if (block == nullptr) throw std::bad_alloc();
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(block) + sizeof(Header);
    void* const memory = reinterpret_cast<void*>((first + alignment - 1) / alignment * alignment);
    static_cast<Header*>(memory)[-1] = {block, size};
    ++counted.allocations;
    counted.liveBytes += size;
    if (counted.liveBytes > counted.peakLiveBytes) counted.peakLiveBytes = counted.liveBytes;
    return memory;
}

void release(void* memory) noexcept {
    if (memory == nullptr) return;
    const Header header = static_cast<Header*>(memory)[-1];
    counted.liveBytes -= header.size;
    std::free(header.block);
}

}  // namespace

// Every form the library may call, the aligned ones included: a memory
// resource asks for its blocks with their alignment.
void* operator new(std::size_t size) { return allocate(size, alignof(std::max_align_t)); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment));
}
void operator delete(void* memory) noexcept { release(memory); }
void operator delete(void* memory, std::size_t) noexcept { release(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { release(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { release(memory); }

namespace testing_support {

HeapCount heapCount() noexcept { return counted; }

void resetPeak() noexcept { counted.peakLiveBytes = counted.liveBytes; }

void refuseAbove(std::size_t bytes) noexcept { largestAllowed = bytes; }

}  // namespace testing_support
