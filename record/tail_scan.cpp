#include "record/tail_scan.h"

#include <array>
#include <cstddef>
#include <span>

#include "record/line_feeds.h"

namespace record {

namespace {

constexpr std::size_t kNoField = kFieldCount;

// The field each line feeds, by line number, so each line costs one lookup.
constexpr auto kFieldOfLine = [] {
    std::array<std::size_t, kRecordBreaks> table{};
    table.fill(kNoField);
    for (std::size_t field = 0; field < kFieldSources.size(); ++field) {
        table[static_cast<std::size_t>(kFieldSources[field].lineFromEnd)] = field;
    }
    return table;
}();

bool feedsField(int line) noexcept { return kFieldOfLine[static_cast<std::size_t>(line)] != kNoField; }

}  // namespace

void TailScan::handOver(int lineNumber, std::string_view line, bool pieced) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t field = kFieldOfLine[static_cast<std::size_t>(lineNumber)];
    if (pieced) {
        fields_.copyLine(field, line);
    } else {
        fields_.referLine(field, line);
    }
}

bool TailScan::scanPreceding(std::string_view block) {
    std::array<std::size_t, kRecordBreaks> lineFeeds;
    const std::size_t found =
        findLastLineFeeds(block, std::span(lineFeeds).first(static_cast<std::size_t>(kRecordBreaks - breaksFound_)));
    std::size_t lineEnd = block.size();
    for (const std::size_t lineFeed : std::span(lineFeeds).first(found)) {
        const int line = breaksFound_++;
        if (feedsField(line)) {
            const std::string_view head = block.substr(lineFeed + 1, lineEnd - lineFeed - 1);
            if (pendingFragments_.empty()) {
                handOver(line, head, false);
            } else {
                std::string whole(head);
                for (auto fragment = pendingFragments_.rbegin(); fragment != pendingFragments_.rend(); ++fragment) {
                    whole += *fragment;
                }
                handOver(line, whole, true);
            }
        }
        pendingFragments_.clear();
        lineEnd = lineFeed;
    }
    if (complete()) return true;
    // The pending line goes on into the block before this one.
    if (feedsField(breaksFound_) && lineEnd > 0) pendingFragments_.emplace_back(block.substr(0, lineEnd));
    return false;
}

}  // namespace record
