#pragma once
// The files a path pattern matches in its folder, newest first.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace record {

// Whether a log of `status` called `name` is newer than one of `thanStatus`
// called `thanName`: the later modification time, in whole seconds, and
// within the same second the name that sorts last, byte for byte, so that a
// log named by date or sequence wins over the one before it.
bool isNewer(const platform::FileStatus& status, std::string_view name, const platform::FileStatus& thanStatus,
             std::string_view thanName) noexcept;

// The regular files in a pattern's folder whose names match its last part
// (record/name_pattern.h), each with its status. Reused from one listing to
// the next: once its buffers have grown, a listing allocates nothing.
class FolderMatches final : private platform::FolderVisitor {
public:
    struct Match {
        std::size_t nameAt;
        std::size_t nameLength;
        platform::FileStatus status;
    };

    // Lists the folder of `pattern` once and queries the status of each
    // match, nothing else. False when the folder cannot be listed.
    bool list(std::string_view pattern);

    // The newest match, or the newest of those older than `than`; nullptr
    // when there is none.
    const Match* newest() const noexcept { return newestOlderThan(nullptr); }
    const Match* newestOlderThan(const Match* than) const noexcept;

    std::string_view name(const Match& match) const noexcept { return std::string_view(names_).substr(match.nameAt, match.nameLength); }
    // The pattern's folder part and the match's name, NUL-terminated; valid
    // until the next call.
    const char* path(const Match& match);

private:
    bool wants(std::string_view name) noexcept override;
    void found(std::string_view name, const platform::FileStatus& status) noexcept override;

    std::string_view lastPart_;
    std::string folder_;
    std::string path_;
    std::string names_;
    std::vector<Match> matches_;
};

}  // namespace record
