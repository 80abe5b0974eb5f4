#include <cstring>

#include "platform/bytes.h"

namespace platform {

// glibc's memrchr searches backwards a vector at a time.
std::size_t findLastByte(const char* data, std::size_t length, char byte) noexcept {
    const void* found = ::memrchr(data, static_cast<unsigned char>(byte), length);
    return found == nullptr ? length : static_cast<std::size_t>(static_cast<const char*>(found) - data);
}

}  // namespace platform
