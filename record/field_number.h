#pragma once
// The host's field number, given as decimal text.

#include <cstddef>
#include <optional>

namespace record {

// Reads the field number the way the C library reads a decimal integer:
// leading white space, one optional sign, then the digits; text without
// digits reads as 0 and whatever follows the digits is ignored. NULL reads as
// the empty text. Returns nothing for a number outside 0 to 5, however long.
std::optional<std::size_t> parseFieldNumber(const char* text) noexcept;

}  // namespace record
