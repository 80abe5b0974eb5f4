#include "record/field_cache.h"

#include <algorithm>

#include "record/field_number.h"
#include "record/name_pattern.h"

namespace record {

FieldAnswer FieldCache::queryField(const char* path, const char* fieldNumber) {
    const std::string_view given = path != nullptr ? std::string_view(path) : std::string_view();
    LogMemory& log = path != nullptr ? memoryOf(given) : noPath_;
    if (path != nullptr && isPattern(given, platform::backslashSeparates())) {
        pollPattern(log, path);
    } else {
        const platform::FileStatus status = platform::statFile(path);
        if (log.mustRead(status)) log.read(path, status);
    }
    const std::optional<std::size_t> index = parseFieldNumber(fieldNumber);
    AnswerSlot& slot = log.answers[index.value_or(kFieldCount)];
    if (log.failed()) return {log.field(kStatusField), slot};
    return {index ? log.field(*index) : std::string_view(), slot};
}

FieldCache::LogMemory& FieldCache::memoryOf(std::string_view wanted) {
    ++polls_;
    // The host polls a few fields of one log in a row: try the last first.
    if (lastPolled_ == nullptr || lastPolled_->path != wanted) {
        // Paths of logs in one folder differ near their end: compare from there.
        const auto found = std::find_if(logs_.begin(), logs_.end(), [&](const LogMemory& log) {
            return log.lastPolled != 0 && log.path.size() == wanted.size() &&
                   std::equal(wanted.rbegin(), wanted.rend(), log.path.rbegin());
        });
        if (found != logs_.end()) {
            lastPolled_ = &*found;
        } else {
            // A memory that holds no log has lastPolled 0, the least of all.
            lastPolled_ = &*std::min_element(logs_.begin(), logs_.end(), [](const LogMemory& a, const LogMemory& b) {
                return a.lastPolled < b.lastPolled;
            });
            // Room for a usual path from the start: a memory that passes from
            // log to log then keeps no new bytes for the next one's name.
            lastPolled_->path.reserve(kUsualPathBytes);
            lastPolled_->path.assign(wanted);
            lastPolled_->last = {};
            lastPolled_->file.clear();
        }
    }
    lastPolled_->lastPolled = polls_;
    return *lastPolled_;
}

void FieldCache::pollPattern(LogMemory& log, const char* pattern) {
    if (!newest_.find(pattern)) {
        // No match, or no such folder: as a log that cannot be opened, read
        // again at the next poll.
        log.last = {};
        log.last.status = ReadStatus::kCannotOpen;
        return;
    }
    // Another file than the one read last is read at once; the first, by the
    // rules of a log never read.
    const bool otherFile = !log.file.empty() && log.file != newest_.path();
    if (otherFile || log.mustRead(newest_.status())) {
        log.file.assign(newest_.path());
        log.read(log.file.c_str(), newest_.status());
    }
}

bool FieldCache::LogMemory::mustRead(const platform::FileStatus& status) const noexcept {
    // A path whose status is unknown, or that is no regular file, is read
    // anyway, so that it answers "Unable to open file." rather than what its
    // memory holds; so is a log that could not be opened, which may become
    // readable without being written.
    if (!status.ok || !status.regularFile || last.status == ReadStatus::kCannotOpen) return true;
    if (status.modifiedSeconds > last.lastModified) return true;
    // A log too small for a record gains none without a write, which moves
    // its time or its size: any other time or size is read again, a time put
    // back too.
    if (last.status == ReadStatus::kTooSmall &&
        (status.modifiedSeconds != last.lastModified || status.size != last.size)) {
        return true;
    }
    // Reading the clock is no system call, and only an unsettled read asks.
    return last.unsettled && status.modifiedSeconds == last.lastModified && platform::nowSeconds() > last.lastModified;
}

void FieldCache::LogMemory::read(const char* logPath, const platform::FileStatus& status) {
    // Until the read has succeeded the memory trusts nothing: a read that
    // fails, or runs out of memory, is tried again at the next poll.
    last = {};
    // Taken before the read: a read begun after the log's second has ended
    // cannot miss a write made within it.
    const std::int64_t readStarted = platform::nowSeconds();
    const ReadStatus found = tail.read(logPath);
    if (found == ReadStatus::kCannotOpen) {
        last.status = found;
        return;
    }
    if (found == ReadStatus::kRecord && tail.bytes().size() > kKeptTailBytes) {
        cutFields(tail, fields);
        last.isCut.set();
        tail.forget();
    }
    // A log that appeared between the status query and the open has no time
    // to trust yet: 0, so the next poll reads it again.
    last.lastModified = status.ok && status.regularFile ? status.modifiedSeconds : 0;
    last.size = tail.fileSize();
    last.unsettled = readStarted <= last.lastModified;
    last.status = found;
}

std::string_view FieldCache::LogMemory::field(std::size_t index) {
    if (index == kStatusField) return statusText(last.status);
    // The record may be another log's, read before this memory passed on.
    if (last.status == ReadStatus::kNotRead) return {};
    if (!last.isCut[index]) {
        cutField(tail, index, fields);
        last.isCut.set(index);
    }
    return fields.field[index];
}

}  // namespace record
