#pragma once
// File times finer than a second, set with each OS's own call: the C++
// library of the Windows build rounds them to whole seconds.

#include <cstdint>
#include <string>

namespace testing_support {

// Sets the modification time to `milliseconds` since 1970-01-01 UTC, which
// may be negative. Returns false where the file system cannot hold it.
bool setModifiedMilliseconds(const std::string& path, std::int64_t milliseconds);

}  // namespace testing_support
