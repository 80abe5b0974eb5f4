#include "record/tail_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "record/line_feeds.h"

namespace record {

namespace {

// A file that is still shrinking after this many fresh starts is being
// emptied over and over: it answers as too small, and the next poll tries again.
constexpr int kFreshStarts = 2;

std::string_view withoutCarriageReturn(std::string_view line) noexcept {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

std::vector<std::string_view> linesFromEnd(std::string_view bytes, std::size_t count, bool fromStartOfFile) {
    std::vector<std::string_view> lines;
    const std::size_t lastBreak = bytes.rfind('\n');
    if (lastBreak == std::string_view::npos) return lines;
    std::string_view rest = bytes.substr(0, lastBreak);
    while (lines.size() < count) {
        const std::size_t breakBefore = rest.rfind('\n');
        if (breakBefore == std::string_view::npos) {
            if (fromStartOfFile) lines.push_back(withoutCarriageReturn(rest));
            break;
        }
        lines.push_back(withoutCarriageReturn(rest.substr(breakBefore + 1)));
        rest = rest.substr(0, breakBefore);
    }
    return lines;
}

std::string_view TailRecord::line(int k) const noexcept {
    if (k < 1 || !reached(k)) return {};
    return withoutCarriageReturn(kept(breakFromEnd_[static_cast<std::size_t>(k)] - 1,
                                      breakFromEnd_[static_cast<std::size_t>(k - 1)]));
}

std::string_view TailRecord::afterLastBreak() const noexcept {
    return breaksFound_ > 0 ? kept(breakFromEnd_[0] - 1, 0) : bytes();
}

std::string_view TailRecord::kept(std::size_t fromEnd, std::size_t toEnd) const noexcept {
    // A read that found no record keeps only the end of what it searched.
    const std::size_t keptBytes = buffer_.size() - begin_;
    fromEnd = std::min(fromEnd, keptBytes);
    toEnd = std::min(toEnd, fromEnd);
    return std::string_view(buffer_).substr(buffer_.size() - fromEnd, fromEnd - toEnd);
}

std::string_view TailRecord::bytes() const noexcept { return std::string_view(buffer_).substr(begin_); }

void TailRecord::restart() noexcept {
    if (buffer_.size() > kKeptTailBytes) std::string().swap(buffer_);
    begin_ = buffer_.size();
    breaksFound_ = 0;
    reachedStart_ = false;
    searchEnded_ = false;
}

void TailRecord::forget() noexcept {
    restart();
    status_ = ReadStatus::kNotRead;
}

ReadStatus TailRecord::failed(ReadStatus status) noexcept {
    restart();
    return status_ = status;
}

char* TailRecord::roomBefore(std::size_t length) {
    if (begin_ < length) {
        // Doubling keeps a long line's many blocks linear in its length.
        const std::size_t used = buffer_.size() - begin_;
        std::string grown(std::max(2 * buffer_.size(), used + length), '\0');
        std::memcpy(grown.data() + grown.size() - used, buffer_.data() + begin_, used);
        buffer_.swap(grown);
        begin_ = buffer_.size() - used;
    }
    return buffer_.data() + begin_ - length;
}

ReadStatus TailRecord::read(const char* path) {
    restart();
    fileSize_ = 0;
    const platform::SharedFile file = platform::SharedFile::open(path);
    openError_ = file.openError();
    if (!file.isOpen()) return failed(ReadStatus::kCannotOpen);
    return scan(file);
}

ReadStatus TailRecord::scan(const platform::SharedFile& file) {
    // Past kKeptTailBytes the search only counts line breaks, in a block of
    // that size reused: a log with no record in its last hundreds of MB needs
    // no buffer of that size. A record found that far back has the lines
    // between its first break and the bytes kept read again: the record is
    // what the module keeps.
    std::unique_ptr<char[]> counted;
    std::array<std::size_t, kRecordBreaks> found;
    fileSize_ = file.size();
    int freshStarts = 0;
    for (;;) {
        std::int64_t blockEnd = fileSize_;
        const std::int64_t searchStart = std::max<std::int64_t>(0, fileSize_ - mostSearched_);
        bool shrank = false;
        while (breaksFound_ < kRecordBreaks && blockEnd > searchStart) {
            const bool keep = keptBytes() + kBlockSize <= kKeptTailBytes;
            const std::size_t blockSize = keep ? kBlockSize : kKeptTailBytes;
            const std::int64_t blockStart = std::max(searchStart, blockEnd - static_cast<std::int64_t>(blockSize));
            const auto length = static_cast<std::size_t>(blockEnd - blockStart);
            if (!keep && counted == nullptr) counted = std::make_unique<char[]>(kKeptTailBytes);
            char* const block = keep ? roomBefore(length) : counted.get();
            const std::int64_t got = file.readAt(blockStart, block, length);
            if (got < 0) return failed(ReadStatus::kCannotOpen);
            if (static_cast<std::size_t>(got) < length) {
                shrank = true;
                break;
            }
            if (keep) begin_ -= length;
            const std::size_t count = findLastLineFeeds(
                {block, length}, std::span(found).first(static_cast<std::size_t>(kRecordBreaks - breaksFound_)));
            for (std::size_t i = 0; i < count; ++i) {
                breakFromEnd_[static_cast<std::size_t>(breaksFound_++)] =
                    static_cast<std::size_t>(fileSize_ - blockStart) - found[i];
            }
            blockEnd = blockStart;
        }
        const std::int64_t keptStart = fileSize_ - static_cast<std::int64_t>(keptBytes());
        if (!shrank && breaksFound_ == kRecordBreaks && blockEnd < keptStart) {
            counted.reset();  // its memory may serve the record instead
            const std::int64_t first = fileSize_ - static_cast<std::int64_t>(breakFromEnd_[kRecordBreaks - 1]);
            const auto length = static_cast<std::size_t>(keptStart - first);
            const std::int64_t got = file.readAt(first, roomBefore(length), length);
            if (got < 0) return failed(ReadStatus::kCannotOpen);
            shrank = static_cast<std::size_t>(got) < length;
            if (!shrank) begin_ -= length;
        }
        if (!shrank) {
            searchEnded_ = breaksFound_ < kRecordBreaks && searchStart > 0;
            break;
        }
        // The file now ends before a block asked for does: the bytes read from
        // its old end are gone. Start again from where it ends now, rather
        // than step down through its old size a block at a time.
        fileSize_ = file.currentSize();
        if (fileSize_ < 0) return failed(ReadStatus::kCannotOpen);
        if (++freshStarts > kFreshStarts) return failed(ReadStatus::kTooSmall);
        restart();
    }
    reachedStart_ = keptBytes() == static_cast<std::size_t>(fileSize_);
    // The minimum size holds whatever the read found.
    const bool complete = breaksFound_ == kRecordBreaks && fileSize_ >= kMinimumLogSize;
    return status_ = complete ? ReadStatus::kRecord : ReadStatus::kTooSmall;
}

}  // namespace record
