#include "plugin/file_age.h"

#include <charconv>

#include "platform/file.h"
#include "plugin/plugin_text.h"
#include "record/record_layout.h"

namespace plugin {

std::int32_t displayedAge(std::int64_t now, std::int64_t modified) noexcept {
    // Unsigned arithmetic wraps where signed would overflow.
    const auto difference = static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(modified);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(difference));
}

char* queryFileAge(const char* path) {
    const std::int64_t now = platform::nowSeconds();
    const platform::FileStatus status = platform::statFile(path);
    if (!status.ok) return newPluginText(record::kUnableToOpen);
    char digits[12];  // "-2147483648"
    const auto written = std::to_chars(digits, digits + sizeof digits, displayedAge(now, status.modifiedSeconds));
    return newPluginText({digits, static_cast<std::size_t>(written.ptr - digits)});
}

}  // namespace plugin
