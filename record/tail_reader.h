#pragma once
// Reads the end of a chat log: the record as the module counts it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "record/record_layout.h"

namespace record {

// A buffer grown past this for a long line is let go when the record is
// forgotten or read again, rather than held for the life of the module.
inline constexpr std::size_t kKeptTailBytes = 64 * kBlockSize;

enum class ReadStatus {
    kNotRead,     // no read yet: no lines, no status
    kRecord,      // all the record's line breaks were found
    kCannotOpen,  // no path, not there, not a regular file, or a read failed
    kTooSmall,    // under the minimum size, or its start came first
};

// What one backward read of a log found: the bytes it read, which it owns,
// where the line breaks lie among them, and what it learnt of the file on the
// way. A plain value: it can be copied, and nothing else points into it.
class TailRecord {
public:
    // A reader that looks for the record in the last `mostSearched` bytes of
    // a log; tests make the bound small.
    explicit TailRecord(std::int64_t mostSearched = kMostSearchedBytes) noexcept : mostSearched_(mostSearched) {}

    // The module's read of the log at `path`, backwards from its end,
    // kBlockSize bytes at a time, each block in front of the last, until the
    // record's kRecordBreaks line breaks are found (kRecord) or the start of
    // the file comes first (kTooSmall). A log under kMinimumLogSize is read
    // all the same, so that its lines can be shown, and answers kTooSmall. A
    // log that cannot be opened, or a read error, gives kCannotOpen. A file
    // found shorter than when it was opened (emptied, cut or replaced
    // meanwhile) is read again from where it ends now, a few times at most,
    // so that its old size never sets the work. Past kKeptTailBytes the
    // read only counts line breaks: it keeps the record, whatever its length,
    // or when it finds none, the last kKeptTailBytes it searched. The file is
    // open only during the call; the buffer's capacity is reused.
    ReadStatus read(const char* path);

    ReadStatus status() const noexcept { return status_; }

    // How many line breaks the read found from the end, kRecordBreaks at most.
    int breaksFound() const noexcept { return breaksFound_; }
    // Whether line k (1 to kRecordLines) lies between two breaks that the read
    // found. A line that was not reached is empty; of one that lies partly
    // before the bytes kept, what was kept.
    bool reached(int k) const noexcept { return breaksFound_ > k; }
    // Line k from the end, without its LF and without a CR directly before it,
    // whole even when it spans blocks.
    std::string_view line(int k) const noexcept;
    // Whatever follows the last line break: a record still being written, or
    // nothing. With no break found, every byte kept.
    std::string_view afterLastBreak() const noexcept;
    // Whether the read stopped at the bound of its search, before the start
    // of the file, with the record not found.
    bool searchEnded() const noexcept { return searchEnded_; }
    // Whether the bytes kept begin at the start of the file.
    bool reachedStart() const noexcept { return reachedStart_; }
    // Every byte kept, in file order: the end of the log.
    std::string_view bytes() const noexcept;
    // The file's size as the read last saw it; 0 when it could not be opened.
    std::int64_t fileSize() const noexcept { return fileSize_; }
    bool underMinimum() const noexcept { return status_ == ReadStatus::kTooSmall && fileSize_ < kMinimumLogSize; }
    // Why the file could not be opened (platform::SharedFile::openError), or
    // 0.
    int openError() const noexcept { return openError_; }

    // Back to kNotRead, as if never read; the buffer's capacity is kept up to
    // kKeptTailBytes.
    void forget() noexcept;

private:
    void restart() noexcept;
    ReadStatus failed(ReadStatus status) noexcept;
    ReadStatus scan(const platform::SharedFile& file);
    char* roomBefore(std::size_t length);
    std::size_t keptBytes() const noexcept { return buffer_.size() - begin_; }
    // The bytes kept from `fromEnd` to `toEnd` bytes before the end of the
    // file as read, or the part of them kept.
    std::string_view kept(std::size_t fromEnd, std::size_t toEnd) const noexcept;

    // The bytes read fill buffer_ from begin_ to its end; each block read goes
    // in front of the one read before it. Breaks are kept as distances from
    // the end of the file as read, which a block put in front leaves as they
    // are; one found past the bytes kept lies before them.
    std::string buffer_;
    std::size_t begin_ = 0;
    // Distances from the end fit a size_t on a 32-bit build too: the search
    // never goes further back than kMostSearchedBytes.
    std::array<std::size_t, kRecordBreaks> breakFromEnd_{};
    int breaksFound_ = 0;
    bool reachedStart_ = false;
    bool searchEnded_ = false;
    std::int64_t mostSearched_;
    std::int64_t fileSize_ = 0;
    int openError_ = 0;
    ReadStatus status_ = ReadStatus::kNotRead;
};

// Up to `count` lines from the end of `bytes`, line 1 first, by the rule
// TailRecord counts them by: an LF ends a line, a CR right before it is no
// part of it, and text after the last LF is no line. The first line of
// `bytes` counts only where they begin the file (`fromStartOfFile`): else a
// read may have cut it.
std::vector<std::string_view> linesFromEnd(std::string_view bytes, std::size_t count, bool fromStartOfFile);

}  // namespace record
