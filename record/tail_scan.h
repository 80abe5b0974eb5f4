#pragma once
// The backward walk over a log's tail, kept apart from any I/O so that it can
// be tested and fuzzed on blocks in memory.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "record/field_set.h"
#include "record/record_layout.h"

namespace record {

// Feed the blocks from the end of the file towards its start. A line that
// spans blocks is carried over as fragments and handed over whole. A CR
// directly before the LF that ends a line is dropped, also when the CR ends
// one block and the LF starts the next. Which lines feed which fields, and
// how lines are counted, is in record_layout.h.
class TailScan {
public:
    // Hands the record's lines to `fields`, which the caller has cleared.
    explicit TailScan(FieldSet& fields) noexcept : fields_(fields) {}

    // Whether a block's bytes stay where they are while the fields are in use
    // (the set's own last block), or are about to be overwritten.
    enum class Block { kKept, kScratch };

    // Scans `block`, the bytes just before everything scanned so far, from its
    // end down to its first byte. A line that lies whole in a kept block is
    // handed over as a view into it; every other line is copied. Returns true
    // once the record is complete; later blocks must not be fed after that.
    bool scanPreceding(std::string_view block, Block storage);

    bool complete() const noexcept { return breaksFound_ == kRecordBreaks; }

private:
    void handOver(std::size_t field, std::string_view line, bool copy);

    int breaksFound_ = 0;
    // Pieces of the pending line (the one whose opening break has not been
    // found yet) from blocks already scanned, rightmost first. Only lines that
    // feed a field are collected.
    std::vector<std::string> pendingFragments_;
    // A line not reached yet leaves its field empty.
    FieldSet& fields_;
};

}  // namespace record
