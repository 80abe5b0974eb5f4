#pragma once
// The age texts handed to the host, one per age.

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "plugin/plugin_text.h"

namespace plugin {

// An age handed out before is handed out again as the same text, for any
// log: a log's age changes every second, and a host that polls it for days
// would otherwise keep a new text each time. Ages come in runs, so they are
// kept in pages of consecutive ages: a pointer per age seen, beside its text.
// The pages are small, so that an age far from every other (a log dated 1970
// or in the future, logs of unrelated ages) costs little more than its text.
class AgeTexts {
public:
    // The decimal text of `age`, from `arena` the first time (or when the
    // host wrote into the text handed out before).
    char* text(std::int32_t age, TextArena& arena);

private:
    static constexpr int kPageBits = 6;
    using Page = std::array<AnswerSlot, std::size_t{1} << kPageBits>;
    std::unordered_map<std::int32_t, std::unique_ptr<Page>> pages_;
};

}  // namespace plugin
