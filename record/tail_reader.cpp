#include "record/tail_reader.h"

#include <algorithm>
#include <array>

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
    fields.clear();
    const platform::SharedFile file = platform::SharedFile::open(path);
    if (!file.isOpen()) return failure(fields, kUnableToOpen);
    if (file.size() < kMinimumLogSize) return failure(fields, kFileTooSmall);

    // The last block goes into the set, where the lines of a record that fits
    // in it are used as they lie. Earlier blocks, needed only for long lines
    // or short logs, go through this scratch block, and what they complete is
    // copied out of it.
    std::array<char, kBlockSize> scratch;
    TailScan scan(fields);
    TailScan::Block storage = TailScan::Block::kKept;
    std::int64_t blockEnd = file.size();
    while (blockEnd > 0) {
        const std::int64_t blockStart = std::max<std::int64_t>(0, blockEnd - std::int64_t{kBlockSize});
        char* const buffer = storage == TailScan::Block::kKept ? fields.lastBlock().data() : scratch.data();
        const std::int64_t got = file.readAt(blockStart, buffer, static_cast<std::size_t>(blockEnd - blockStart));
        if (got < 0) {
            fields.clear();
            return failure(fields, kUnableToOpen);
        }
        // A file that shrank since it was opened reads short: only the bytes
        // actually read are scanned.
        if (scan.scanPreceding({buffer, static_cast<std::size_t>(got)}, storage)) return true;
        storage = TailScan::Block::kScratch;
        blockEnd = blockStart;
    }
    return failure(fields, kFileTooSmall);
}

}  // namespace record
