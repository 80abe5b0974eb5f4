#include "record/field_set.h"

#include <functional>

#include "record/extract.h"
#include "record/record_layout.h"

namespace record {

std::string_view FieldSet::operator[](std::size_t index) {
    if (!value_[index]) value_[index] = cut(index);
    return *value_[index];
}

std::string_view FieldSet::cut(std::size_t index) {
    const std::string_view line = line_[index].value_or(std::string_view());
    if (index == kStatusField) return line;
    const std::string_view value = kFieldSources[index].cut(line);
    if (index != kMessageField || (*this)[kServiceField] != "SAMETIME") return value;
    unwrappedMessage_ = stripHtmlEnvelope(value);
    return unwrappedMessage_;
}

void FieldSet::clear() noexcept {
    for (std::optional<std::string_view>& line : line_) line.reset();
    forgetCuts();
}

void FieldSet::forgetCuts() noexcept {
    for (std::optional<std::string_view>& value : value_) value.reset();
}

void FieldSet::referLine(std::size_t index, std::string_view line) noexcept {
    line_[index] = line;
    forgetCuts();  // the message's cut depends on the service's line too
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
        if (!line_[index]) continue;
        const char* const data = line_[index]->data();
        // std::less orders any two pointers, even ones into different objects.
        if (!std::less<const char*>()(data, first) && std::less<const char*>()(data, last)) {
            copyLine(index, *line_[index]);
        }
    }
    return block_;
}

}  // namespace record
