#pragma once
// Which file a path pattern answers from: the one choice that the module
// makes at each refresh and that the inspector reports.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "pattern/folder_matches.h"
#include "record/last_read.h"

namespace pattern {

// Newer matches too small for a record that a pattern passes over, at most.
// A client opens a new log when a conversation starts, and it stays too small
// until its first record is written: sixteen leaves room for that many
// conversations started within one record's time, while a folder of empty
// logs costs at most seventeen reads at a refresh, and a listing keeps
// seventeen names, whatever the folder holds.
inline constexpr std::size_t kMostPassedOver = 16;
// The matches a choice can look at: the newest, and those it passes over.
inline constexpr std::size_t kMatchesLookedAt = kMostPassedOver + 1;

// A path whose last part holds * or ? is a pattern: it names the newest
// regular file in its folder whose name matches (pattern/name_pattern.h) and
// that does not answer "File too small.", so that a conversation's new log
// takes over once it holds a record; while none of the kMatchesLookedAt
// newest does, the newest. A match gone between the listing and its read is
// no match: the choice moves on to the next. The newer matches it passed over are remembered,
// and read again only when they change, as a plain path would be. The first
// file a pattern names follows the rules of a log never read (a log dated
// 1970 or earlier is not read); another file it comes to is read at once,
// whatever its time.
//
// A host refreshes a pattern with a burst of calls: one per field it shows,
// and the age. Calls within kRefreshMilliseconds of the end of the work that
// began a refresh (its listing and its reads) are that refresh: they list the
// folder no more and all answer from the same file, however long the listing
// took.
class PatternChoice {
public:
    static constexpr std::int64_t kRefreshMilliseconds = 100;

    // How the last refresh chose.
    enum class Chose {
        kNoMatch,           // no match, none left, or no such folder: answers as a log that cannot be opened
        kNewest,            // the newest match still there
        kOlder,             // an older match, the newer ones too small
        kNewestAllTooSmall  // every match it looked at is too small: the newest answers so
    };

    // A newer match passed over: too small when last read.
    struct PassedOver {
        std::string name;
        record::ReadState state;
        bool lookedAt = false;  // in this refresh
    };

    // Whether a call at `nowMilliseconds` (platform::steadyMilliseconds())
    // belongs to the last refresh; a clock gone back starts a new one.
    bool inRefresh(std::int64_t nowMilliseconds) const noexcept;

    // A new refresh: lists the folder of `pattern` into `matches` and chooses
    // the file, reading what has changed. `chosen` holds the read of the file
    // chosen last, and then of the one chosen now; `candidate` is room to
    // read a newer match.
    void refresh(const char* pattern, FolderMatches& matches, record::LastRead& chosen, record::LastRead& candidate);

    Chose chose() const noexcept { return chose_; }
    // The path of the file chosen, and its status as listed; "" and not ok
    // for none.
    const std::string& file() const noexcept { return file_; }
    const platform::FileStatus& fileStatus() const noexcept { return fileStatus_; }
    // The newer matches passed over in the last refresh; newest first in a
    // first refresh.
    const std::vector<PassedOver>& passedOver() const noexcept { return passedOver_; }

    // As a pattern never refreshed.
    void forget() noexcept;

private:
    enum class Found { kAnswers, kPassedOver, kGone };
    Found answers(const FolderMatches::Match& match, const char* path, record::LastRead& chosen,
                  record::LastRead& candidate);
    PassedOver* findPassedOver(std::string_view name) noexcept;
    void passOver(std::string_view name, const record::ReadState& state);

    std::string file_;
    platform::FileStatus fileStatus_;
    std::int64_t refreshEnded_ = 0;
    bool refreshed_ = false;
    Chose chose_ = Chose::kNoMatch;
    std::vector<PassedOver> passedOver_;
};

}  // namespace pattern
