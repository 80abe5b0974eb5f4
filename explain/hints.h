#pragma once
// The inspector's hints: each names a trait of the log at hand that makes the
// module answer other than a reader might expect, and is given only when the
// log has that trait.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "record/field_set.h"
#include "record/tail_reader.h"

namespace explain {

// What the inspector knows of a log, all of it from the module's own code.
struct LogFacts {
    platform::FileStatus status;
    std::int64_t now = 0;
    // What the module answers: a record, the status of a failed read, or
    // kNotRead for a log it never reads.
    record::ReadStatus answer = record::ReadStatus::kCannotOpen;
    // The module's read: the lines as it counts them (for a log under the
    // minimum size, as it would count them were the log long enough), the
    // size it saw, why the log could not be opened.
    const record::TailRecord& tail;
    // Cut from `tail`.
    const record::FieldSet& fields;
    // The log's last lines, line 1 first, further back than the record
    // (explain/lines_from_end.h), to compare the last record with the one
    // before it; empty when there is none to read.
    const std::vector<std::string>& lines;
};

std::vector<std::string> hintsFor(const LogFacts& facts);

// "1 byte", "2 bytes".
std::string counted(std::int64_t n, const std::string& noun);

}  // namespace explain
