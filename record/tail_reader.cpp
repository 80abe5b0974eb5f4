#include "record/tail_reader.h"

#include <algorithm>
#include <span>

#include "platform/file.h"
#include "record/tail_scan.h"

namespace record {

namespace {

bool failure(FieldSet& fields, const char* status) {
    fields.setStatus(status);
    return false;
}

}  // namespace

bool readFieldSet(const char* path, FieldSet& fields) {
    TailScan scan(fields);  // clears the fields, also for the failures below
    const platform::SharedFile file = platform::SharedFile::open(path);
    if (!file.isOpen()) return failure(fields, kUnableToOpen);
    if (file.size() < kMinimumLogSize) return failure(fields, kFileTooSmall);

    std::int64_t blockEnd = file.size();
    while (blockEnd > 0) {
        const std::int64_t blockStart = std::max<std::int64_t>(0, blockEnd - std::int64_t{kBlockSize});
        // Read straight into the set's own block: the lines of a record that
        // fits in it are then used where they lie.
        const std::span<char, kBlockSize> block = fields.reuseBlock();
        const std::int64_t got = file.readAt(blockStart, block.data(), static_cast<std::size_t>(blockEnd - blockStart));
        if (got < 0) {
            fields.clear();
            return failure(fields, kUnableToOpen);
        }
        // A file that shrank since it was opened reads short: only the bytes
        // actually read are scanned.
        if (scan.scanPreceding({block.data(), static_cast<std::size_t>(got)})) return true;
        blockEnd = blockStart;
    }
    return failure(fields, kFileTooSmall);
}

}  // namespace record
