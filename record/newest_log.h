#pragma once
// The log a path pattern names: the newest of the files it matches.

#include <string>
#include <string_view>

#include "platform/file.h"

namespace record {

// Whether a log of `status` called `name` is newer than one of `thanStatus`
// called `thanName`: the later modification time, in whole seconds, and
// within the same second the name that sorts last, byte for byte, so that a
// log named by date or sequence wins over the one before it.
bool isNewer(const platform::FileStatus& status, std::string_view name, const platform::FileStatus& thanStatus,
             std::string_view thanName) noexcept;

// Finds the newest regular file in a pattern's folder whose name matches its
// last part. Reused from one poll to the next: once its buffers have grown, a
// search allocates nothing.
class NewestLog final : private platform::FolderVisitor {
public:
    // Lists the folder of `pattern` once and queries the status of each
    // match, nothing else. False when the folder cannot be listed or no
    // regular file matches.
    bool find(std::string_view pattern);

    // The newest match as found: its path (the pattern's folder part and its
    // name, NUL-terminated) and its status.
    const std::string& path() const noexcept { return path_; }
    const platform::FileStatus& status() const noexcept { return status_; }

private:
    bool wants(std::string_view name) noexcept override;
    void found(std::string_view name, const platform::FileStatus& status) noexcept override;

    std::string_view lastPart_;
    std::string folder_;
    std::string path_;
    std::size_t nameStart_ = 0;
    platform::FileStatus status_;
    bool any_ = false;
};

}  // namespace record
