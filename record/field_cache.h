#pragma once
// The module's memory of the last read of each log it is polled for, and the
// field query served from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "record/field_set.h"
#include "pattern/folder_matches.h"
#include "record/last_read.h"
#include "pattern/pattern_choice.h"

namespace record {

// What the field query answers: the text, and which query it answers: a
// field, 0 to 5, or kFieldCount for a number outside them.
struct FieldAnswer {
    std::string_view text;
    std::size_t query;
};

// A path whose last part holds * or ? is a pattern (pattern/pattern_choice.h):
// it answers from the file its refresh chose, and is remembered under the
// pattern's text.
//
// Remembers the last read of each of the kLogs logs polled most recently,
// keyed by the path text as given: polling one more forgets the one polled
// least recently, which is read again when it is next polled. A log is read
// again as record/last_read.h says. A poll of an unchanged log costs one
// status query.
//
// Not synchronised: callers that may overlap must take turns.
class FieldCache {
public:
    static constexpr std::size_t kLogs = 16;
    // Windows' classic longest path.
    static constexpr std::size_t kUsualPathBytes = 260;

    FieldCache() noexcept = default;
    // It points into itself.
    FieldCache(const FieldCache&) = delete;
    FieldCache& operator=(const FieldCache&) = delete;

    // The field query: the field numbered by the decimal text `fieldNumber`
    // of the record at the end of `path`, or the status text of a failed read
    // whatever field was asked for. A number outside 0 to 5 gives "". The
    // text stays valid until the next query.
    FieldAnswer queryField(const char* path, const char* fieldNumber);

    // The status of the file that `pattern` answers from in this refresh, as
    // its folder listed it; not ok when it names none.
    platform::FileStatus patternFileStatus(const char* pattern);

private:
    struct LogMemory {
        std::string path;
        std::uint64_t polledAt = 0;  // which poll asked for it last; 0: holds no log
        LastRead lastRead;
        pattern::PatternChoice choice;  // a pattern's

        void forget();
    };

    LogMemory& memoryOf(std::string_view path);
    // A pattern's poll: a new refresh lists its folder and chooses the file
    // it answers from, reading what has changed.
    void pollPattern(LogMemory& log, const char* pattern);

    std::array<LogMemory, kLogs> logs_;
    // A NULL or empty path names no log: it never touches another log's
    // memory.
    LogMemory noPath_;
    LogMemory* mostRecent_ = nullptr;
    std::uint64_t polls_ = 0;
    pattern::FolderMatches matches_{pattern::kMatchesLookedAt};
    // A newer match read to see whether it holds a record.
    LastRead candidate_;
};

}  // namespace record
