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
    return result;
}

}  // namespace testing_support
