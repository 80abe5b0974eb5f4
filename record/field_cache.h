#pragma once
// The module's memory of the last read of each log it is polled for, and the
// field query served from it.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "record/field_set.h"
#include "record/newest_log.h"
#include "record/tail_reader.h"

namespace record {

// The text the host was last handed for one query of one log, noted by the
// layer that hands texts out, so that an unchanged answer can be the same
// pointer again rather than new memory at every poll.
struct AnswerSlot {
    const char* text = nullptr;
    std::size_t length = 0;
};

// What the field query answers: the text, and the slot of the query it
// answers.
struct FieldAnswer {
    std::string_view text;
    AnswerSlot& slot;
};

// A path whose last part holds * or ? is a pattern: it names the newest
// regular file in its folder whose name matches (record/name_pattern.h), and
// is remembered under the pattern's text.
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

    FieldCache() = default;
    // It points into itself.
    FieldCache(const FieldCache&) = delete;
    FieldCache& operator=(const FieldCache&) = delete;

    // The field query: the field numbered by the decimal text `fieldNumber`
    // of the record at the end of `path`, or the status text of a failed read
    // whatever field was asked for. A number outside 0 to 5 gives "". The
    // text stays valid until the next query.
    FieldAnswer queryField(const char* path, const char* fieldNumber);

private:
    // One slot per field, and one for numbers outside 0 to 5.
    static constexpr std::size_t kQueries = kFieldCount + 1;

    // What a log's memory knows of its last read; as constructed, a log
    // never read.
    struct ReadState {
        std::int64_t lastModified = 0;
        std::int64_t size = 0;  // as the read found it
        bool unsettled = false;
        ReadStatus status = ReadStatus::kNotRead;
        std::bitset<kFieldCount> isCut;  // fields already cut from the read
    };

    struct LogMemory {
        std::string path;
        std::uint64_t lastPolled = 0;  // 0: holds no log
        // For a pattern, the file its last read was of.
        std::string file;
        ReadState last;
        // The last read. A field is cut from it when first asked for, so a
        // poll that re-reads the log cuts only the field it answers with; a
        // read past kKeptTailBytes has every field cut at once and is let go.
        // Their buffers serve the next log this memory holds.
        TailRecord tail;
        FieldSet fields;
        // Kept when the memory passes to another log: a text is handed out
        // again only when it reads the same.
        std::array<AnswerSlot, kQueries> answers;

        bool failed() const noexcept {
            return last.status != ReadStatus::kRecord && last.status != ReadStatus::kNotRead;
        }
        bool mustRead(const platform::FileStatus& status) const noexcept;
        void read(const char* logPath, const platform::FileStatus& status);
        std::string_view field(std::size_t index);
    };

    LogMemory& memoryOf(std::string_view path);
    // A pattern's poll: the newest match, read when it is another file than
    // the last read's, or by the rules of a plain path.
    void pollPattern(LogMemory& log, const char* pattern);

    std::array<LogMemory, kLogs> logs_;
    // No path names no log: its answers never touch another log's memory.
    LogMemory noPath_;
    LogMemory* lastPolled_ = nullptr;
    std::uint64_t polls_ = 0;
    NewestLog newest_;
};

}  // namespace record
