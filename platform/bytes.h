#pragma once
// Byte search that the C library may do faster than a plain loop.

#include <cstddef>

namespace platform {

// The position of the last `byte` among the first `length` bytes at `data`,
// or `length` when there is none.
std::size_t findLastByte(const char* data, std::size_t length, char byte) noexcept;

}  // namespace platform
