#include "record/newest_log.h"

#include "record/name_pattern.h"

namespace record {

bool isNewer(const platform::FileStatus& status, std::string_view name, const platform::FileStatus& thanStatus,
             std::string_view thanName) noexcept {
    if (status.modifiedSeconds != thanStatus.modifiedSeconds) return status.modifiedSeconds > thanStatus.modifiedSeconds;
    return name > thanName;
}

bool NewestLog::find(std::string_view pattern) {
    nameStart_ = lastPartStart(pattern, platform::backslashSeparates());
    lastPart_ = pattern.substr(nameStart_);
    folder_.assign(pattern.substr(0, nameStart_));
    path_.assign(folder_);
    any_ = false;
    return platform::listFolder(folder_.c_str(), *this) && any_;
}

bool NewestLog::wants(std::string_view name) noexcept {
    return matchesPattern(lastPart_, name, platform::nameFolding());
}

void NewestLog::found(std::string_view name, const platform::FileStatus& status) noexcept {
    if (any_ && !isNewer(status, name, status_, std::string_view(path_).substr(nameStart_))) return;
    // The name fits the capacity a search of this folder has grown, or it is
    // a new longest name: the one allocation a later search no longer makes.
    try {
        path_.replace(nameStart_, std::string::npos, name);
    } catch (...) {
        return;
    }
    status_ = status;
    any_ = true;
}

}  // namespace record
