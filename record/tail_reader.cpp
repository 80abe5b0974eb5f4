#include "record/tail_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/file.h"
#include "record/tail_scan.h"

namespace record {

namespace {

TailRead failure(FieldSet fields, const char* status) {
    TailRead result{std::move(fields), true};
    result.fields.field[kStatusField] = status;
    return result;
}

}  // namespace

TailRead readFieldSet(const char* path) {
    const platform::SharedFile file = platform::SharedFile::open(path);
    if (!file.isOpen()) return failure({}, kUnableToOpen);
    if (file.size() < kMinimumLogSize) return failure({}, kFileTooSmall);

    TailScan scan;
    std::array<char, kBlockSize> block;
    std::int64_t blockEnd = file.size();
    while (blockEnd > 0) {
        const std::int64_t blockStart = std::max<std::int64_t>(0, blockEnd - std::int64_t{kBlockSize});
        const std::int64_t got =
            file.readAt(blockStart, block.data(), static_cast<std::size_t>(blockEnd - blockStart));
        if (got < 0) return failure({}, kUnableToOpen);
        // A file that shrank since it was opened reads short: only the bytes
        // actually read are scanned.
        if (scan.scanPreceding({block.data(), static_cast<std::size_t>(got)})) return {scan.takeFields(), false};
        blockEnd = blockStart;
    }
    return failure(scan.takeFields(), kFileTooSmall);
}

}  // namespace record
