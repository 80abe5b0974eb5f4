#include "record/tail_scan.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "record/line_feeds.h"

namespace record {

namespace {

bool feedsField(int line) noexcept {
    return std::ranges::any_of(kFieldSources, [&](const FieldSource& source) { return source.lineFromEnd == line; });
}

}  // namespace

void TailScan::handOver(std::size_t field, std::string_view line, bool copy) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (copy) {
        fields_.copyLine(field, line);
    } else {
        fields_.referLine(field, line);
    }
}

bool TailScan::scanPreceding(std::string_view block, Block storage) {
    // lineEnds[i] is where line firstLine + i ends: the block's end, then
    // each line feed found, from the last one backwards.
    const int firstLine = breaksFound_;
    std::array<std::size_t, kRecordBreaks + 1> lineEnds;
    lineEnds[0] = block.size();
    const std::size_t found = findLastLineFeeds(
        block, std::span(lineEnds).subspan(1, static_cast<std::size_t>(kRecordBreaks - firstLine)));
    breaksFound_ += static_cast<int>(found);

    // Only the five lines that feed a field are looked at, wherever they are.
    for (std::size_t field = 0; field < kFieldSources.size(); ++field) {
        const int offset = kFieldSources[field].lineFromEnd - firstLine;
        // A line that ended in a later block, or starts in an earlier one.
        if (offset < 0 || static_cast<std::size_t>(offset) >= found) continue;
        const auto i = static_cast<std::size_t>(offset);
        const std::size_t lineFeed = lineEnds[i + 1];
        const std::string_view head = block.substr(lineFeed + 1, lineEnds[i] - lineFeed - 1);
        if (i > 0 || pendingFragments_.empty()) {
            handOver(field, head, storage == Block::kScratch);
        } else {
            std::string whole(head);
            for (auto fragment = pendingFragments_.rbegin(); fragment != pendingFragments_.rend(); ++fragment) {
                whole += *fragment;
            }
            handOver(field, whole, true);
        }
    }
    if (complete()) return true;

    // The line pending at the start of this block goes on into the block
    // before it; its pieces are kept only if it feeds a field.
    if (found > 0) pendingFragments_.clear();
    if (feedsField(breaksFound_) && lineEnds[found] > 0) {
        pendingFragments_.emplace_back(block.substr(0, lineEnds[found]));
    }
    return false;
}

}  // namespace record
