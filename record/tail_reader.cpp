#include "record/tail_reader.h"

#include <algorithm>
#include <cstring>
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

std::string_view TailRecord::line(int k) const noexcept {
    if (k < 1 || !reached(k)) return {};
    const std::size_t begin = breakAt(k) + 1;
    return withoutCarriageReturn(std::string_view(buffer_).substr(begin, breakAt(k - 1) - begin));
}

std::string_view TailRecord::afterLastBreak() const noexcept {
    const std::size_t begin = breaksFound_ > 0 ? breakAt(0) + 1 : begin_;
    return std::string_view(buffer_).substr(begin);
}

std::string_view TailRecord::bytes() const noexcept { return std::string_view(buffer_).substr(begin_); }

void TailRecord::restart() noexcept {
    if (buffer_.size() > kKeptTailBytes) std::string().swap(buffer_);
    begin_ = buffer_.size();
    breaksFound_ = 0;
    reachedStart_ = false;
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
    std::array<std::size_t, kRecordBreaks> found;
    fileSize_ = file.size();
    std::int64_t blockEnd = fileSize_;
    int freshStarts = 0;
    while (breaksFound_ < kRecordBreaks && blockEnd > 0) {
        const std::int64_t blockStart = std::max<std::int64_t>(0, blockEnd - std::int64_t{kBlockSize});
        const auto length = static_cast<std::size_t>(blockEnd - blockStart);
        char* const block = roomBefore(length);
        const std::int64_t got = file.readAt(blockStart, block, length);
        if (got < 0) return failed(ReadStatus::kCannotOpen);
        if (static_cast<std::size_t>(got) < length) {
            // The file now ends before this block does: the bytes read from its
            // old end are gone. Start again from where it ends now, rather than
            // step down through its old size a block at a time.
            fileSize_ = file.currentSize();
            if (fileSize_ < 0) return failed(ReadStatus::kCannotOpen);
            if (++freshStarts > kFreshStarts) return failed(ReadStatus::kTooSmall);
            restart();
            blockEnd = fileSize_;
            continue;
        }
        begin_ -= length;

        const std::size_t count = findLastLineFeeds(
            {block, length}, std::span(found).first(static_cast<std::size_t>(kRecordBreaks - breaksFound_)));
        for (std::size_t i = 0; i < count; ++i) {
            breakFromEnd_[static_cast<std::size_t>(breaksFound_++)] = buffer_.size() - (begin_ + found[i]);
        }
        blockEnd = blockStart;
    }
    reachedStart_ = blockEnd == 0;
    // The minimum size holds whatever the read found.
    const bool complete = breaksFound_ == kRecordBreaks && fileSize_ >= kMinimumLogSize;
    return status_ = complete ? ReadStatus::kRecord : ReadStatus::kTooSmall;
}

}  // namespace record
