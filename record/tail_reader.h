#pragma once
// Reads the record at the end of a chat log.

#include <cstdint>

#include "record/field_set.h"

namespace record {

// The log must be at least this long before its tail is scanned at all.
inline constexpr std::int64_t kMinimumLogSize = 1024;

// Cuts the fields of the last record out of the log at `path` into `fields`,
// reading only as many 1024-byte blocks from its end as it takes to find the
// record's 13 line breaks. The file is open only during the call.
//
// Returns false when the read fails; field 5 then holds the status text:
// "Unable to open file." when the path is NULL, missing, unreadable or not a
// regular file, and "File too small." when the log is under 1024 bytes or its
// start is reached first. In that last case the fields already cut are kept.
[[nodiscard]] bool readFieldSet(const char* path, FieldSet& fields);

}  // namespace record
