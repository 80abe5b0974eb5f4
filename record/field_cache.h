#pragma once
// The module's memory of the last read of each log it is polled for, and the
// field query served from it.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "record/field_set.h"
#include "record/folder_matches.h"
#include "record/tail_reader.h"

namespace record {

// What the field query answers: the text, and which query it answers: a
// field, 0 to 5, or kFieldCount for a number outside them.
struct FieldAnswer {
    std::string_view text;
    std::size_t query;
};

// A path whose last part holds * or ? is a pattern: it names the newest
// regular file in its folder whose name matches (record/name_pattern.h) and
// that does not answer "File too small.", so that a conversation's new log
// takes over once it holds a record; while none does, the newest. It is
// remembered under the pattern's text, with the newer matches it passed over,
// which are read again only when they change, as a plain path would be.
//
// A host refreshes a pattern with a burst of calls: one per field it shows,
// and the age. Calls for the same pattern within kRefreshMilliseconds of the
// one that listed its folder are one refresh: they list it no more and all
// answer from the same file, the age included.
//
// Remembers the last read of each of the kLogs logs polled most recently,
// keyed by the path text as given: polling one more forgets the one polled
// least recently, which is read again when it is next polled. A log is read
// again when its modification time is later than that of its own last read,
// or when it could not be opened; a log too small for a record, when its time
// or its size is another than that read's. Before its first read it has time
// 0 and six empty fields, so a log dated 1970-01-01 00:00:00 or earlier is
// never read. A poll of an unchanged log costs one status query.
//
// Times are whole seconds, and a write later in the same second leaves the
// time as it was. A read made in the second of the log's time, or before it,
// may have caught the log mid-write: it is unsettled, and the first poll of
// that log in a later second that finds the time unchanged reads it once more.
//
// Not synchronised: callers that may overlap must take turns.
class FieldCache {
public:
    static constexpr std::size_t kLogs = 16;
    // Windows' classic longest path.
    static constexpr std::size_t kUsualPathBytes = 260;
    static constexpr std::int64_t kRefreshMilliseconds = 100;
    // Newer matches too small for a record that a pattern passes over, at
    // most: past them it answers as its newest match, so that a folder of
    // empty logs costs a bounded amount of work at each refresh.
    static constexpr std::size_t kMostPassedOver = kLogs;

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
    // What a memory knows of the last read of a log; as constructed, a log
    // never read.
    struct ReadState {
        std::int64_t lastModified = 0;
        std::int64_t size = 0;  // as the status before the read gave it
        bool unsettled = false;
        ReadStatus status = ReadStatus::kNotRead;
        std::bitset<kFieldCount> isCut;  // fields already cut from the read

        bool failed() const noexcept { return status != ReadStatus::kRecord && status != ReadStatus::kNotRead; }
        // Whether a log of `status` must be read again.
        bool mustRead(const platform::FileStatus& status) const noexcept;
    };

    // The last read of one log, and the fields cut from it. A field is cut
    // when first asked for, so a poll that re-reads the log cuts only the
    // field it answers with; a read past kKeptTailBytes has every field cut at
    // once and is let go. Its buffers serve the next log read into it.
    struct LastRead {
        ReadState state;
        TailRecord tail;
        FieldSet fields;

        void read(const char* logPath, const platform::FileStatus& status);
        std::string_view field(std::size_t index);
    };

    // A newer match a pattern passed over: too small when last read.
    struct PassedOver {
        std::string name;
        ReadState state;
        bool listed = false;  // in the current listing
    };

    struct LogMemory {
        std::string path;
        std::uint64_t polledAt = 0;  // which poll asked for it last; 0: holds no log
        LastRead lastRead;

        // A pattern's: the file its last read was of, and its status as listed.
        std::string file;
        platform::FileStatus fileStatus;
        std::int64_t refreshedAt = 0;
        bool refreshed = false;
        std::vector<PassedOver> passedOver;

        void forget();
    };

    LogMemory& memoryOf(std::string_view path);
    // A pattern's poll: a new refresh lists its folder and picks the file it
    // answers from, reading what has changed.
    void pollPattern(LogMemory& log, const char* pattern);
    // Whether `match` answers for the pattern of `log`, which then holds its
    // read; reads it when it must.
    bool answersFor(LogMemory& log, const FolderMatches::Match& match);
    static PassedOver* findPassedOver(LogMemory& log, std::string_view name) noexcept;
    static void passOver(LogMemory& log, std::string_view name, const ReadState& state);

    std::array<LogMemory, kLogs> logs_;
    // A NULL or empty path names no log: it never touches another log's
    // memory.
    LogMemory noPath_;
    LogMemory* mostRecent_ = nullptr;
    std::uint64_t polls_ = 0;
    FolderMatches matches_;
    // A newer match read to see whether it holds a record.
    LastRead candidate_;
};

}  // namespace record
