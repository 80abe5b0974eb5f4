#include "record/field_set.h"

#include <functional>
#include <utility>

namespace record {

void FieldSet::copy(std::size_t index, std::string_view bytes) {
    own_[index].assign(bytes);  // safe when `bytes` is own_[index] itself
    field_[index] = own_[index];
}

void FieldSet::take(std::size_t index, std::string&& text) {
    own_[index] = std::move(text);
    field_[index] = own_[index];
}

std::span<char, kBlockSize> FieldSet::reuseBlock() {
    const char* const first = block_.data();
    const char* const last = first + block_.size();
    for (std::size_t index = 0; index < kFieldCount; ++index) {
        const char* const data = field_[index].data();
        // std::less_equal orders any two pointers, even ones into different objects.
        if (std::less_equal<const char*>()(first, data) && std::less<const char*>()(data, last)) copy(index, field_[index]);
    }
    return block_;
}

}  // namespace record
