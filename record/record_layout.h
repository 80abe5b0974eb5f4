#pragma once
// The layout of a chat log as the module reads it, in one place: which line
// feeds which field and by which rule, how many line breaks make a record,
// how the tail is read, and the status texts a failed read answers.
//
// Lines are counted from the end of the log: line k runs between the
// (k+1)-th and the k-th line feed from the end, without either, and a CR
// directly before a line feed is no part of the line. Line 1 is the last line
// that has a break; whatever follows the last break is ignored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "record/extract.h"

namespace record {

// The host asks for fields by these numbers.
inline constexpr std::size_t kTimeField = 0;
inline constexpr std::size_t kSenderField = 1;
inline constexpr std::size_t kServiceField = 2;
inline constexpr std::size_t kMessageField = 3;
inline constexpr std::size_t kConversationField = 4;
// Not cut from the log: the status text of a failed read, empty after a good one.
inline constexpr std::size_t kStatusField = 5;
inline constexpr std::size_t kFieldCount = 6;

using Extractor = std::string_view (*)(std::string_view) noexcept;

struct FieldSource {
    std::string_view name;
    int lineFromEnd;
    Extractor cut;
};

// By field number, fields 0 to 4.
inline constexpr std::array<FieldSource, 5> kFieldSources{{
    {"time", 11, extractParenthesised},
    {"sender", 4, extractQuoted},
    {"service", 8, extractQuoted},
    {"message", 2, extractQuoted},
    {"conversation", 6, extractQuoted},
}};

// A record is complete once this many line breaks have been found from the
// end: the 13th bounds line 12, the last line the record spans.
inline constexpr int kRecordBreaks = 13;
inline constexpr int kRecordLines = kRecordBreaks - 1;

// A message of this service (the whole service field, case-sensitive) comes
// wrapped in an escaped html/body envelope (kEnvelopeOpening and
// kEnvelopeClosing, extract.h), which is taken off.
inline constexpr std::string_view kEnvelopingService = "SAMETIME";

// The log is read from its end in blocks of this size, and must be at least
// this long before its tail is scanned at all.
inline constexpr std::size_t kBlockSize = 1024;
inline constexpr std::int64_t kMinimumLogSize = 1024;
// A record is looked for in this many bytes at the end of a log at most: a
// chat record is a few hundred bytes, and one longer than this is no record.
// A log with no record in them answers as one too small, and costs a read of
// this much at each change, not a read of the whole log.
inline constexpr std::int64_t kMostSearchedBytes = std::int64_t{64} * 1024 * 1024;

// What a failed read answers, whatever field was asked for.
inline constexpr const char* kUnableToOpen = "Unable to open file.";
inline constexpr const char* kFileTooSmall = "File too small.";

}  // namespace record
