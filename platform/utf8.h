#pragma once
// UTF-8 as the standard defines it well formed: no overlong forms, no
// surrogates, nothing past U+10FFFF. The one decoder of the module and its
// tools: names on Windows, and the text the inspector cuts and shows.

#include <cstddef>
#include <string_view>

namespace platform {

// The length of the well-formed UTF-8 sequence `text` starts with (1 for
// ASCII), or 0 when it starts with none.
std::size_t utf8SequenceLength(std::string_view text) noexcept;

// The code point of the well-formed sequence `text` starts with, whose length
// utf8SequenceLength gave.
char32_t utf8CodePoint(std::string_view text, std::size_t length) noexcept;

}  // namespace platform
