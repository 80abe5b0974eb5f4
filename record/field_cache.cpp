#include "record/field_cache.h"

#include "record/field_number.h"

namespace record {

bool FieldCache::mustRead(const char* path, const platform::FileStatus& status) const {
    // A path whose status is unknown, or that is no regular file, is read
    // anyway, so that it answers "Unable to open file." rather than serving
    // another file's fields.
    if (!status.ok || !status.regularFile || status.modifiedSeconds > lastModified_) return true;
    // Reading the clock is no system call, and only an unsettled read asks.
    return unsettled_ && status.modifiedSeconds == lastModified_ && platform::nowSeconds() > lastModified_ &&
           unsettledPath_ == path;
}

std::string_view FieldCache::queryField(const char* path, const char* fieldNumber) {
    const platform::FileStatus status = platform::statFile(path);
    if (mustRead(path, status)) {
        // Until the read has succeeded the cache trusts nothing: a read that
        // fails, or runs out of memory, is tried again at the next poll.
        lastModified_ = 0;
        unsettled_ = false;
        isCut_.reset();
        // Taken before the read: a read begun after the log's second has
        // ended cannot miss a write made within it.
        const std::int64_t readStarted = platform::nowSeconds();
        if (readTail(path, tail_) != ReadStatus::kRecord) return field(kStatusField);
        lastModified_ = status.ok && status.regularFile ? status.modifiedSeconds : 0;
        unsettled_ = readStarted <= lastModified_;
        if (unsettled_) unsettledPath_.assign(path);
    }
    const std::optional<std::size_t> index = parseFieldNumber(fieldNumber);
    return index ? field(*index) : std::string_view();
}

std::string_view FieldCache::field(std::size_t index) {
    if (!isCut_[index]) {
        cutField(tail_, index, fields_);
        isCut_.set(index);
    }
    return fields_.field[index];
}

}  // namespace record
