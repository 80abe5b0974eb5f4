#pragma once
// What the module remembers of its last read of one log, and when it reads
// that log again.

#include <bitset>
#include <cstdint>
#include <string_view>

#include "platform/file.h"
#include "record/field_set.h"
#include "record/tail_reader.h"

namespace record {

// What a memory knows of the last read of a log; as constructed, a log never
// read. A log is read again when its modification time is later than that of
// its own last read, or when it could not be opened; a log too small for a
// record, when its time or its size is another than that read's. Before its
// first read it has time 0, so a log dated 1970-01-01 00:00:00 or earlier is
// never read.
//
// Times are whole seconds, and a write later in the same second leaves the
// time as it was. A read made in the second of the log's time, or before it,
// may have caught the log mid-write: it is unsettled, and the first poll of
// that log in a later second that finds the time unchanged reads it once more.
struct ReadState {
    std::int64_t lastModified = 0;
    std::int64_t size = 0;  // as the status before the read gave it
    bool unsettled = false;
    ReadStatus status = ReadStatus::kNotRead;
    std::bitset<kFieldCount> isCut;  // fields already cut from the read

    bool failed() const noexcept { return status != ReadStatus::kRecord && status != ReadStatus::kNotRead; }
    // Whether a log of `status` must be read again.
    bool mustRead(const platform::FileStatus& status) const noexcept;
};

// The last read of one log, and the fields cut from it. A field is cut when
// first asked for, so a poll that re-reads the log cuts only the field it
// answers with; a read past kKeptTailBytes has every field cut at once and is
// let go. Its buffers serve the next log read into it.
struct LastRead {
    ReadState state;
    TailRecord tail;
    FieldSet fields;

    void read(const char* logPath, const platform::FileStatus& status);
    // Whether the last read found no file at its path: gone, or never there.
    bool foundNoFile() const noexcept;
    std::string_view field(std::size_t index);
};

}  // namespace record
