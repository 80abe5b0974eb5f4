#pragma once
// The six text fields of the last record read from a chat log.

#include <array>
#include <bitset>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "record/record_layout.h"

namespace record {

// Fields are 8-bit strings of any length and any bytes, NUL included.
//
// The reader hands over the line each field comes from; a field is cut from
// its line the first time it is asked for, so a poll that re-reads the log
// cuts only the field it answers with. The log's last block is read into the
// set itself, and a line that lies whole in it is kept as a view into it: a
// record that fits in one block, the usual case, is read without copying or
// allocating anything. Any other line is kept as a copy. The set can be
// neither copied nor moved, since it points into itself.
class FieldSet {
public:
    FieldSet() = default;
    FieldSet(const FieldSet&) = delete;
    FieldSet& operator=(const FieldSet&) = delete;

    // Field `index` (0 to 5), cut from its line on first use and kept. A
    // message of the enveloping service comes without its envelope.
    std::string_view field(std::size_t index) { return isCut_[index] ? value_[index] : cutAndKeep(index); }

    // The whole line field `index` is cut from (the status text for field 5);
    // empty when the read did not reach it.
    std::string_view line(std::size_t index) const noexcept {
        return hasLine_[index] ? line_[index] : std::string_view();
    }

    // Every line and field empty.
    void clear() noexcept {
        hasLine_.reset();
        isCut_.reset();
    }

    // Where the reader puts the log's last block.
    std::span<char, kBlockSize> lastBlock() noexcept { return block_; }

    // Sets the line field `index` (0 to 4) is cut from: bytes of lastBlock()
    // or static text, which stay put while the set is in use.
    void referLine(std::size_t index, std::string_view line) noexcept {
        line_[index] = line;
        hasLine_.set(index);
        isCut_.reset();  // the message's cut depends on the service's line too
    }
    // The same with a copy of `line`, for a line that lies anywhere else.
    void copyLine(std::size_t index, std::string_view line);

    void setStatus(const char* status) noexcept { referLine(kStatusField, status); }

private:
    std::string_view cut(std::size_t index);
    std::string_view cutAndKeep(std::size_t index);

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
