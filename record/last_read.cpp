#include "record/last_read.h"

namespace record {

bool ReadState::mustRead(const platform::FileStatus& file) const noexcept {
    // A path whose status is unknown, or that is no regular file, is read
    // anyway, so that it answers "Unable to open file." rather than what its
    // memory holds; so is a log that could not be opened, which may become
    // readable without being written.
    if (!file.ok || !file.regularFile || status == ReadStatus::kCannotOpen) return true;
    if (file.modifiedSeconds > lastModified) return true;
    // A log too small for a record gains none without a write, which moves
    // its time or its size: any other time or size is read again, a time put
    // back too.
    if (status == ReadStatus::kTooSmall && (file.modifiedSeconds != lastModified || file.size != size)) return true;
    // Reading the clock is no system call, and only an unsettled read asks.
    return unsettled && file.modifiedSeconds == lastModified && platform::nowSeconds() > lastModified;
}

void LastRead::read(const char* logPath, const platform::FileStatus& status) {
    // Until the read has succeeded the memory trusts nothing: a read that
    // fails, or runs out of memory, is tried again at the next poll.
    state = {};
    // Taken before the read: a read begun after the log's second has ended
    // cannot miss a write made within it.
    const std::int64_t readStarted = platform::nowSeconds();
    const ReadStatus found = tail.read(logPath);
    if (found == ReadStatus::kCannotOpen) {
        state.status = found;
        return;
    }
    if (found == ReadStatus::kRecord && tail.bytes().size() > kKeptTailBytes) {
        cutFields(tail, fields);
        state.isCut.set();
        tail.forget();
    }
    // A log that appeared between the status query and the open has no time
    // to trust yet: 0, so the next poll reads it again.
    state.lastModified = status.ok && status.regularFile ? status.modifiedSeconds : 0;
    // The size as the status query gave it, to be compared with the next
    // one's: on Windows a handle's size and a name's status are two sources.
    state.size = status.size;
    state.unsettled = readStarted <= state.lastModified;
    state.status = found;
}

bool LastRead::foundNoFile() const noexcept {
    return state.status == ReadStatus::kCannotOpen && platform::isNoSuchFile(tail.openError());
}

std::string_view LastRead::field(std::size_t index) {
    if (index == kStatusField) return statusText(state.status);
    // The record may be another log's, read before this memory passed on.
    if (state.status == ReadStatus::kNotRead) return {};
    if (!state.isCut[index]) {
        cutField(tail, index, fields);
        state.isCut.set(index);
    }
    return fields.field[index];
}

}  // namespace record
