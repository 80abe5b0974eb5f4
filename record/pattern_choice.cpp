#include "record/pattern_choice.h"

#include <algorithm>

namespace record {

bool PatternChoice::inRefresh(std::int64_t now) const noexcept {
    return refreshed_ && now >= refreshEnded_ && now - refreshEnded_ < kRefreshMilliseconds;
}

void PatternChoice::forget() noexcept {
    file_.clear();
    fileStatus_ = {};
    refreshed_ = false;
    chose_ = Chose::kNoMatch;
    passedOver_.clear();
}

void PatternChoice::refresh(const char* pattern, FolderMatches& matches, LastRead& chosen, LastRead& candidate) {
    refreshed_ = true;
    const bool listed = matches.list(pattern);
    const std::vector<FolderMatches::Match>& newestFirst = matches.newestFirst();
    if (!listed || newestFirst.empty()) {
        // As a log that cannot be opened, tried again at the next refresh;
        // what was passed over is forgotten.
        chose_ = Chose::kNoMatch;
        chosen.state = {.status = ReadStatus::kCannotOpen, .isCut = {}};
        fileStatus_ = {};
        passedOver_.clear();
    } else {
        for (PassedOver& passed : passedOver_) passed.lookedAt = false;
        const std::size_t lookedAt = std::min(newestFirst.size(), kMatchesLookedAt);
        std::size_t answering = 0;
        while (answering < lookedAt && !answers(newestFirst[answering], matches.path(newestFirst[answering]), chosen, candidate)) {
            ++answering;
        }
        if (answering == lookedAt) {
            // Every match it looked at is too small: the newest answers so.
            chose_ = Chose::kNewestAllTooSmall;
            answering = 0;
            file_.assign(matches.path(newestFirst[0]));
            chosen.state = findPassedOver(newestFirst[0].name)->state;
        } else {
            chose_ = answering == 0 ? Chose::kNewest : Chose::kOlder;
        }
        fileStatus_ = newestFirst[answering].status;
        std::erase_if(passedOver_, [](const PassedOver& passed) { return !passed.lookedAt; });
    }
    // Taken after the listing and the reads: however long they took, the
    // host's next calls of this refresh fall within its window.
    refreshEnded_ = platform::steadyMilliseconds();
}

PatternChoice::PassedOver* PatternChoice::findPassedOver(std::string_view name) noexcept {
    const auto found = std::find_if(passedOver_.begin(), passedOver_.end(),
                                    [&](const PassedOver& passed) { return passed.name == name; });
    return found != passedOver_.end() ? &*found : nullptr;
}

void PatternChoice::passOver(std::string_view name, const ReadState& state) {
    PassedOver* passed = findPassedOver(name);
    if (passed == nullptr) passed = &passedOver_.emplace_back(PassedOver{std::string(name), {}, false});
    passed->state = state;
    passed->lookedAt = true;
}

// Whether `match`, at `path`, answers for the pattern, and then `chosen`
// holds its read; reads it when it must.
bool PatternChoice::answers(const FolderMatches::Match& match, const char* path, LastRead& chosen, LastRead& candidate) {
    // The first file a pattern names follows the rules of a log never read.
    if (file_.empty()) file_.assign(path);
    if (file_ == path) {
        if (chosen.state.mustRead(match.status)) chosen.read(path, match.status);
        if (chosen.state.status != ReadStatus::kTooSmall) return true;
        passOver(match.name, chosen.state);
        return false;
    }
    // Another file is read at once, whatever its time, unless it was too
    // small and has not changed since.
    PassedOver* const passed = findPassedOver(match.name);
    if (passed != nullptr && !passed->state.mustRead(match.status)) {
        passed->lookedAt = true;
        return false;
    }
    candidate.read(path, match.status);
    if (candidate.state.status == ReadStatus::kTooSmall) {
        passOver(match.name, candidate.state);
        return false;
    }
    std::swap(chosen, candidate);
    file_.assign(path);
    return true;
}

}  // namespace record
