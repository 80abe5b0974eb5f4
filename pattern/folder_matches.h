#pragma once
// The newest files a path pattern matches in its folder.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace pattern {

// Whether a log of `status` called `name` is newer than one of `thanStatus`
// called `thanName`: the later modification time, in whole seconds, and
// within the same second the name that sorts last, byte for byte, so that a
// log named by date or sequence wins over the one before it.
bool isNewer(const platform::FileStatus& status, std::string_view name, const platform::FileStatus& thanStatus,
             std::string_view thanName) noexcept;

// The regular files in a pattern's folder whose names match its last part
// (pattern/name_pattern.h), each with its status: the newest few, and how many
// there were. A folder of 100,000 logs costs a listing, not 100,000 names
// kept. Reused from one listing to the next: once its buffers have grown, a
// listing allocates nothing.
class FolderMatches final : private platform::FolderVisitor {
public:
    struct Match {
        std::string name;
        platform::FileStatus status;
    };

    // Keeps the `kept` newest matches of a listing, and the first
    // `namedUnreadable` names of matches whose status cannot be read.
    explicit FolderMatches(std::size_t kept, std::size_t namedUnreadable = 0);

    // Lists the folder of `pattern` once and queries the status of each
    // match, nothing else. False when the folder cannot be listed.
    bool list(std::string_view pattern);

    // The newest matches kept, newest first.
    const std::vector<Match>& newestFirst() const noexcept { return kept_; }
    // Every match listed, kept or not.
    std::size_t count() const noexcept { return count_; }
    // Matching names whose status could not be read: how many, and the first
    // few of them.
    std::size_t unreadableCount() const noexcept { return unreadableCount_; }
    const std::vector<std::string>& firstUnreadable() const noexcept { return unreadable_; }

    // The pattern's folder part and the match's name, NUL-terminated; valid
    // until the next call.
    const char* path(const Match& match);

private:
    bool wants(std::string_view name) noexcept override;
    void found(std::string_view name, const platform::FileStatus& status) noexcept override;
    void unreadable(std::string_view name) noexcept override;

    std::size_t keep_;
    std::size_t nameUnreadable_;
    std::string_view lastPart_;
    std::string folder_;
    std::string path_;
    std::vector<Match> kept_;
    std::size_t count_ = 0;
    std::vector<std::string> unreadable_;
    std::size_t unreadableCount_ = 0;
};

}  // namespace pattern
