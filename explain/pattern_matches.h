#pragma once
// Every log a path pattern matches, newest first, for the inspector to say
// which one the pattern names and which come next.

#include <string>
#include <vector>

#include "platform/file.h"

namespace explain {

struct Match {
    std::string path;
    platform::FileStatus status;
};

struct PatternListing {
    // The regular files in the folder of `pattern` whose names match its last
    // part, newest first as the module ranks them. Empty when there are none
    // or the folder cannot be listed.
    std::vector<Match> matches;
    // Matching names whose status could not be read, which the module passes
    // over without a word.
    std::vector<std::string> unreadable;
};

PatternListing patternMatches(const std::string& pattern);

}  // namespace explain
