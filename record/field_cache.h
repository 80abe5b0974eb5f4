#pragma once
// The module's memory of the last record read, and the field query served
// from it.

#include <cstdint>
#include <string_view>

#include "record/field_set.h"

namespace record {

// Copies an answer out of the cache for the caller.
using AnswerCopy = char* (*)(std::string_view answer);

// One cache serves every path: a log is read again only when its
// modification time is later than that of the last read, whichever file that
// read was. Change detection is that strict newer-than test alone, in whole
// seconds, so a poll of an unchanged log costs one status query. After a
// failed read the cache remembers time 0, so every later poll tries again.
//
// Not synchronised: callers that may overlap must take turns.
class FieldCache {
public:
    // The field query: the field numbered by the decimal text `fieldNumber`
    // of the record at the end of `path`, or the status text of a failed read
    // whatever field was asked for. A number outside 0 to 5 gives "".
    char* queryField(const char* path, const char* fieldNumber, AnswerCopy copy);

    std::int64_t lastModified() const { return lastModified_; }

private:
    std::int64_t lastModified_ = 0;
    FieldSet fields_;
};

}  // namespace record
