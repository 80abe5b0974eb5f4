#pragma once
// One read of a log's tail as plain strings, which outlive the reader's
// buffers and compare with the reference reader's.

#include <array>
#include <optional>
#include <string>

#include "record/record_layout.h"

namespace testing_support {

struct TailRead {
    std::array<std::string, record::kFieldCount> field;
    bool failed = false;  // field 5 then holds the status text
    // Lines 1 to 12 from the end, where the read reached them.
    std::array<std::optional<std::string>, record::kRecordLines> line;
    std::string afterLastBreak;
};

// What the module's reader cuts from the log at `path`.
TailRead readTail(const char* path);

}  // namespace testing_support
