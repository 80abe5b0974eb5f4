#include "record/tail_scan.h"

#include <array>

#include "platform/bytes.h"
#include "record/extract.h"

namespace record {

namespace {

using Extractor = std::string_view (*)(std::string_view) noexcept;

struct LineRule {
    int lineFromEnd;
    std::size_t field;
    Extractor extract;
};

constexpr LineRule kLineRules[] = {
    {2, kMessageField, extractQuoted},
    {4, 1, extractQuoted},
    {6, 4, extractQuoted},
    {8, kServiceField, extractQuoted},
    {11, 0, extractParenthesised},
};

// The same rules by line number, so each line costs one lookup.
struct RuleForLine {
    std::size_t field = 0;
    Extractor extract = nullptr;
};

constexpr auto kRuleForLine = [] {
    std::array<RuleForLine, kRecordBreaks> table{};
    for (const LineRule& rule : kLineRules) table[static_cast<std::size_t>(rule.lineFromEnd)] = {rule.field, rule.extract};
    return table;
}();

}  // namespace

bool TailScan::feedsField(int lineNumber) noexcept {
    return kRuleForLine[static_cast<std::size_t>(lineNumber)].extract != nullptr;
}

void TailScan::cutLine(int lineNumber, std::string_view line, bool pieced) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const RuleForLine& rule = kRuleForLine[static_cast<std::size_t>(lineNumber)];
    const std::string_view value = rule.extract(line);
    if (pieced) {
        fields_.copy(rule.field, value);
    } else {
        fields_.refer(rule.field, value);
    }
}

bool TailScan::scanPreceding(std::string_view block) {
    std::size_t lineEnd = block.size();
    while (!complete()) {
        const int pendingLine = breaksFound_;
        const std::size_t lineFeed = platform::findLastByte(block.data(), lineEnd, '\n');
        if (lineFeed == lineEnd) {
            // The pending line goes on into the block before this one.
            if (feedsField(pendingLine) && lineEnd > 0) pendingFragments_.emplace_back(block.substr(0, lineEnd));
            return false;
        }
        ++breaksFound_;
        if (feedsField(pendingLine)) {
            const std::string_view head = block.substr(lineFeed + 1, lineEnd - lineFeed - 1);
            if (pendingFragments_.empty()) {
                cutLine(pendingLine, head, false);
            } else {
                std::string whole(head);
                for (auto fragment = pendingFragments_.rbegin(); fragment != pendingFragments_.rend(); ++fragment) {
                    whole += *fragment;
                }
                cutLine(pendingLine, whole, true);
            }
        }
        pendingFragments_.clear();
        lineEnd = lineFeed;
    }
    return true;
}

}  // namespace record
