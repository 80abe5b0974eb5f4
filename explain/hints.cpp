#include "explain/hints.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cli/escaped.h"
#include "record/extract.h"
#include "record/field_set.h"
#include "record/record_layout.h"
#include "platform/utf8.h"

namespace explain {

namespace {

using record::kFieldSources;
using record::kRecordLines;

std::size_t countOf(std::string_view text, std::string_view marker) {
    std::size_t n = 0;
    for (std::size_t at = text.find(marker); at != std::string_view::npos; at = text.find(marker, at + 1)) ++n;
    return n;
}

// Where `text` stops being UTF-8, or npos.
std::size_t firstInvalidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = platform::utf8SequenceLength(text.substr(i));
        if (length == 0) return i;
        i += length;
    }
    return std::string_view::npos;
}

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
        // Worded by what the module answers, which for a log under the
        // minimum is a status even where its read found a record.
        hint += facts.answer == record::ReadStatus::kRecord
                    ? ": the module answers the whole line for it"
                    : ": the module answers a status text for now, and once it answers fields, the whole line for it";
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

bool inPlace(const record::TailRecord& tail) {
    return std::ranges::all_of(
        kFieldSources, [&](const record::FieldSource& source) { return holdsValue(tail, source, source.lineFromEnd); });
}

// The line from the end where `source`'s value stands when the log ends
// `written` lines into a record: that many lines further up in the last whole
// record, or, below them, in the record being written.
int lineWhenWritten(const record::FieldSource& source, int written) {
    const int k = source.lineFromEnd + written;
    return k <= kRecordLines ? k : k - kRecordLines;
}

// How many lines of a record being written end the log (1 to 11), or 0: every
// field line the read reached holds a value where it would then stand, and at
// least four do. Empty lines after the record are not its start.
int linesBeingWritten(const record::TailRecord& tail) {
    if (inPlace(tail) || tail.line(1).empty()) return 0;
    // The fewest lines away from a record in place first.
    for (const int written : {1, 11, 2, 10, 3, 9, 4, 8, 5, 7, 6}) {
        int checked = 0;
        const bool fits = std::ranges::all_of(kFieldSources, [&](const record::FieldSource& source) {
            const int k = lineWhenWritten(source, written);
            if (!tail.reached(k)) return true;
            ++checked;
            return holdsValue(tail, source, k);
        });
        if (fits && checked >= 4) return written;
    }
    return 0;
}

// The part of a line that says what it holds: up to its first colon, or the
// whole line. The records of one log have the same labels, line for line.
std::string_view labelOf(std::string_view line) { return line.substr(0, line.find(':')); }

// How many lines the last record spans, as the record before it tells: the
// fewest lines above which the next kRecordLines read as a whole record, each
// field line holding its value where the layout puts it, and, where the log
// goes back that far, labelled line for line as the record before that one.
// 0 when no such record was read (a log of one record, or of another layout).
int lastRecordSpan(const std::vector<std::string>& lines) {
    const auto read = [&](int k) { return k <= static_cast<int>(lines.size()); };
    const auto line = [&](int k) -> std::string_view { return lines[static_cast<std::size_t>(k - 1)]; };
    for (int span = 1; span <= 2 * kRecordLines; ++span) {
        const bool whole = std::ranges::all_of(kFieldSources, [&](const record::FieldSource& source) {
            const int k = span + source.lineFromEnd;
            return read(k) && source.cut(line(k)).size() != line(k).size();
        });
        bool alike = true;
        for (int k = span + 1; k <= span + kRecordLines && read(k + kRecordLines) && alike; ++k) {
            alike = labelOf(line(k)) == labelOf(line(k + kRecordLines));
        }
        if (whole && alike) return span;
    }
    return 0;
}

// linesBeingWritten, where the record before the last tells no other story:
// the lines written then read as the first lines of that record. A log that
// ends in the last line of a record, one line too long, is none.
int recordBeingWritten(const LogFacts& facts) {
    const int written = linesBeingWritten(facts.tail);
    const int span = lastRecordSpan(facts.lines);
    if (written == 0 || span == 0) return written;
    if (span != written) return 0;
    for (int k = 1; k <= written; ++k) {
        const auto at = static_cast<std::size_t>(k) + kRecordLines;
        if (at > facts.lines.size() || labelOf(facts.lines[at - kRecordLines - 1]) != labelOf(facts.lines[at - 1])) {
            return 0;
        }
    }
    return written;
}

bool allNul(std::string_view bytes) { return bytes.find_first_not_of('\0') == std::string_view::npos; }

// Text after the last line break that would complete the record were it a
// line: a last line written without its LF.
bool lastLineUnterminated(const LogFacts& facts) {
    const std::string_view after = facts.tail.afterLastBreak();
    return facts.tail.breaksFound() > 0 && !after.empty() && !allNul(after) && !inPlace(facts.tail) &&
           fitsShiftedBy(facts.tail, -1);
}

void shifted(const LogFacts& facts, std::vector<std::string>& hints) {
    if (inPlace(facts.tail) || lastLineUnterminated(facts)) return;
    if (const int written = recordBeingWritten(facts); written > 0) {
        const bool earlier = written <= kRecordLines / 2;
        const int lines = earlier ? written : kRecordLines - written;
        std::string hint = "the record looks shifted: its field lines would hold values if it ended " +
                           counted(lines, "line") + (earlier ? " earlier" : " later") +
                           ". Likely cause: a record being written: " + std::to_string(written) + " of its " +
                           std::to_string(kRecordLines) + " lines so far";
        // The same lines as a last record a few lines too long or too short.
        const int length = written <= 3 ? kRecordLines + written : written >= kRecordLines - 3 ? written : 0;
        if (length != 0) {
            hint += ", or a last record of " + std::to_string(length) + " lines, where the layout needs " +
                    std::to_string(kRecordLines);
        }
        hints.push_back(hint);
        return;
    }
    for (const int shift : {1, -1, 2, -2, 3, -3}) {
        if (!fitsShiftedBy(facts.tail, shift)) continue;
        const int lines = std::abs(shift);
        std::string hint = "the record looks shifted: its field lines would hold values if it ended " +
                           counted(lines, "line") + (shift > 0 ? " earlier" : " later") + ". Likely cause: ";
        bool emptyAfter = shift > 0;
        for (int k = 1; k <= shift; ++k) emptyAfter = emptyAfter && facts.tail.line(k).empty();
        const std::string length = "a last record of " + std::to_string(kRecordLines + shift) +
                                   " lines, where the layout needs " + std::to_string(kRecordLines);
        hint += emptyAfter ? counted(lines, "empty line") + " after the last record" : length;
        if (shift > 0 && !emptyAfter) {
            // The lines added stand after what reads as the record's last.
            hint += "; " + (shift == 1 ? std::string("line 1 stands") : "lines 1 to " + std::to_string(shift) + " stand") +
                    " after what reads as its last line";
            if (facts.tail.line(shift) == facts.tail.line(shift + 1)) {
                hint += ", and line " + std::to_string(shift) + " repeats line " + std::to_string(shift + 1) + " (" +
                        cli::quoted(facts.tail.line(shift)) + "): that line was written twice, and either may be "
                        "the one added";
            }
        }
        hints.push_back(hint);
        return;
    }
}

// An empty line inside the record moves every line above it one further from
// the end: the field lines below it hold values in place, those above it one
// line further up.
bool emptyLineInside(const LogFacts& facts, std::vector<std::string>& hints) {
    const record::TailRecord& tail = facts.tail;
    if (inPlace(tail)) return false;
    for (int empty = 2; empty < kRecordLines; ++empty) {
        if (!tail.reached(empty) || !tail.line(empty).empty()) continue;
        const bool fits = std::ranges::all_of(kFieldSources, [&](const record::FieldSource& source) {
            const int k = source.lineFromEnd < empty ? source.lineFromEnd : source.lineFromEnd + 1;
            return k > kRecordLines || !tail.reached(k) || holdsValue(tail, source, k);
        });
        if (!fits) continue;
        hints.push_back("line " + std::to_string(empty) +
                        " is an empty line inside the record: every line above it counts one further from the end, "
                        "so the fields from line " + std::to_string(empty + 1) +
                        " up come from the line below the one meant");
        return true;
    }
    return false;
}

// "field 3 message", "field 3 message and field 1 sender", ...
std::string fieldList(const std::vector<std::size_t>& fields) {
    std::string list;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) list += i + 1 == fields.size() ? " and " : ", ";
        list += fieldName(fields[i]);
    }
    return list;
}

// A last record one line shorter or longer than the record before it, ending
// in the same last line: the first line from the end whose label differs
// from that record's is where a line was left out, or is the line added.
// Field lines below it are in place; every one from it up is read from the
// line above the one meant (a line left out) or below it (one added).
bool lineLeftOutOrAdded(const LogFacts& facts, std::vector<std::string>& hints) {
    const std::vector<std::string>& lines = facts.lines;
    const int span = lastRecordSpan(lines);
    if (span != kRecordLines - 1 && span != kRecordLines + 1) return false;
    const auto label = [&](int k) { return labelOf(lines[static_cast<std::size_t>(k - 1)]); };
    if (label(1) != label(span + 1)) return false;
    // The record before may start the log: its first line then ends what was read.
    const int lastAlike = std::min(kRecordLines, static_cast<int>(lines.size()) - span);
    int at = 2;
    while (at <= lastAlike && label(at) == label(span + at)) ++at;
    std::vector<std::size_t> right, wrong;
    std::array<std::size_t, kFieldSources.size()> upward{};  // field numbers, from the end up
    for (std::size_t i = 0; i < upward.size(); ++i) upward[i] = i;
    std::ranges::sort(upward, {}, [](std::size_t i) { return kFieldSources[i].lineFromEnd; });
    for (const std::size_t field : upward) (kFieldSources[field].lineFromEnd < at ? right : wrong).push_back(field);
    if (wrong.empty()) return false;
    const bool leftOut = span < kRecordLines;
    // The message comes from its line, but whether its envelope comes off
    // is told by the service's, which may be shifted: it is right only where
    // the module answers it as the record's own service would have it.
    std::string envelopeKept;
    const int serviceLine = kFieldSources[record::kServiceField].lineFromEnd;
    const int meantService = serviceLine + (leftOut ? -1 : 1);
    const auto message = std::ranges::find(right, record::kMessageField);
    if (message != right.end() && serviceLine >= at && meantService <= static_cast<int>(lines.size())) {
        const record::FieldSource& messageSource = kFieldSources[record::kMessageField];
        std::string meant(messageSource.cut(lines[static_cast<std::size_t>(messageSource.lineFromEnd - 1)]));
        const std::string_view service =
            kFieldSources[record::kServiceField].cut(lines[static_cast<std::size_t>(meantService - 1)]);
        if (record::envelopeComesOff(service)) meant = record::stripHtmlEnvelope(std::move(meant));
        if (meant != facts.fields.field[record::kMessageField]) {
            right.erase(message);
            envelopeKept = "; " + fieldName(record::kMessageField) + " comes from its own line, but " +
                           (record::envelopeComesOff(service) ? "keeps the envelope that its record's service takes off"
                                                               : "loses an envelope its record's service keeps") +
                           ": the module takes it off only where field 2 reads \"" +
                           std::string(record::kEnvelopingService) + "\"";
        }
    }
    std::string hint = "line " + std::to_string(at) + " is " + cli::quoted(label(at)) + " where the record before has " +
                       cli::quoted(label(span + at)) + ": the last record has one line " +
                       (leftOut ? "fewer than the layout, left out between line " + std::to_string(at - 1) +
                                      " and line " + std::to_string(at)
                                : "more than the layout, line " + std::to_string(at) + " added") +
                       ", so ";
    if (!right.empty()) hint += fieldList(right) + (right.size() == 1 ? " is" : " are") + " right, and ";
    hint += (right.empty() && envelopeKept.empty() ? "every field comes"
                                                   : fieldList(wrong) + (wrong.size() == 1 ? " comes" : " come")) +
            " from the line " + (leftOut ? "above" : "below") + " the one meant" + envelopeKept;
    hints.push_back(hint);
    return true;
}

// A line break inside the message makes its lines count as lines: line 2
// holds the message's end, and the line that opens the value is further up.
void multiLineMessage(const LogFacts& facts, std::vector<std::string>& hints) {
    const record::TailRecord& tail = facts.tail;
    const record::FieldSource& message = kFieldSources[record::kMessageField];
    if (holdsValue(tail, message, message.lineFromEnd)) return;
    for (int extra = 1; extra <= 3; ++extra) {
        const int opening = message.lineFromEnd + extra;
        if (!tail.reached(opening)) return;
        const std::string_view line = tail.line(opening);
        const std::size_t pair = line.find(": \"");
        if (pair == std::string_view::npos || line.find('"', pair + 3) != std::string_view::npos) continue;
        const bool othersFit = std::ranges::all_of(kFieldSources, [&](const record::FieldSource& source) {
            const int k = source.lineFromEnd + extra;
            return &source == &message || k > kRecordLines || !tail.reached(k) || holdsValue(tail, source, k);
        });
        if (!othersFit) continue;
        hints.push_back("the message spans " + counted(extra + 1, "line") + " (lines " + std::to_string(opening) +
                        " to " + std::to_string(message.lineFromEnd) +
                        "): a line break inside a message counts as a line, so the module answers line " +
                        std::to_string(message.lineFromEnd) + " whole for " + fieldName(record::kMessageField) +
                        " and takes each other field from " + counted(extra, "line") + " below the one meant");
        return;
    }
}

// A value that itself holds a colon and a quote is cut at the last such pair.
void cutInsideValue(const LogFacts& facts, std::vector<std::string>& hints) {
    for (std::size_t index = 0; index < kFieldSources.size(); ++index) {
        const record::FieldSource& source = kFieldSources[index];
        if (source.cut != record::extractQuoted || !holdsValue(facts.tail, source, source.lineFromEnd)) continue;
        const std::string_view line = facts.tail.line(source.lineFromEnd);
        const std::string_view value = source.cut(line);
        const auto start = static_cast<std::size_t>(value.data() - line.data());
        const std::size_t label = line.find(": \"");
        if (label == std::string_view::npos || label + 3 >= start) continue;
        hints.push_back("line " + std::to_string(source.lineFromEnd) + " (" + fieldName(index) +
                        ") holds a colon and a quote inside its value: the value starts after the last such pair, "
                        "so the module answers " + cli::quoted(facts.fields.field[index]) + " and drops " +
                        cli::quoted(line.substr(label + 3, start - label - 3)));
    }
}

void carriageReturns(const LogFacts& facts, std::vector<std::string>& hints) {
    const std::string_view bytes = facts.tail.bytes();
    std::int64_t alone = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        alone += bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
    }
    if (alone == 0) return;
    std::string hint = "the end of the log holds " + counted(alone, "CR") +
                       " without LF: only LF ends a line, so text ended by CR alone is not a line of its own";
    const record::TailRecord& tail = facts.tail;
    if (tail.status() == record::ReadStatus::kTooSmall && !tail.underMinimum() &&
        tail.breaksFound() + alone >= record::kRecordBreaks) {
        hint += "; that is why the module finds only " + counted(tail.breaksFound(), "line break") +
                (tail.searchEnded() ? " in the part it searches" : " before the start of the log") +
                " and answers \"" + record::kFileTooSmall + "\"";
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
    const std::size_t opening = countOf(message, record::kEnvelopeOpening);
    const std::size_t closing = countOf(message, record::kEnvelopeClosing);
    if (opening + closing == 0) return;
    const std::string& service = facts.fields.field[record::kServiceField];
    if (service != record::kEnvelopingService) {
        std::string hint = "the message carries envelope markers, but only a service of exactly \"" +
                           std::string(record::kEnvelopingService) + "\" has them removed";
        // Blame the service only where line 8 holds it.
        if (!inPlace(facts.tail)) {
            hint += "; field 2 is cut from line " + std::to_string(serviceLine) + ", which here holds " +
                    cli::quoted(facts.tail.line(serviceLine)) + ": see the hint on the record's lines";
        }
        hints.push_back(hint);
        return;
    }
    const std::string_view line = facts.tail.line(messageLine);
    const auto valueStart = static_cast<std::size_t>(message.data() - line.data());
    if (opening == 0 && line.substr(0, valueStart).find(record::kEnvelopeOpening) != std::string_view::npos) {
        hints.push_back("the message's opening envelope marker stands before its last colon and quote, so the module "
                        "cuts it off with the text before them: only the closing marker is left to remove");
    } else if ((opening == 0) != (closing == 0)) {
        hints.push_back("the message's envelope is only partly there: the marker that is there is removed");
    }
    const bool onlyAround = opening == 1 && closing == 1 && message.starts_with(record::kEnvelopeOpening) &&
                            message.ends_with(record::kEnvelopeClosing);
    if (!onlyAround && opening + closing > 1) {
        hints.push_back("the message holds envelope markers inside it, not only around it: the module removes every "
                        "one, wherever it stands, so " + cli::quoted(message) + " is answered as " +
                        cli::quoted(facts.fields.field[record::kMessageField]));
    }
}

// Bytes that are not UTF-8, as a Windows-1252 log has for é.
void notUtf8(const LogFacts& facts, std::vector<std::string>& hints) {
    for (std::size_t index = 0; index < kFieldSources.size(); ++index) {
        const std::string& field = facts.fields.field[index];
        const std::size_t bad = firstInvalidUtf8(field);
        if (bad == std::string::npos) continue;
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(field[bad])));
        hints.push_back(fieldName(index) + " holds bytes that are not UTF-8 (the first, " + byte + ", at byte " +
                        std::to_string(bad) + "): the module hands them on as they are, so the host shows them as "
                        "its own code page reads them: Windows' ANSI code page (Windows-1252 in Western Europe) shows "
                        "the letters meant, a UTF-8 reader shows a replacement character");
        return;
    }
}

void dates(const LogFacts& facts, std::vector<std::string>& hints) {
    if (!facts.status.ok) return;
    const std::int64_t modified = facts.status.modifiedSeconds;
    if (facts.answer == record::ReadStatus::kNotRead) {
        hints.push_back("a log dated 1970-01-01 00:00:00 UTC or earlier is never newer than what the module "
                        "remembers of a log before its first read (time 0), so the module never reads it; touch "
                        "the log, or append to it, to give it today's date");
    } else if (modified > facts.now) {
        hints.push_back("the log is dated " + counted(modified - facts.now, "second") +
                        " in the future: once the module has read it, changes made before the clock passes that "
                        "time are dated earlier, and the module will not read them");
    }
}

void afterTheLastBreak(const LogFacts& facts, std::vector<std::string>& hints) {
    const std::string_view after = facts.tail.afterLastBreak();
    if (facts.tail.breaksFound() == 0 || after.empty()) return;
    const std::string bytes = counted(static_cast<std::int64_t>(after.size()), "byte");
    const bool one = after.size() == 1;
    const std::string follow = one ? " follows the last line break and is ignored" : " follow the last line break and are ignored";
    if (allNul(after)) {
        hints.push_back(bytes + (one ? " (a NUL)" : ", all NUL,") + follow +
                        ": NUL padding, as a preallocated or padded file has");
    } else if (lastLineUnterminated(facts)) {
        hints.push_back("the last line has no line break (a record ended without its final LF): its " + bytes +
                        " are ignored, and lines are counted from the line before, so every field comes from the "
                        "line below the one meant");
    } else if (recordBeingWritten(facts) > 0) {
        hints.push_back(bytes + follow + ": the next line of the record being written, not yet ended");
    } else if (inPlace(facts.tail)) {
        hints.push_back(bytes + follow + ": a record still being written? Once its first lines end, and until "
                        "the whole record is there, the fields come from the wrong lines");
    } else {
        hints.push_back(bytes + follow);
    }
}

}  // namespace

std::string counted(std::int64_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::vector<std::string> hintsFor(const LogFacts& facts) {
    std::vector<std::string> hints;
    dates(facts, hints);
    noValues(facts, hints);
    // An empty line inside the record may also fit a shift of the whole: it
    // is the more exact cause.
    if (!emptyLineInside(facts, hints) && !lineLeftOutOrAdded(facts, hints)) shifted(facts, hints);
    multiLineMessage(facts, hints);
    cutInsideValue(facts, hints);
    // In UTF-16 every byte is half a character: what one hint says of the
    // text as 8-bit bytes, the UTF-16 hint says of it all.
    const bool utf16 = looksLikeUtf16(facts.tail);
    if (!utf16) {
        afterTheLastBreak(facts, hints);
        carriageReturns(facts, hints);
    }
    nulBytes(facts, utf16, hints);
    envelope(facts, hints);
    if (!utf16) notUtf8(facts, hints);
    return hints;
}

}  // namespace explain
