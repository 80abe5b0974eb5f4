#pragma once
// The module's memory of the last record read, and the field query served
// from it.

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "record/field_set.h"
#include "record/tail_reader.h"

namespace record {

// One cache serves every path: a log is read again when its modification
// time is later than that of the last read, whichever file that read was, so
// a poll of an unchanged log costs one status query. After a failed read the
// cache remembers time 0, so every later poll tries again.
//
// Times are whole seconds, and a write later in the same second leaves the
// time as it was. A read made in the second of the log's time, or before it,
// may have caught the log mid-write: it is unsettled, and the first poll of
// the same path in a later second that finds the time unchanged reads the
// log once more.
//
// Not synchronised: callers that may overlap must take turns.
class FieldCache {
public:
    // The field query: the field numbered by the decimal text `fieldNumber`
    // of the record at the end of `path`, or the status text of a failed read
    // whatever field was asked for. A number outside 0 to 5 gives "". The
    // text stays valid until the next query.
    std::string_view queryField(const char* path, const char* fieldNumber);

    std::int64_t lastModified() const noexcept { return lastModified_; }

private:
    bool mustRead(const char* path, const platform::FileStatus& status) const;
    std::string_view field(std::size_t index);

    std::int64_t lastModified_ = 0;
    bool unsettled_ = false;
    std::string unsettledPath_;
    // The last read. A field is cut from it when first asked for, so a poll
    // that re-reads the log cuts only the field it answers with.
    TailRecord tail_;
    FieldSet fields_;
    std::bitset<kFieldCount> isCut_;
};

}  // namespace record
