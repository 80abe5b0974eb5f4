#pragma once
// The six text fields the module answers from.

#include <array>
#include <string>

#include "record/record_layout.h"
#include "record/tail_reader.h"

namespace record {

// Fields 0 to 4 are cut from the log (record_layout.h says from which line and
// how); field 5 holds the status text of a failed read and is empty after a
// good one. Fields are 8-bit strings of any length and any bytes, NUL
// included.
struct FieldSet {
    std::array<std::string, kFieldCount> field;
};

// Sets field `index` of `fields` as the module answers it from `tail`:
// fields 0 to 4 cut from their lines, or empty where the read did not reach
// them or the log is under the minimum size, a message of the enveloping service without its envelope; field 5 the
// status text of a failed read. Reuses the field's capacity.
void cutField(const TailRecord& tail, std::size_t index, FieldSet& fields);

// Whether a message comes without its envelope, by the service cut beside it.
bool envelopeComesOff(std::string_view service) noexcept;

// Every field of `fields` so.
void cutFields(const TailRecord& tail, FieldSet& fields);

// The status text a read answers: empty for a complete record, or before any read.
const char* statusText(ReadStatus status) noexcept;

}  // namespace record
