#pragma once
// More of a log's last lines than a record spans, for the hints that compare
// the last record with the ones before it.

#include <cstddef>
#include <string>
#include <vector>

namespace explain {

// Up to `count` lines from the end of the log at `path`, line 1 first, as
// the module counts them (record::linesFromEnd), found in its last
// `mostBytes` bytes; none when it cannot be read.
std::vector<std::string> linesFromEnd(const char* path, std::size_t count, std::size_t mostBytes);

}  // namespace explain
