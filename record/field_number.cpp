#include "record/field_number.h"

#include <charconv>
#include <cstring>

#include "record/field_set.h"

namespace record {

std::optional<std::size_t> parseFieldNumber(const char* text) noexcept {
    if (text == nullptr) return 0;
    const char* first = text + std::strspn(text, " \t\n\v\f\r");
    const char* const last = first + std::strlen(first);
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    std::size_t value = 0;
    const std::errc error = std::from_chars(first, last, value).ec;
    if (error == std::errc::invalid_argument) return 0;  // no digits
    if (error == std::errc::result_out_of_range) return std::nullopt;
    if (negative && value != 0) return std::nullopt;
    if (value >= kFieldCount) return std::nullopt;
    return value;
}

}  // namespace record
