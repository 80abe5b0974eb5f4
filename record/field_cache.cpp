#include "record/field_cache.h"

#include <algorithm>

#include "record/field_number.h"
#include "record/name_pattern.h"

namespace record {

FieldAnswer FieldCache::queryField(const char* path, const char* fieldNumber) {
    const std::string_view given = path != nullptr ? std::string_view(path) : std::string_view();
    // A NULL or empty path names no log: it takes no log's memory.
    LogMemory& log = given.empty() ? noPath_ : memoryOf(given);
    if (isPattern(path)) {
        pollPattern(log, path);
    } else {
        const platform::FileStatus status = platform::statFile(path);
        if (log.lastRead.state.mustRead(status)) log.lastRead.read(path, status);
    }
    const std::optional<std::size_t> index = parseFieldNumber(fieldNumber);
    const std::size_t query = index.value_or(kFieldCount);
    if (log.lastRead.state.failed()) return {log.lastRead.field(kStatusField), query};
    return {index ? log.lastRead.field(*index) : std::string_view(), query};
}

platform::FileStatus FieldCache::patternFileStatus(const char* pattern) {
    LogMemory& log = memoryOf(pattern);
    pollPattern(log, pattern);
    return log.fileStatus;
}

FieldCache::LogMemory& FieldCache::memoryOf(std::string_view wanted) {
    ++polls_;
    // The host polls a few fields of one log in a row: try the last first.
    if (mostRecent_ == nullptr || mostRecent_->path != wanted) {
        // Paths of logs in one folder differ near their end: compare from there.
        const auto found = std::find_if(logs_.begin(), logs_.end(), [&](const LogMemory& log) {
            return log.polledAt != 0 && log.path.size() == wanted.size() &&
                   std::equal(wanted.rbegin(), wanted.rend(), log.path.rbegin());
        });
        if (found != logs_.end()) {
            mostRecent_ = &*found;
        } else {
            // A memory that holds no log was polled at 0, the least of all.
            LogMemory& taken = *std::min_element(logs_.begin(), logs_.end(), [](const LogMemory& a, const LogMemory& b) {
                return a.polledAt < b.polledAt;
            });
            // Room for a usual path from the start: a memory that passes from
            // log to log then keeps no new bytes for the next one's name.
            taken.path.reserve(kUsualPathBytes);
            taken.path.assign(wanted);
            taken.forget();
            mostRecent_ = &taken;
        }
    }
    mostRecent_->polledAt = polls_;
    return *mostRecent_;
}

void FieldCache::LogMemory::forget() {
    lastRead.state = {};
    file.clear();
    fileStatus = {};
    refreshed = false;
    passedOver.clear();
}

void FieldCache::pollPattern(LogMemory& log, const char* pattern) {
    const std::int64_t now = platform::steadyMilliseconds();
    if (log.refreshed && now >= log.refreshedAt && now - log.refreshedAt < kRefreshMilliseconds) return;
    log.refreshed = true;
    log.refreshedAt = now;
    const FolderMatches::Match* const newest = matches_.list(pattern) ? matches_.newest() : nullptr;
    if (newest == nullptr) {
        // No match, or no such folder: as a log that cannot be opened, tried
        // again at the next refresh.
        log.lastRead.state = {.status = ReadStatus::kCannotOpen, .isCut = {}};
        log.fileStatus = {};
        log.passedOver.clear();
        return;
    }
    for (PassedOver& passed : log.passedOver) passed.listed = false;
    const FolderMatches::Match* answering = nullptr;
    const FolderMatches::Match* match = newest;
    for (std::size_t passed = 0; match != nullptr && passed <= kMostPassedOver; ++passed) {
        if (answersFor(log, *match)) {
            answering = match;
            break;
        }
        match = matches_.newestOlderThan(match);
    }
    if (answering == nullptr) {
        // Every match it looked at is too small: the newest answers so.
        answering = newest;
        log.file.assign(matches_.path(*newest));
        log.lastRead.state = findPassedOver(log, matches_.name(*newest))->state;
    }
    log.fileStatus = answering->status;
    std::erase_if(log.passedOver, [](const PassedOver& p) { return !p.listed; });
}

FieldCache::PassedOver* FieldCache::findPassedOver(LogMemory& log, std::string_view name) noexcept {
    const auto found = std::find_if(log.passedOver.begin(), log.passedOver.end(),
                                    [&](const PassedOver& passed) { return passed.name == name; });
    return found != log.passedOver.end() ? &*found : nullptr;
}

void FieldCache::passOver(LogMemory& log, std::string_view name, const ReadState& state) {
    PassedOver* passed = findPassedOver(log, name);
    if (passed == nullptr) passed = &log.passedOver.emplace_back(PassedOver{std::string(name), {}, false});
    passed->state = state;
    passed->listed = true;
}

bool FieldCache::answersFor(LogMemory& log, const FolderMatches::Match& match) {
    const std::string_view name = matches_.name(match);
    const char* const path = matches_.path(match);
    // The first file a pattern names follows the rules of a log never read.
    if (log.file.empty()) log.file.assign(path);
    if (log.file == path) {
        if (log.lastRead.state.mustRead(match.status)) log.lastRead.read(path, match.status);
        if (log.lastRead.state.status != ReadStatus::kTooSmall) return true;
        passOver(log, name, log.lastRead.state);
        return false;
    }
    // Another file is read at once, whatever its time, unless it was too
    // small and has not changed since.
    PassedOver* const passed = findPassedOver(log, name);
    if (passed != nullptr && !passed->state.mustRead(match.status)) {
        passed->listed = true;
        return false;
    }
    candidate_.read(path, match.status);
    if (candidate_.state.status == ReadStatus::kTooSmall) {
        passOver(log, name, candidate_.state);
        return false;
    }
    std::swap(log.lastRead, candidate_);
    log.file.assign(path);
    return true;
}

bool FieldCache::ReadState::mustRead(const platform::FileStatus& file) const noexcept {
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

void FieldCache::LastRead::read(const char* logPath, const platform::FileStatus& status) {
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

std::string_view FieldCache::LastRead::field(std::size_t index) {
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
