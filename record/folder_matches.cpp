#include "record/folder_matches.h"

#include "record/name_pattern.h"

namespace record {

bool isNewer(const platform::FileStatus& status, std::string_view name, const platform::FileStatus& thanStatus,
             std::string_view thanName) noexcept {
    if (status.modifiedSeconds != thanStatus.modifiedSeconds) return status.modifiedSeconds > thanStatus.modifiedSeconds;
    return name > thanName;
}

bool FolderMatches::list(std::string_view pattern) {
    const PathParts parts = splitPath(pattern);
    lastPart_ = parts.lastPart;
    folder_.assign(parts.folder);
    names_.clear();
    matches_.clear();
    return platform::listFolder(folder_.c_str(), *this);
}

const FolderMatches::Match* FolderMatches::newestOlderThan(const Match* than) const noexcept {
    // A pattern is asked for one or two matches a listing: a scan each is
    // cheaper than sorting them all.
    const Match* best = nullptr;
    for (const Match& match : matches_) {
        if (than != nullptr && !isNewer(than->status, name(*than), match.status, name(match))) continue;
        if (best == nullptr || isNewer(match.status, name(match), best->status, name(*best))) best = &match;
    }
    return best;
}

const char* FolderMatches::path(const Match& match) {
    path_.assign(folder_).append(name(match));
    return path_.c_str();
}

bool FolderMatches::wants(std::string_view name) noexcept {
    return matchesPattern(lastPart_, name, platform::nameRules());
}

void FolderMatches::found(std::string_view name, const platform::FileStatus& status) noexcept {
    // Within the capacity earlier listings have grown, or the one allocation
    // a later listing no longer makes.
    const std::size_t nameAt = names_.size();
    try {
        names_.append(name);
        matches_.push_back({nameAt, name.size(), status});
    } catch (...) {
        names_.resize(nameAt);  // out of memory: the match is left out
    }
}

}  // namespace record
