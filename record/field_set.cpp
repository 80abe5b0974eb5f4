#include "record/field_set.h"

#include <functional>

#include "record/extract.h"
#include "record/record_layout.h"

namespace record {

std::string_view FieldSet::cutAndKeep(std::size_t index) {
    value_[index] = cut(index);
    isCut_.set(index);
    return value_[index];
}

std::string_view FieldSet::lineOf(std::size_t index) const noexcept {
    return hasLine_[index] ? line_[index] : std::string_view();
}

std::string_view FieldSet::cut(std::size_t index) {
    const std::string_view line = lineOf(index);
    if (index == kStatusField) return line;
    const std::string_view value = kFieldSources[index].cut(line);
    if (index != kMessageField || !hasEnvelopedMessages()) return value;
    unwrappedMessage_ = stripHtmlEnvelope(value);
    return unwrappedMessage_;
}

bool FieldSet::hasEnvelopedMessages() {
    constexpr std::string_view kService = "SAMETIME";
    // Most services fail the cheap test, and the message is then answered
    // without cutting the service.
    return mayBeQuoted(lineOf(kServiceField), kService) && (*this)[kServiceField] == kService;
}

void FieldSet::copyLine(std::size_t index, std::string_view line) {
    ownLine_[index].assign(line);  // safe when `line` is this very copy
    referLine(index, ownLine_[index]);
}

void FieldSet::setStatus(const char* status) noexcept { referLine(kStatusField, status); }

std::span<char, kBlockSize> FieldSet::reuseBlock() {
    const char* const first = block_.data();
    const char* const last = first + block_.size();
    for (std::size_t index = 0; index < kFieldCount; ++index) {
        const char* const data = line_[index].data();
        // std::less orders any two pointers, even ones into different objects.
        if (hasLine_[index] && !std::less<const char*>()(data, first) && std::less<const char*>()(data, last)) {
            copyLine(index, line_[index]);
        }
    }
    return block_;
}

}  // namespace record
