#pragma once
// A log path whose last part holds * or ? names the newest log that matches
// it in its folder.

#include <cstddef>
#include <string_view>

#include "platform/file.h"

namespace pattern {

// How many bytes the character at `at` in `text` takes: a UTF-8 sequence, or
// 1 for a byte that begins none.
std::size_t characterLength(std::string_view text, std::size_t at) noexcept;

// Where a path's last part starts: after its last separator (/, and on
// Windows \ or a drive's colon).
std::size_t lastPartStart(std::string_view path, const platform::NameRules& rules) noexcept;

// Whether `path` is a pattern: its last part holds * or ?.
bool isPattern(std::string_view path, const platform::NameRules& rules) noexcept;

// By this OS's rules (platform::nameRules()): whether `path` is a pattern,
// false for NULL; and where its folder ends, after the last separator: a
// pattern with no folder part lists the current folder.
bool isPattern(const char* path) noexcept;
struct PathParts {
    std::string_view folder;  // "", or ending in its separator or a drive's colon
    std::string_view lastPart;
};
PathParts splitPath(std::string_view path) noexcept;

// Whether `name` matches `pattern`: * any run of characters, none included,
// ? one character, every other character itself, compared as `rules` say.
bool matchesPattern(std::string_view pattern, std::string_view name, const platform::NameRules& rules) noexcept;

}  // namespace pattern
