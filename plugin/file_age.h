#pragma once
// The age query.

#include <cstdint>

namespace plugin {

// The whole seconds from `modified` to `now`, as the host shows them: only the
// low 32 bits of the difference, read as a signed number.
std::int32_t displayedAge(std::int64_t now, std::int64_t modified) noexcept;

// Seconds since the file at `path` (for a pattern, the newest match) was
// last modified, as decimal text;
// negative for a file modified in the future. A path whose status cannot be
// obtained answers "Unable to open file.". The file is never opened. An age
// handed out before, for any log, is the same text again. Not synchronised.
char* queryFileAge(const char* path);

}  // namespace plugin
