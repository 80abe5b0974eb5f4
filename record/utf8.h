#pragma once
// UTF-8 as the standard defines it well formed: no overlong forms, no
// surrogates, nothing past U+10FFFF.

#include <cstddef>
#include <string_view>

namespace record {

// The length of the well-formed UTF-8 sequence `text` starts with (1 for
// ASCII), or 0 when it starts with none.
std::size_t utf8SequenceLength(std::string_view text) noexcept;

}  // namespace record
