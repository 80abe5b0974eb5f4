#include "plugin/answer_slots.h"

namespace plugin {

AnswerSlots::OfPath& AnswerSlots::of(const char* path) {
    const std::string_view wanted = path != nullptr ? std::string_view(path) : std::string_view();
    if (wanted.empty()) return noPath_;
    if (lastFound_ != nullptr && lastPath_ == wanted) return *lastFound_;
    auto found = byPath_.find(wanted);
    if (found == byPath_.end()) found = byPath_.try_emplace(std::string(wanted)).first;
    // A map's keys stay where they are for as long as they are in it.
    lastPath_ = found->first;
    lastFound_ = &found->second;
    return found->second;
}

}  // namespace plugin
