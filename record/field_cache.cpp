#include "record/field_cache.h"

#include <algorithm>

#include "record/field_number.h"
#include "pattern/name_pattern.h"

namespace record {

FieldAnswer FieldCache::queryField(const char* path, const char* fieldNumber) {
    const std::string_view given = path != nullptr ? std::string_view(path) : std::string_view();
    // A NULL or empty path names no log: it takes no log's memory.
    LogMemory& log = given.empty() ? noPath_ : memoryOf(given);
    if (pattern::isPattern(path)) {
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
    return log.choice.fileStatus();
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
    choice.forget();
}

void FieldCache::pollPattern(LogMemory& log, const char* pattern) {
    if (log.choice.inRefresh(platform::steadyMilliseconds())) return;
    log.choice.refresh(pattern, matches_, log.lastRead, candidate_);
}

}  // namespace record
