#pragma once
// The six text fields cut from the tail of a chat log.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace record {

inline constexpr std::size_t kFieldCount = 6;
// Field 5 is not cut from the log: it holds the status text of a failed read
// and is empty after a successful one.
inline constexpr std::size_t kStatusField = 5;
// The service name, and the message text whose envelope depends on it.
inline constexpr std::size_t kServiceField = 2;
inline constexpr std::size_t kMessageField = 3;

inline constexpr const char* kUnableToOpen = "Unable to open file.";
inline constexpr const char* kFileTooSmall = "File too small.";

// The log is read from its end in blocks of this size.
inline constexpr std::size_t kBlockSize = 1024;

// Fields are 8-bit strings of any length and any bytes, NUL included.
//
// A field is a view: into the block the set holds for the reader, or into a
// copy of its own when its line spanned blocks or its text was rewritten. A
// record that fits in one block, the usual case, is thus cut without copying
// or allocating anything. The set can be neither copied nor moved, since
// its fields may point into it.
class FieldSet {
public:
    FieldSet() = default;
    FieldSet(const FieldSet&) = delete;
    FieldSet& operator=(const FieldSet&) = delete;

    std::string_view operator[](std::size_t index) const noexcept { return field_[index]; }

    // Every field empty.
    void clear() noexcept { field_ = {}; }

    // Sets a field to bytes that stay put while the set is in use: bytes of
    // its block, or static text.
    void refer(std::size_t index, std::string_view bytes) noexcept { field_[index] = bytes; }

    // Sets a field to a copy of `bytes`, which may be the field itself.
    void copy(std::size_t index, std::string_view bytes);
    void take(std::size_t index, std::string&& text);

    // The buffer the next block of the log is read into. Fields that refer
    // into it are copied out first, as the read will overwrite it.
    std::span<char, kBlockSize> reuseBlock();

private:
    std::array<std::string_view, kFieldCount> field_{};
    std::array<std::string, kFieldCount> own_;
    std::array<char, kBlockSize> block_;
};

}  // namespace record
