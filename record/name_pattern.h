#pragma once
// A log path whose last part holds * or ? names the newest log that matches
// it in its folder.

#include <cstddef>
#include <string_view>

#include "platform/file.h"

namespace record {

// Where a path's last part starts: after its last separator (/ or \ on
// Windows, / elsewhere).
std::size_t lastPartStart(std::string_view path, bool backslashSeparates) noexcept;

// Whether `path` is a pattern: its last part holds * or ?.
bool isPattern(std::string_view path, bool backslashSeparates) noexcept;

// Whether `name` matches `pattern`: * any run of bytes, none included, ? one
// byte, every other byte itself, compared through `folding` when given
// (platform::nameFolding) or else byte for byte.
bool matchesPattern(std::string_view pattern, std::string_view name, const platform::NameFolding* folding) noexcept;

}  // namespace record
