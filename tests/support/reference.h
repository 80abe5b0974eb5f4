#pragma once
// Slow, plain versions of the rules and of the tail reader, written straight
// from their definitions, for differential tests and fuzzers to compare the
// real ones against.

#include <string>
#include <string_view>

#include "tests/support/tail_read.h"

namespace reference {

std::string extractQuoted(const std::string& line);
std::string extractParenthesised(const std::string& line);
// Remove the first marker found from the start, search again from the start,
// until none is left; the opening marker first, then the closing one.
std::string stripHtmlEnvelope(std::string text);

// Reads the whole log, splits it at every LF and cuts the fields from lines
// counted from the end; a "SAMETIME" message loses its envelope.
testing_support::TailRead readWholeLog(std::string_view log);

// The field number as the C library reads it: strtol, with out-of-range and
// anything outside 0 to 5 meaning no field.
int fieldNumber(const char* text);  // -1 for no field

// Whether `name` matches the file name pattern `pattern`, byte for byte: *
// any run of bytes, ? one byte, every other byte itself. Tries every split.
bool matchesPattern(std::string_view pattern, std::string_view name);

}  // namespace reference
