#pragma once
// Byte search that the C library may do faster than a plain loop.

#include <cstddef>
#include <span>

namespace platform {

// Finds the last occurrences of `byte` among the first `length` bytes at
// `data`, from the end backwards, until `positions` is full or the bytes run
// out. Returns how many positions it wrote.
std::size_t findLastBytes(const char* data, std::size_t length, char byte, std::span<std::size_t> positions) noexcept;

}  // namespace platform
