#include "plugin/file_age.h"

#include "platform/file.h"
#include "plugin/age_texts.h"
#include "plugin/plugin_text.h"
#include "record/name_pattern.h"
#include "record/newest_log.h"
#include "record/record_layout.h"

namespace plugin {

std::int32_t displayedAge(std::int64_t now, std::int64_t modified) noexcept {
    // Unsigned arithmetic wraps where signed would overflow.
    const auto difference = static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(modified);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(difference));
}

char* queryFileAge(const char* path) {
    static AgeTexts* const ages = new AgeTexts;  // its texts outlive the module, so may it
    static record::AnswerSlot unableToOpen;
    static record::NewestLog* const newest = new record::NewestLog;
    const std::int64_t now = platform::nowSeconds();
    platform::FileStatus status;
    if (path != nullptr && record::isPattern(path, platform::backslashSeparates())) {
        // The newest match's age; no match answers as a missing log.
        if (newest->find(path)) status = newest->status();
    } else {
        status = platform::statFile(path);
    }
    if (!status.ok) return answers().reuseOrCopy(record::kUnableToOpen, unableToOpen);
    return ages->text(displayedAge(now, status.modifiedSeconds), answers());
}

}  // namespace plugin
