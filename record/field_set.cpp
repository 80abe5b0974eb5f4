#include "record/field_set.h"

#include <utility>

#include "record/extract.h"

namespace record {

void cutField(const TailRecord& tail, std::size_t index, FieldSet& fields) {
    std::string& field = fields.field[index];
    if (index == kStatusField) {
        field.assign(statusText(tail.status()));
        return;
    }
    if (tail.underMinimum()) {
        // Its lines are read only to be shown: no field comes from them.
        field.clear();
        return;
    }
    const auto cut = [&](std::size_t i) { return kFieldSources[i].cut(tail.line(kFieldSources[i].lineFromEnd)); };
    field.assign(cut(index));
    if (index == kMessageField && envelopeComesOff(cut(kServiceField))) field = stripHtmlEnvelope(std::move(field));
}

bool envelopeComesOff(std::string_view service) noexcept { return service == kEnvelopingService; }

void cutFields(const TailRecord& tail, FieldSet& fields) {
    for (std::size_t index = 0; index < kFieldCount; ++index) cutField(tail, index, fields);
}

const char* statusText(ReadStatus status) noexcept {
    switch (status) {
        case ReadStatus::kNotRead:
        case ReadStatus::kRecord:
            return "";
        case ReadStatus::kCannotOpen:
            return kUnableToOpen;
        case ReadStatus::kTooSmall:
            return kFileTooSmall;
    }
    return kUnableToOpen;
}

}  // namespace record
