#include "explain/hints.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "record/extract.h"
#include "record/record_layout.h"

namespace explain {

namespace {

using record::kFieldSources;
using record::kRecordLines;

std::string fieldName(std::size_t index) {
    return "field " + std::to_string(index) + " " + std::string(kFieldSources[index].name);
}

// Whether line k holds a value for the field cut from it by `source`: the
// rules hand back the whole line when it holds none.
bool holdsValue(const record::TailRecord& tail, const record::FieldSource& source, int k) {
    if (k < 1 || k > kRecordLines || !tail.reached(k)) return false;
    return source.cut(tail.line(k)).size() != tail.line(k).size();
}

void noValues(const LogFacts& facts, std::vector<std::string>& hints) {
    for (std::size_t index = 0; index < kFieldSources.size(); ++index) {
        const record::FieldSource& source = kFieldSources[index];
        const int k = source.lineFromEnd;
        if (!facts.tail.reached(k) || holdsValue(facts.tail, source, k)) continue;
        std::string hint = "line " + std::to_string(k) + " (" + fieldName(index) + ") ";
        if (facts.tail.line(k).empty()) {
            hint += "is empty";
        } else {
            hint += source.cut == record::extractQuoted ? "holds no label: \"value\" past its first column"
                                                        : "holds no (value) past its first column";
        }
        hint += facts.answer == record::ReadStatus::kRecord
                    ? ": the module answers the whole line for it"
                    : ": once the record is complete the module answers the whole line for it";
        hints.push_back(hint);
    }
}

// The record ends `shift` lines before the end of the log (after it, when
// negative) if every field line so moved that the read reached holds a value,
// and at least four do.
bool fitsShiftedBy(const record::TailRecord& tail, int shift) {
    int checked = 0;
    for (const record::FieldSource& source : kFieldSources) {
        const int k = source.lineFromEnd + shift;
        if (k < 1 || k > kRecordLines || !tail.reached(k)) continue;
        if (!holdsValue(tail, source, k)) return false;
        ++checked;
    }
    return checked >= 4;
}

void shifted(const LogFacts& facts, std::vector<std::string>& hints) {
    const bool inPlace = std::ranges::all_of(kFieldSources, [&](const record::FieldSource& source) {
        return holdsValue(facts.tail, source, source.lineFromEnd);
    });
    if (inPlace) return;
    for (const int shift : {1, -1, 2, -2, 3, -3}) {
        if (!fitsShiftedBy(facts.tail, shift)) continue;
        const int lines = std::abs(shift);
        std::string hint = "the record looks shifted: its field lines would hold values if it ended " +
                           counted(lines, "line") + (shift > 0 ? " earlier" : " later") + ". Likely cause: ";
        bool emptyAfter = shift > 0;
        for (int k = 1; k <= shift; ++k) emptyAfter = emptyAfter && facts.tail.line(k).empty();
        if (emptyAfter) {
            hint += counted(lines, "empty line") + " after the last record";
        } else if (shift > 0) {
            hint += "a record still being written (its first " + counted(lines, "line") +
                    " already there), or a record with " + counted(lines, "line") + " added";
        } else {
            hint += "a record with " + counted(lines, "line") + " missing";
        }
        hints.push_back(hint);
        return;
    }
}

void carriageReturns(const LogFacts& facts, std::vector<std::string>& hints) {
    const std::string_view bytes = facts.tail.bytes();
    std::int64_t alone = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) alone += bytes[i] == '\r' && bytes[i + 1] != '\n';
    if (alone == 0) return;
    std::string hint = "the end of the log holds " + counted(alone, "CR") +
                       " without LF: only LF ends a line, so text ended by CR alone is not a line of its own";
    const record::TailRecord& tail = facts.tail;
    if (tail.status() == record::ReadStatus::kTooSmall && !tail.underMinimum() &&
        tail.breaksFound() + alone >= record::kRecordBreaks) {
        hint += "; that is why the module finds only " + counted(tail.breaksFound(), "line break") +
                " before the start of the log and answers \"" + record::kFileTooSmall + "\"";
    }
    hints.push_back(hint);
}

bool looksLikeUtf16(const record::TailRecord& tail) {
    const std::string_view bytes = tail.bytes();
    if (tail.reachedStart() && (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))) return true;
    if (bytes.size() < 16) return false;
    // Text of Latin letters in UTF-16 has a NUL in every other byte.
    std::size_t nuls[2] = {0, 0};
    for (std::size_t i = 0; i < bytes.size(); ++i) nuls[i % 2] += bytes[i] == '\0';
    const std::size_t half = bytes.size() / 2;
    return std::max(nuls[0], nuls[1]) * 10 >= half * 9 && std::min(nuls[0], nuls[1]) * 10 < half;
}

void nulBytes(const LogFacts& facts, bool utf16, std::vector<std::string>& hints) {
    if (utf16) {
        hints.push_back("the log looks like UTF-16 (a byte-order mark, or a NUL in every other byte): the module "
                        "reads 8-bit text, so its fields come out empty or cut; save the log as UTF-8");
        return;
    }
    for (int k = 1; k <= kRecordLines && facts.tail.reached(k); ++k) {
        if (facts.tail.line(k).find('\0') == std::string_view::npos) continue;
        hints.push_back("line " + std::to_string(k) + " holds a NUL byte: an answer ends at its first NUL");
        break;
    }
}

void envelope(const LogFacts& facts, std::vector<std::string>& hints) {
    const int messageLine = kFieldSources[record::kMessageField].lineFromEnd;
    const int serviceLine = kFieldSources[record::kServiceField].lineFromEnd;
    if (!facts.tail.reached(messageLine) || !facts.tail.reached(serviceLine)) return;
    const std::string_view message = kFieldSources[record::kMessageField].cut(facts.tail.line(messageLine));
    const bool opening = message.find(record::kEnvelopeOpening) != std::string_view::npos;
    const bool closing = message.find(record::kEnvelopeClosing) != std::string_view::npos;
    const std::string& service = facts.fields.field[record::kServiceField];
    if (service == record::kEnvelopingService && opening != closing) {
        hints.push_back("the message's envelope is only partly there: the marker that is there is removed");
    } else if (service != record::kEnvelopingService && (opening || closing)) {
        hints.push_back("the message carries envelope markers, but only a service of exactly \"" +
                        std::string(record::kEnvelopingService) + "\" has them removed");
    }
}

void dates(const LogFacts& facts, std::vector<std::string>& hints) {
    if (!facts.status.ok) return;
    const std::int64_t modified = facts.status.modifiedSeconds;
    if (modified <= 0) {
        hints.push_back("a log dated 1970-01-01 00:00:00 UTC or earlier is never newer than what the module "
                        "remembers of a log before its first read (time 0), so the module never reads it; touch "
                        "the log, or append to it, to give it today's date");
    } else if (modified > facts.now) {
        hints.push_back("the log is dated " + counted(modified - facts.now, "second") +
                        " in the future: once the module has read it, changes made before the clock passes that "
                        "time are dated earlier, and the module will not read them");
    }
}

void unfinished(const LogFacts& facts, std::vector<std::string>& hints) {
    const std::string_view after = facts.tail.afterLastBreak();
    if (facts.tail.breaksFound() == 0 || after.empty()) return;
    const bool one = after.size() == 1;
    hints.push_back(counted(static_cast<std::int64_t>(after.size()), "byte") +
                    (one ? " follows the last line break and is" : " follow the last line break and are") +
                    " not read: a record still being written? Once its first lines end, and until the whole record "
                    "is there, the fields come from the wrong lines");
}

}  // namespace

std::string counted(std::int64_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::vector<std::string> hintsFor(const LogFacts& facts) {
    std::vector<std::string> hints;
    dates(facts, hints);
    noValues(facts, hints);
    shifted(facts, hints);
    // In UTF-16 every byte is half a character: what one hint says of the
    // text as 8-bit bytes, the UTF-16 hint says of it all.
    const bool utf16 = looksLikeUtf16(facts.tail);
    if (!utf16) {
        unfinished(facts, hints);
        carriageReturns(facts, hints);
    }
    nulBytes(facts, utf16, hints);
    envelope(facts, hints);
    return hints;
}

}  // namespace explain
