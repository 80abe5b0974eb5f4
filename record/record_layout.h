#pragma once
// Where each field of a record comes from: the line it is cut from, counted
// from the end of the log, and the rule that cuts it.

#include <array>
#include <cstddef>
#include <string_view>

#include "record/extract.h"

namespace record {

// A record is complete once this many line breaks have been found from the
// end: the 13th bounds line 12, the last line the record spans.
inline constexpr int kRecordBreaks = 13;

using Extractor = std::string_view (*)(std::string_view) noexcept;

struct FieldSource {
    int lineFromEnd;
    Extractor cut;
};

// By field number; fields 0 to 4 are cut from the log.
inline constexpr std::array<FieldSource, 5> kFieldSources{{
    {11, extractParenthesised},  // time
    {4, extractQuoted},          // sender
    {8, extractQuoted},          // service
    {2, extractQuoted},          // message
    {6, extractQuoted},          // conversation
}};

}  // namespace record
