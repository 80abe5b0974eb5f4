#pragma once
// Which text each path's queries were last handed, so that an unchanged
// answer is handed out again rather than copied at every poll.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "record/record_layout.h"

namespace plugin {

// The text last handed out for one query, and its length, as the host was
// given it.
struct AnswerSlot {
    const char* text = nullptr;
    std::size_t length = 0;
};

// A few slots for every path ever polled, whatever its answers: one per field
// and one for numbers outside 0 to 5. Kept for as long as the module is
// loaded, so that however many logs are polled in turn, an unchanged answer
// is the text handed out before.
class AnswerSlots {
public:
    static constexpr std::size_t kQueries = record::kFieldCount + 1;
    using OfPath = std::array<AnswerSlot, kQueries>;

    // The slots of `path`; a NULL or empty path names no log and has slots
    // of its own. Allocates only for a path not seen before.
    OfPath& of(const char* path);

private:
    // Paths compared as views, so that finding one allocates nothing.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const noexcept { return std::hash<std::string_view>{}(path); }
    };

    std::unordered_map<std::string, OfPath, PathHash, std::equal_to<>> byPath_;
    OfPath noPath_;
    // The host asks for a few fields of one log in a row.
    OfPath* lastFound_ = nullptr;
    std::string_view lastPath_;
};

}  // namespace plugin
