#pragma once
// The six text fields cut from the tail of a chat log.

#include <array>
#include <cstddef>
#include <string>

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

// Fields are 8-bit strings of any length and any bytes, NUL included.
struct FieldSet {
    std::array<std::string, kFieldCount> field;
};

}  // namespace record
