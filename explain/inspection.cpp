#include "explain/inspection.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <chrono>
#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

#include "cli/escaped.h"
#include "platform/file.h"
#include "plugin/file_age.h"
#include "record/field_set.h"
#include "record/line_feeds.h"
#include "record/record_layout.h"
#include "record/tail_reader.h"

namespace explain {

namespace {

constexpr std::size_t kShownLines = 12;
// How far back the report looks for the lines it shows; the module itself
// reads back as far as it must.
constexpr std::int64_t kShownTailLimit = 1 << 20;
// A longer line is shown cut, with its length.
constexpr std::size_t kShownLineBytes = 240;

std::string utcTime(std::int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds time{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[48] = "";
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

std::string shown(std::string_view line) {
    if (line.size() <= kShownLineBytes) return cli::escapedControls(line);
    return cli::escapedControls(line.substr(0, kShownLineBytes)) + "... (" + std::to_string(line.size()) + " bytes)";
}

// The end of the log as the module counts it: lines[k - 1] is line k from
// the end, CR before LF dropped; `unfinished` is what follows the last break.
struct Tail {
    std::vector<std::string> lines;
    std::string unfinished;
    bool reachedStart = false;
    bool hasNul = false;
};

Tail readTail(const platform::SharedFile& file) {
    Tail tail;
    const std::int64_t start = std::max<std::int64_t>(0, file.size() - kShownTailLimit);
    std::string bytes(static_cast<std::size_t>(file.size() - start), '\0');
    const std::int64_t got = file.readAt(start, bytes.data(), bytes.size());
    bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
    tail.reachedStart = start == 0;
    tail.hasNul = bytes.find('\0') != std::string::npos;

    std::array<std::size_t, kShownLines + 1> breaks{};
    const std::size_t found = record::findLastLineFeeds(bytes, breaks);
    std::size_t end = bytes.size();
    for (std::size_t i = 0; i <= found; ++i) {
        const std::size_t begin = i < found ? breaks[i] + 1 : 0;
        std::string_view text = std::string_view(bytes).substr(begin, end - begin);
        if (i == 0) {
            tail.unfinished = text;
        } else if (i < found || (found < breaks.size() && tail.reachedStart)) {
            if (text.ends_with('\r')) text.remove_suffix(1);
            tail.lines.emplace_back(text);
        }
        if (i < found) end = breaks[i];
    }
    return tail;
}

std::string_view upToFirstNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

ExitStatus inspectLog(const char* path, std::string& out) {
    const auto say = [&](std::string_view line) { out.append(line).append("\n"); };
    say("log: " + cli::escapedControls(path));

    const platform::FileStatus status = platform::statFile(path);
    const platform::SharedFile file = platform::SharedFile::open(path);
    if (status.ok) {
        const std::int64_t now = platform::nowSeconds();
        say("modified: " + utcTime(status.modifiedSeconds) + " (" + std::to_string(status.modifiedSeconds) +
            " seconds since 1970-01-01 UTC)");
        say("age: " + std::to_string(plugin::displayedAge(now, status.modifiedSeconds)) + " seconds");
        if (status.modifiedSeconds <= 0) {
            say("hint: a log dated 1970-01-01 00:00:00 UTC or earlier is never newer than the module's memory of "
                "its last read, so the module never reads it");
        }
    }
    if (file.isOpen()) say("size: " + std::to_string(file.size()) + " bytes");

    Tail tail;
    if (file.isOpen()) {
        tail = readTail(file);
        say("");
        say("the last " + std::to_string(kShownLines) + " lines, counted from the end:");
        for (std::size_t k = kShownLines; k >= 1; --k) {
            if (k <= tail.lines.size()) {
                say("line " + std::to_string(k) + ": " + shown(tail.lines[k - 1]));
            } else {
                say("line " + std::to_string(k) + ": " + (tail.reachedStart ? "(none: the log has fewer lines)" : "(not shown: too far back)"));
            }
        }
        if (!tail.unfinished.empty()) {
            say("after the last line break, not yet part of a record: " + shown(tail.unfinished));
        }
    }

    // The module's own read, as function1 makes it on a log newer than the
    // last one read.
    record::FieldSet fields;
    const bool read = record::readFieldSet(path, fields);
    say("");
    if (!read) {
        const std::string_view text = fields.field(record::kStatusField);
        say("status: " + cli::quoted(text));
        if (text == record::kUnableToOpen) {
            say("reason: the log cannot be opened: " + platform::whyCannotOpen(path));
        } else if (!file.isOpen() || file.size() < record::kMinimumLogSize) {
            say("reason: the log is " + std::to_string(file.isOpen() ? file.size() : 0) + " bytes, under the " +
                std::to_string(record::kMinimumLogSize) + "-byte minimum");
        } else {
            say("reason: the start of the log comes after " + std::to_string(tail.lines.size()) +
                " line breaks; a record needs " + std::to_string(record::kRecordBreaks));
        }
    } else {
        for (std::size_t index = 0; index < record::kFieldSources.size(); ++index) {
            // The host reads the answer as a C string, up to its first NUL.
            const std::string_view value = upToFirstNul(fields.field(index));
            say("field " + std::to_string(index) + " " + std::string(record::kFieldSources[index].name) + ": " +
                cli::quoted(value));
        }
    }

    // Hints where the log looks unlike the layout.
    for (std::size_t index = 0; index < record::kFieldSources.size(); ++index) {
        const record::FieldSource& source = record::kFieldSources[index];
        const std::string_view line = fields.line(index);
        if (static_cast<std::size_t>(source.lineFromEnd) > tail.lines.size() && line.empty()) continue;
        if (source.cut(line).size() == line.size()) {
            say("hint: line " + std::to_string(source.lineFromEnd) + " (field " + std::to_string(index) + " " +
                std::string(source.name) + ") holds no " +
                (source.cut == record::extractQuoted ? "label: \"value\"" : "(value)") +
                " past its first column, so the whole line is answered");
        }
    }
    if (!tail.unfinished.empty()) {
        say("hint: " + std::to_string(tail.unfinished.size()) +
            " bytes follow the last line break and are not read: a record still being written? Once its first "
            "lines end, and until the whole record is there, the fields come from the wrong lines");
    }
    for (std::size_t k = 1; k <= tail.lines.size(); ++k) {
        if (tail.lines[k - 1].find('\r') != std::string::npos) {
            say("hint: line " + std::to_string(k) +
                " holds a CR without LF: only LF ends a line, so lines ended by CR alone are not counted");
            break;
        }
    }
    if (tail.hasNul) {
        say("hint: the end of the log holds NUL bytes: is it UTF-16? The module reads 8-bit text, and an answer "
            "ends at its first NUL");
    }
    if (read) {
        const std::string_view message = record::extractQuoted(fields.line(record::kMessageField));
        const bool opening = message.find("&lt;html&gt;&lt;body&gt;") != std::string_view::npos;
        const bool closing = message.find("&lt;/body&gt;&lt;/html&gt;") != std::string_view::npos;
        const bool enveloping = fields.field(record::kServiceField) == record::kEnvelopingService;
        if (enveloping && opening != closing) {
            say("hint: the message's envelope is only partly there: the marker that is there is removed");
        } else if (!enveloping && opening && closing) {
            say("hint: the message has an envelope, but only a service of exactly \"" +
                std::string(record::kEnvelopingService) + "\" has it removed");
        }
    }
    return read ? kAnswersFields : kAnswersStatus;
}

}  // namespace explain
