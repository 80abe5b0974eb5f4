#pragma once
// The Windows layer's one conversion between the module's text (UTF-8) and
// the system's (UTF-16). A name that is no valid UTF-16, an unpaired
// surrogate in it, goes up as the generalised UTF-8 of that code unit and
// comes back as the same unit, so that every name listed can be opened.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Appends `text` as UTF-8 to `out`, which the caller makes room in: three
// bytes for each UTF-16 unit at most. Returns the bytes written.
std::size_t utf8FromUtf16(std::wstring_view text, char* out) noexcept;

// `text` as UTF-8, for the tools.
std::string utf8FromUtf16(std::wstring_view text);
// `text` (UTF-8) as UTF-16, for the tools; a byte that begins no character
// turns into U+FFFD.
std::wstring utf16FromUtf8(std::string_view text);

// A path for a W function, built on the stack as long as it is of a usual
// length: a poll of a plain path takes nothing from the heap.
class WidePath {
public:
    WidePath() noexcept { onStack_[0] = L'\0'; }
    WidePath(const WidePath&) = delete;
    WidePath& operator=(const WidePath&) = delete;

    // Replaced by, or followed by, `text` (UTF-8). False, and the path as it
    // was, when the memory for a long one cannot be had.
    bool assign(std::string_view text) noexcept;
    bool append(std::wstring_view text) noexcept;
    // Replaced by `text` in `codePage`, converted as Windows converts it.
    bool assignFromCodePage(unsigned codePage, std::string_view text) noexcept;
    // Cut back to its first `length` units.
    void truncate(std::size_t length) noexcept;

    const wchar_t* c_str() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }

private:
    bool reserve(std::size_t units) noexcept;

    static constexpr std::size_t kOnStack = 1024;
    wchar_t onStack_[kOnStack];
    std::unique_ptr<wchar_t[]> onHeap_;
    wchar_t* data_ = onStack_;
    std::size_t size_ = 0;
    std::size_t capacity_ = kOnStack;
};

}  // namespace platform
