#include "tests/support/tail_read.h"

#include "record/field_set.h"
#include "record/tail_reader.h"

namespace testing_support {

TailRead readTail(const char* path) {
    record::TailRecord tail;
    TailRead result;
    result.failed = tail.read(path) != record::ReadStatus::kRecord;
    record::FieldSet fields;
    record::cutFields(tail, fields);
    result.field = fields.field;
    // A log under the minimum size is read only to show its lines.
    if (tail.underMinimum()) return result;
    for (int k = 1; k <= record::kRecordLines; ++k) {
        if (tail.reached(k)) result.line[static_cast<std::size_t>(k - 1)] = tail.line(k);
    }
    result.afterLastBreak = tail.afterLastBreak();
    return result;
}

}  // namespace testing_support
