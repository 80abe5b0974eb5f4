#include "platform/utf8.h"

namespace platform {

std::size_t utf8SequenceLength(std::string_view text) noexcept {
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        if (first == 0xE0) low = 0xA0;   // no overlong forms
        if (first == 0xED) high = 0x9F;  // no surrogates
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        if (first == 0xF0) low = 0x90;
        if (first == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return first < 0x80 ? 1 : 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

char32_t utf8CodePoint(std::string_view text, std::size_t length) noexcept {
    // The lead byte's payload bits, then six from each continuation byte.
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t point = static_cast<unsigned char>(text[0]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) point = (point << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return point;
}

}  // namespace platform
