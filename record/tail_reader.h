#pragma once
// Reads the record at the end of a chat log.

#include <cstdint>

#include "record/field_set.h"

namespace record {

// The log must be at least this long before its tail is scanned at all.
inline constexpr std::int64_t kMinimumLogSize = 1024;

struct TailRead {
    FieldSet fields;
    bool failed = false;  // field 5 then holds the status text
};

// Cuts the fields of the last record out of the log at `path`, reading only
// as many 1024-byte blocks from its end as it takes to find the record's 13
// line breaks. The file is open only during the call. Fails with "Unable to
// open file." when the path is NULL, missing, unreadable or not a regular
// file, and with "File too small." when the log is under 1024 bytes or its
// start is reached first; in that last case the fields already cut are kept.
TailRead readFieldSet(const char* path);

}  // namespace record
