#include <string_view>

#include "platform/bytes.h"

namespace platform {

// The Windows C runtime has no memrchr.
std::size_t findLastBytes(const char* data, std::size_t length, char byte, std::span<std::size_t> positions) noexcept {
    std::size_t found = 0;
    while (found < positions.size()) {
        const std::size_t at = std::string_view(data, length).rfind(byte);
        if (at == std::string_view::npos) break;
        length = at;
        positions[found++] = at;
    }
    return found;
}

}  // namespace platform
