#include "plugin/file_age.h"

#include "platform/file.h"
#include "plugin/age_texts.h"
#include "plugin/plugin_text.h"
#include "pattern/name_pattern.h"
#include "record/record_layout.h"

namespace plugin {

std::int32_t displayedAge(std::int64_t now, std::int64_t modified) noexcept {
    // Unsigned arithmetic wraps where signed would overflow.
    const auto difference = static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(modified);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(difference));
}

char* queryFileAge(const char* path, record::FieldCache& fields) {
    static AgeTexts* const ages = new AgeTexts;  // its texts outlive the module, so may it
    static AnswerSlot unableToOpen;
    const std::int64_t now = platform::nowSeconds();
    // No match of a pattern answers as a missing log.
    const platform::FileStatus status =
        pattern::isPattern(path) ? fields.patternFileStatus(path) : platform::statFile(path);
    if (!status.ok) return answers().reuseOrCopy(record::kUnableToOpen, unableToOpen);
    return ages->text(displayedAge(now, status.modifiedSeconds), answers());
}

}  // namespace plugin
