#include <cstring>

#include "platform/bytes.h"

namespace platform {

// glibc's memrchr searches backwards a vector at a time.
std::size_t findLastBytes(const char* data, std::size_t length, char byte, std::span<std::size_t> positions) noexcept {
    std::size_t found = 0;
    while (found < positions.size()) {
        const void* at = ::memrchr(data, static_cast<unsigned char>(byte), length);
        if (at == nullptr) break;
        length = static_cast<std::size_t>(static_cast<const char*>(at) - data);
        positions[found++] = length;
    }
    return found;
}

}  // namespace platform
