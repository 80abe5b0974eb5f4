#include "pattern/pattern_choice.h"

#include <algorithm>

namespace pattern {

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

void PatternChoice::refresh(const char* pattern, FolderMatches& matches, record::LastRead& chosen,
                            record::LastRead& candidate) {
    refreshed_ = true;
    const bool listed = matches.list(pattern);
    const std::vector<FolderMatches::Match>& newestFirst = matches.newestFirst();
    for (PassedOver& passed : passedOver_) passed.lookedAt = false;
    const std::size_t lookedAt = listed ? std::min(newestFirst.size(), kMatchesLookedAt) : 0;
    std::size_t answering = lookedAt;
    std::size_t newestThere = lookedAt;  // the newest match not gone since the listing
    for (std::size_t at = 0; at < lookedAt; ++at) {
        const Found found = answers(newestFirst[at], matches.path(newestFirst[at]), chosen, candidate);
        if (found == Found::kGone) continue;
        newestThere = std::min(newestThere, at);
        if (found == Found::kAnswers) {
            answering = at;
            break;
        }
    }
    if (newestThere == lookedAt) {
        // As a log that cannot be opened, tried again at the next refresh;
        // what was passed over is forgotten.
        chose_ = Chose::kNoMatch;
        chosen.state = {.status = record::ReadStatus::kCannotOpen, .isCut = {}};
        file_.clear();
        fileStatus_ = {};
        passedOver_.clear();
    } else {
        if (answering == lookedAt) {
            // Every match it looked at is too small: the newest answers so.
            chose_ = Chose::kNewestAllTooSmall;
            answering = newestThere;
            file_.assign(matches.path(newestFirst[answering]));
            chosen.state = findPassedOver(newestFirst[answering].name)->state;
        } else {
            chose_ = answering == newestThere ? Chose::kNewest : Chose::kOlder;
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

void PatternChoice::passOver(std::string_view name, const record::ReadState& state) {
    PassedOver* passed = findPassedOver(name);
    if (passed == nullptr) passed = &passedOver_.emplace_back(PassedOver{std::string(name), {}, false});
    passed->state = state;
    passed->lookedAt = true;
}

// Whether `match`, at `path`, answers for the pattern, and then `chosen`
// holds its read; reads it when it must.
PatternChoice::Found PatternChoice::answers(const FolderMatches::Match& match, const char* path,
                                            record::LastRead& chosen, record::LastRead& candidate) {
    // The first file a pattern names follows the rules of a log never read.
    if (file_.empty()) file_.assign(path);
    if (file_ == path) {
        if (chosen.state.mustRead(match.status)) chosen.read(path, match.status);
        if (chosen.foundNoFile()) return Found::kGone;
        if (chosen.state.status != record::ReadStatus::kTooSmall) return Found::kAnswers;
        passOver(match.name, chosen.state);
        return Found::kPassedOver;
    }
    // Another file is read at once, whatever its time, unless it was too
    // small and has not changed since.
    PassedOver* const passed = findPassedOver(match.name);
    if (passed != nullptr && !passed->state.mustRead(match.status)) {
        passed->lookedAt = true;
        return Found::kPassedOver;
    }
    candidate.read(path, match.status);
    if (candidate.foundNoFile()) return Found::kGone;
    if (candidate.state.status == record::ReadStatus::kTooSmall) {
        passOver(match.name, candidate.state);
        return Found::kPassedOver;
    }
    // The name first: should it fail for want of memory, the reads stay as
    // they were, each under its own name.
    file_.assign(path);
    std::swap(chosen, candidate);
    return Found::kAnswers;
}

}  // namespace pattern
