#pragma once
// Reads the record at the end of a chat log.

#include "record/field_set.h"

namespace record {

// Cuts the fields of the last record out of the log at `path` into `fields`,
// reading only as many blocks from its end as it takes to find the record's
// line breaks. The file is open only during the call.
//
// Returns false when the read fails; field 5 then holds the status text:
// kUnableToOpen when the path is NULL, missing, unreadable or not a regular
// file, and kFileTooSmall when the log is under the minimum size or its start
// is reached first. In that last case the fields already cut are kept.
[[nodiscard]] bool readFieldSet(const char* path, FieldSet& fields);

}  // namespace record
