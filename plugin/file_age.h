#pragma once
// The age query.

#include <cstdint>

#include "record/field_cache.h"

namespace plugin {

// The whole seconds from `modified` to `now`, as the host shows them: only the
// low 32 bits of the difference, read as a signed number.
std::int32_t displayedAge(std::int64_t now, std::int64_t modified) noexcept;

// Seconds since the file at `path` was last modified, as decimal text;
// negative for a file modified in the future. A path whose status cannot be
// obtained answers "Unable to open file.". A plain path is never opened; a
// pattern answers the age of the file its fields come from in `fields`, in
// the same refresh. An age handed out before, for any log, is the same text
// again. Not synchronised.
char* queryFileAge(const char* path, record::FieldCache& fields);

}  // namespace plugin
