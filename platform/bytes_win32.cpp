#include <string_view>

#include "platform/bytes.h"

namespace platform {

// The Windows C runtime has no memrchr.
std::size_t findLastByte(const char* data, std::size_t length, char byte) noexcept {
    const std::size_t found = std::string_view(data, length).rfind(byte);
    return found == std::string_view::npos ? length : found;
}

}  // namespace platform
