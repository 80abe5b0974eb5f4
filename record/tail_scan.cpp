#include "record/tail_scan.h"

#include "record/extract.h"

namespace record {

namespace {

struct LineRule {
    int lineFromEnd;
    std::size_t field;
    std::string_view (*extract)(std::string_view) noexcept;
};

constexpr LineRule kLineRules[] = {
    {2, kMessageField, extractQuoted},
    {4, 1, extractQuoted},
    {6, 4, extractQuoted},
    {8, kServiceField, extractQuoted},
    {11, 0, extractParenthesised},
};

}  // namespace

bool TailScan::feedsField(int lineNumber) noexcept {
    for (const LineRule& rule : kLineRules) {
        if (rule.lineFromEnd == lineNumber) return true;
    }
    return false;
}

void TailScan::takeLine(int lineNumber, std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (const LineRule& rule : kLineRules) {
        if (rule.lineFromEnd == lineNumber) fields_.field[rule.field] = rule.extract(line);
    }
}

bool TailScan::scanPreceding(std::string_view block) {
    std::size_t lineEnd = block.size();
    while (!complete()) {
        const int pendingLine = breaksFound_;
        const std::size_t lineFeed = lineEnd == 0 ? std::string_view::npos : block.rfind('\n', lineEnd - 1);
        if (lineFeed == std::string_view::npos) {
            // The pending line goes on into the block before this one.
            if (feedsField(pendingLine) && lineEnd > 0) pendingFragments_.emplace_back(block.substr(0, lineEnd));
            return false;
        }
        ++breaksFound_;
        if (feedsField(pendingLine)) {
            const std::string_view head = block.substr(lineFeed + 1, lineEnd - lineFeed - 1);
            if (pendingFragments_.empty()) {
                takeLine(pendingLine, head);
            } else {
                std::string whole(head);
                for (auto fragment = pendingFragments_.rbegin(); fragment != pendingFragments_.rend(); ++fragment) {
                    whole += *fragment;
                }
                takeLine(pendingLine, whole);
            }
        }
        pendingFragments_.clear();
        lineEnd = lineFeed;
    }
    return true;
}

}  // namespace record
