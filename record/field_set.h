#pragma once
// The six text fields of the last record read from a chat log.

#include <array>
#include <bitset>
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
// The reader hands over the line each field comes from; a field is cut from
// its line the first time it is asked for, so a poll that re-reads the log
// cuts only the field it answers with. Lines and fields are views: into the
// block the set holds for the reader, or into copies of their own when a line
// spanned blocks or a text was rewritten. A record that fits in one block,
// the usual case, is thus read without copying or allocating anything. The
// set can be neither copied nor moved, since it points into itself.
class FieldSet {
public:
    FieldSet() = default;
    FieldSet(const FieldSet&) = delete;
    FieldSet& operator=(const FieldSet&) = delete;

    // A message of the "SAMETIME" service comes without its HTML envelope.
    std::string_view operator[](std::size_t index) { return isCut_[index] ? value_[index] : cutAndKeep(index); }

    // Every line and field empty.
    void clear() noexcept {
        hasLine_.reset();
        isCut_.reset();
    }

    // Sets the line field `index` (0 to 4) is cut from. `line` must stay put
    // while the set is in use: bytes of its block, or static text.
    void referLine(std::size_t index, std::string_view line) noexcept {
        line_[index] = line;
        hasLine_.set(index);
        isCut_.reset();  // the message's cut depends on the service's line too
    }
    // The same with a copy of `line`, for a line pieced together elsewhere.
    void copyLine(std::size_t index, std::string_view line);

    void setStatus(const char* status) noexcept;

    // The buffer the next block of the log is read into. Lines that refer
    // into it are copied out first, as the read will overwrite it.
    std::span<char, kBlockSize> reuseBlock();

private:
    std::string_view lineOf(std::size_t index) const noexcept;
    std::string_view cut(std::size_t index);
    std::string_view cutAndKeep(std::size_t index);
    bool hasEnvelopedMessages();

    // line_[5] is the status text. A line not set, one not reached by the
    // scan, is empty; a value is valid once cut.
    std::array<std::string_view, kFieldCount> line_;
    std::array<std::string_view, kFieldCount> value_;
    std::bitset<kFieldCount> hasLine_;
    std::bitset<kFieldCount> isCut_;
    std::array<std::string, kFieldCount> ownLine_;
    std::string unwrappedMessage_;
    std::array<char, kBlockSize> block_;
};

}  // namespace record
