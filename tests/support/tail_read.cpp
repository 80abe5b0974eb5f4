#include "tests/support/tail_read.h"

#include "record/field_set.h"
#include "record/tail_reader.h"

namespace testing_support {

TailRead readTail(const char* path) {
    record::TailRecord tail;
    TailRead result;
    result.failed = record::readTail(path, tail) != record::ReadStatus::kRecord;
    record::FieldSet fields;
    record::cutFields(tail, fields);
    result.field = fields.field;
    for (int k = 1; k <= record::kRecordLines; ++k) {
        if (tail.reached(k)) result.line[static_cast<std::size_t>(k - 1)] = tail.line(k);
    }
    result.afterLastBreak = tail.afterLastBreak();
    return result;
}

}  // namespace testing_support
