#include "plugin/age_texts.h"

#include <charconv>

namespace plugin {

char* AgeTexts::text(std::int32_t age, TextArena& arena) {
    std::unique_ptr<Page>& page = pages_[age >> kPageBits];  // rounds down, also below 0
    if (page == nullptr) page = std::make_unique<Page>();
    char digits[12];  // "-2147483648"
    const auto written = std::to_chars(digits, digits + sizeof digits, age);
    return arena.reuseOrCopy({digits, static_cast<std::size_t>(written.ptr - digits)},
                             (*page)[static_cast<std::size_t>(age & ((1 << kPageBits) - 1))]);
}

}  // namespace plugin
