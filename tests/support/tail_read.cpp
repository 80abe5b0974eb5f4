#include "tests/support/tail_read.h"

#include "record/tail_reader.h"

namespace testing_support {

TailRead readTail(const char* path) {
    record::FieldSet fields;
    TailRead result;
    result.failed = !record::readFieldSet(path, fields);
    for (std::size_t i = 0; i < record::kFieldCount; ++i) result.field[i] = fields.field(i);
    return result;
}

}  // namespace testing_support
