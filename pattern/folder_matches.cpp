#include "pattern/folder_matches.h"

#include <utility>

#include "pattern/name_pattern.h"

namespace pattern {

bool isNewer(const platform::FileStatus& status, std::string_view name, const platform::FileStatus& thanStatus,
             std::string_view thanName) noexcept {
    if (status.modifiedSeconds != thanStatus.modifiedSeconds) return status.modifiedSeconds > thanStatus.modifiedSeconds;
    return name > thanName;
}

FolderMatches::FolderMatches(std::size_t kept, std::size_t namedUnreadable) : keep_(kept), nameUnreadable_(namedUnreadable) {
    kept_.reserve(keep_);
}

bool FolderMatches::list(std::string_view pattern) {
    const PathParts parts = splitPath(pattern);
    lastPart_ = parts.lastPart;
    folder_.assign(parts.folder);
    // Names keep their buffers for the next listing.
    kept_.resize(0);
    count_ = 0;
    unreadable_.clear();
    unreadableCount_ = 0;
    return platform::listFolder(folder_.c_str(), *this);
}

const char* FolderMatches::path(const Match& match) {
    path_.assign(folder_).append(match.name);
    return path_.c_str();
}

bool FolderMatches::wants(std::string_view name) noexcept {
    return matchesPattern(lastPart_, name, platform::nameRules());
}

void FolderMatches::found(std::string_view name, const platform::FileStatus& status) noexcept {
    ++count_;
    if (keep_ == 0) return;
    const bool full = kept_.size() == keep_;
    if (full && !isNewer(status, name, kept_.back().status, kept_.back().name)) return;
    // The oldest kept makes room: its buffer takes the new name.
    if (!full) kept_.emplace_back();  // within the room reserved
    try {
        kept_.back().name.assign(name);
    } catch (...) {
        // Out of memory: the match is left out.
        if (!full) kept_.pop_back();
        return;
    }
    kept_.back().status = status;
    for (std::size_t at = kept_.size() - 1; at > 0; --at) {
        Match& before = kept_[at - 1];
        if (!isNewer(kept_[at].status, kept_[at].name, before.status, before.name)) break;
        std::swap(kept_[at], before);
    }
}

void FolderMatches::unreadable(std::string_view name) noexcept {
    ++unreadableCount_;
    if (unreadable_.size() == nameUnreadable_) return;
    try {
        unreadable_.emplace_back(name);
    } catch (...) {
        // Out of memory: the name is left out, counted all the same.
    }
}

}  // namespace pattern
