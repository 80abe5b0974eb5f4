#include "record/field_number.h"

#include <charconv>

#include "record/record_layout.h"

namespace record {

namespace {

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

std::optional<std::size_t> parsed(std::size_t value) noexcept {
    if (value >= kFieldCount) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::size_t> parseFieldNumber(const char* text) noexcept {
    if (text == nullptr) return 0;
    // The host's usual text, a single digit, needs none of what follows.
    if (isDigit(text[0]) && text[1] == '\0') return parsed(static_cast<std::size_t>(text[0] - '0'));
    // Plain loops: the text is a digit or two, polled every second, and the
    // library's general searches cost more to set up than to run here.
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    const char* first = text;
    while (isSpace(*first)) ++first;
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    const char* last = first;
    while (isDigit(*last)) ++last;
    std::size_t value = 0;
    const std::errc error = std::from_chars(first, last, value).ec;
    if (error == std::errc::invalid_argument) return 0;  // no digits
    if (error == std::errc::result_out_of_range) return std::nullopt;
    if (negative && value != 0) return std::nullopt;
    return parsed(value);
}

}  // namespace record
