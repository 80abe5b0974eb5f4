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

// Lines are numbered from the end: line k runs between the (k+1)-th and the
// k-th line feed from the end, without either; line 1 is the last line that
// has a break, and whatever follows the last break is line 0 and ignored.
// Which lines feed which fields is in record_layout.h.
//
// Feed the blocks from the end of the file towards its start. A line that
// spans blocks is carried over as fragments and handed over whole. A CR
// directly before the LF that ends a line is dropped, also when the CR ends
// one block and the LF starts the next.
//
// A line that lies whole in one block is handed over as a view into that
// block, which must stay put while the fields are in use (FieldSet's own
// block is copied out of before it is reused); a line pieced together from
// several blocks is copied.
class TailScan {
public:
    // Clears `fields` and hands the record's lines to it.
    explicit TailScan(FieldSet& fields) noexcept : fields_(fields) { fields_.clear(); }

    // Scans `block`, the bytes just before everything scanned so far, from its
    // end down to its first byte. Returns true once the record is complete;
    // later blocks must not be fed after that.
    bool scanPreceding(std::string_view block);

    bool complete() const noexcept { return breaksFound_ == kRecordBreaks; }

private:
    void handOver(std::size_t field, std::string_view line, bool pieced);

    int breaksFound_ = 0;
    // Pieces of the pending line (the one whose opening break has not been
    // found yet) from blocks already scanned, rightmost first. Only lines that
    // feed a field are collected.
    std::vector<std::string> pendingFragments_;
    // A line not reached yet leaves its field empty.
    FieldSet& fields_;
};

}  // namespace record
