#include "record/field_set.h"

#include "record/extract.h"

namespace record {

std::string_view FieldSet::cutAndKeep(std::size_t index) {
    value_[index] = cut(index);
    isCut_.set(index);
    return value_[index];
}

std::string_view FieldSet::cut(std::size_t index) {
    if (index == kStatusField) return line(index);
    const std::string_view value = kFieldSources[index].cut(line(index));
    if (index != kMessageField || field(kServiceField) != kEnvelopingService) return value;
    unwrappedMessage_ = stripHtmlEnvelope(value);
    return unwrappedMessage_;
}

void FieldSet::copyLine(std::size_t index, std::string_view line) {
    ownLine_[index].assign(line);
    referLine(index, ownLine_[index]);
}

}  // namespace record
