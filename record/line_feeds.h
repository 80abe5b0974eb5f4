#pragma once
// The search for the line breaks that bound a record, the hottest loop of a
// re-read.

#include <cstddef>
#include <span>
#include <string_view>

namespace record {

// Finds the last line feeds in `bytes`, from the end backwards, until
// `positions` is full or the bytes run out. Returns how many positions it
// wrote.
std::size_t findLastLineFeeds(std::string_view bytes, std::span<std::size_t> positions) noexcept;

}  // namespace record
