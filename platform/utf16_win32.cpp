#include "platform/utf16_win32.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "platform/utf8.h"

namespace platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at the start of `text`, and its length in bytes: a
// well-formed sequence, the generalised form of a surrogate (ED A0..BF xx),
// or one byte that begins neither, as U+FFFD.
char32_t nextCharacter(std::string_view text, std::size_t& length) noexcept {
    length = utf8SequenceLength(text);
    if (length > 0) return utf8CodePoint(text, length);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.size() >= 3 && byte(0) == 0xED && byte(1) >= 0xA0 && byte(1) <= 0xBF && byte(2) >= 0x80 && byte(2) <= 0xBF) {
        length = 3;
        return 0xD000 | (char32_t{byte(1)} & 0x3F) << 6 | (char32_t{byte(2)} & 0x3F);
    }
    length = 1;
    return kReplacement;
}

// Calls `unit` with each UTF-16 unit of `text`.
template <typename Unit>
void eachUtf16Unit(std::string_view text, Unit unit) {
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        // A path is mostly ASCII, a unit for a byte.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            unit(static_cast<wchar_t>(text[at]));
            length = 1;
            continue;
        }
        const char32_t point = nextCharacter(text.substr(at), length);
        if (point < 0x10000) {
            unit(static_cast<wchar_t>(point));
        } else {
            unit(static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10)));
            unit(static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
        }
    }
}

}  // namespace

std::size_t utf8FromUtf16(std::wstring_view text, char* out) noexcept {
    char* const start = out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t point = text[at];
        const bool pair = point >= 0xD800 && point <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
                          text[at + 1] <= 0xDFFF;
        if (pair) point = 0x10000 + ((point - 0xD800) << 10) + (char32_t{text[++at]} - 0xDC00);
        if (point < 0x80) {
            *out++ = static_cast<char>(point);
        } else if (point < 0x800) {
            *out++ = static_cast<char>(0xC0 | point >> 6);
            *out++ = static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {  // an unpaired surrogate too
            *out++ = static_cast<char>(0xE0 | point >> 12);
            *out++ = static_cast<char>(0x80 | (point >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (point & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | point >> 18);
            *out++ = static_cast<char>(0x80 | (point >> 12 & 0x3F));
            *out++ = static_cast<char>(0x80 | (point >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return static_cast<std::size_t>(out - start);
}

std::string utf8FromUtf16(std::wstring_view text) {
    std::string out(3 * text.size(), '\0');
    out.resize(utf8FromUtf16(text, out.data()));
    return out;
}

std::wstring utf16FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    eachUtf16Unit(text, [&](wchar_t unit) { out.push_back(unit); });
    return out;
}

bool WidePath::reserve(std::size_t units) noexcept {
    if (units <= capacity_) return true;
    const std::size_t capacity = std::max(units, 2 * capacity_);
    std::unique_ptr<wchar_t[]> larger(new (std::nothrow) wchar_t[capacity]);
    if (!larger) return false;
    std::memcpy(larger.get(), data_, (size_ + 1) * sizeof(wchar_t));
    onHeap_ = std::move(larger);
    data_ = onHeap_.get();
    capacity_ = capacity;
    return true;
}

bool WidePath::assign(std::string_view text) noexcept {
    // No character takes more UTF-16 units than UTF-8 bytes.
    if (!reserve(text.size() + 1)) return false;
    size_ = 0;
    eachUtf16Unit(text, [&](wchar_t unit) noexcept { data_[size_++] = unit; });
    data_[size_] = L'\0';
    return true;
}

bool WidePath::append(std::wstring_view text) noexcept {
    if (!reserve(size_ + text.size() + 1)) return false;
    text.copy(data_ + size_, text.size());
    size_ += text.size();
    data_[size_] = L'\0';
    return true;
}

bool WidePath::assignFromCodePage(unsigned codePage, std::string_view text) noexcept {
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    const int units = text.empty() ? 0 : ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (units < 0 || !reserve(static_cast<std::size_t>(units) + 1)) return false;
    if (units > 0) ::MultiByteToWideChar(codePage, 0, text.data(), length, data_, units);
    size_ = static_cast<std::size_t>(units);
    data_[size_] = L'\0';
    return true;
}

void WidePath::truncate(std::size_t length) noexcept {
    size_ = std::min(size_, length);
    data_[size_] = L'\0';
}

}  // namespace platform
