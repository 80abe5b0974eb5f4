#include "explain/inspection.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "cli/escaped.h"
#include "explain/hints.h"
#include "explain/lines_from_end.h"
#include "explain/why_cannot_open.h"
#include "platform/file.h"
#include "platform/utf8.h"
#include "plugin/file_age.h"
#include "pattern/folder_matches.h"
#include "record/last_read.h"
#include "record/field_set.h"
#include "pattern/name_pattern.h"
#include "pattern/pattern_choice.h"
#include "record/record_layout.h"
#include "record/tail_reader.h"

namespace explain {

namespace {

// The hints compare the last record with the lines before it in this many
// bytes at the end of the log at most.
constexpr std::size_t kLinesSearchedBytes = 256 * 1024;

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
    // Cut at a character's start, so that what is shown stays UTF-8 where
    // the line is.
    std::size_t cut = 0;
    for (std::size_t length = 0; cut < line.size(); cut += length) {
        length = std::max<std::size_t>(1, platform::utf8SequenceLength(line.substr(cut)));
        if (cut + length > kShownLineBytes) break;
    }
    return cli::escapedControls(line.substr(0, cut)) + "... (" + counted(static_cast<std::int64_t>(line.size()), "byte") +
           ")";
}

std::string mebibytes(std::int64_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MiB"; }

// Why a read found no record, besides a log under the minimum size.
std::string noRecordIn(const record::TailRecord& tail) {
    if (tail.searchEnded()) {
        return "no record in the last " + mebibytes(record::kMostSearchedBytes) + " of the log's " +
               counted(tail.fileSize(), "byte") + ": they hold " + counted(tail.breaksFound(), "line break") +
               ", a record needs " + std::to_string(record::kRecordBreaks) + ", and the module looks no further back";
    }
    return counted(tail.breaksFound(), "line break") + ", a record needs " + std::to_string(record::kRecordBreaks);
}

std::string_view upToFirstNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

// The report on one log file: a plain path's, as the module's first poll of
// it finds it, or the file a pattern's choice names, with the read that
// choice made (`chosen`).
static ExitStatus inspectFile(const char* path, const record::LastRead* chosen, std::string& out) {
    const auto say = [&](std::string_view line) { out.append(line).append("\n"); };
    say("log: " + cli::escapedControls(path));

    const platform::FileStatus status = platform::statFile(path);
    const std::int64_t now = platform::nowSeconds();
    if (status.ok) {
        say("modified: " + utcTime(status.modifiedSeconds) + " (" + std::to_string(status.modifiedSeconds) +
            " seconds since 1970-01-01 UTC)");
        say("age: " + counted(plugin::displayedAge(now, status.modifiedSeconds), "second"));
    }
    // Whether the module reads the log, asked of the module: the choice's
    // read, or the rule for a log it has never read.
    const bool neverRead = chosen != nullptr ? chosen->state.status == record::ReadStatus::kNotRead
                                             : !record::ReadState{}.mustRead(status);
    // Otherwise the module's own read, as function1 makes it on a log newer
    // than its last read: all the report shows comes from it.
    record::TailRecord tail;
    const record::ReadStatus answer = neverRead ? record::ReadStatus::kNotRead : tail.read(path);
    if (answer != record::ReadStatus::kCannotOpen && answer != record::ReadStatus::kNotRead) {
        say("size: " + counted(tail.fileSize(), "byte"));
    }
    record::FieldSet fields;
    record::cutFields(tail, fields);

    say("");
    if (neverRead) {
        for (std::size_t index = 0; index < record::kFieldSources.size(); ++index) {
            say("field " + std::to_string(index) + " " + std::string(record::kFieldSources[index].name) + ": \"\"");
        }
        say("status: \"\"");
        say("reason: the log is dated 1970-01-01 00:00:00 UTC or earlier, so the module never reads it: it "
            "answers \"\" for every field, field 5 included, whatever the log holds; only after a failed read of "
            "its path (the log missing at first, then created with such a date) does the module read it");
    } else if (answer == record::ReadStatus::kRecord) {
        for (std::size_t index = 0; index < record::kFieldSources.size(); ++index) {
            // The host reads the answer as a C string, up to its first NUL.
            say("field " + std::to_string(index) + " " + std::string(record::kFieldSources[index].name) + ": " +
                cli::quoted(upToFirstNul(fields.field[index])));
        }
    } else {
        say("status: " + cli::quoted(record::statusText(answer)));
        if (answer == record::ReadStatus::kCannotOpen) {
            say("reason: the log cannot be opened: " + whyCannotOpen(path, tail.openError()));
        } else if (tail.underMinimum()) {
            say("reason: the log is " + counted(tail.fileSize(), "byte") + ", under the " +
                std::to_string(record::kMinimumLogSize) + "-byte minimum");
        } else if (tail.searchEnded()) {
            say("reason: " + noRecordIn(tail));
        } else {
            say("reason: the start of the log comes after " + counted(tail.breaksFound(), "line break") +
                "; a record needs " + std::to_string(record::kRecordBreaks));
        }
    }

    if (answer == record::ReadStatus::kRecord || answer == record::ReadStatus::kTooSmall) {
        say("");
        say(tail.underMinimum() ? "the last 12 lines as the module would count them, were the log long enough:"
                                : "the last 12 lines, counted from the end, as the module reads them:");
        for (int k = record::kRecordLines; k >= 1; --k) {
            say("line " + std::to_string(k) + ": " +
                (tail.reached(k)        ? shown(tail.line(k))
                 : tail.searchEnded() ? std::string("(none: the module looks no further back)")
                                      : std::string("(none: the log starts before it)")));
        }
        if (tail.breaksFound() > 0 && !tail.afterLastBreak().empty()) {
            say("after the last line break, ignored: " + shown(tail.afterLastBreak()));
        }
    }

    // The last record (as many as 24 lines, where it is too long or being
    // written), the one before it, and one more to tell that one by.
    const std::vector<std::string> lines =
        answer == record::ReadStatus::kRecord || answer == record::ReadStatus::kTooSmall
            ? linesFromEnd(path, 4 * record::kRecordLines, kLinesSearchedBytes)
            : std::vector<std::string>();
    const std::vector<std::string> hints = hintsFor({status, now, answer, tail, fields, lines});
    if (!hints.empty()) say("");
    for (const std::string& hint : hints) say("hint: " + hint);
    return answer == record::ReadStatus::kRecord && !neverRead ? kAnswersFields : kAnswersStatus;
}

// Why a match was passed over, as a read of it now finds.
static std::string whyTooSmall(const char* path) {
    record::TailRecord tail;
    tail.read(path);
    if (tail.underMinimum()) {
        return counted(tail.fileSize(), "byte") + ", under the " + std::to_string(record::kMinimumLogSize) +
               "-byte minimum";
    }
    return noRecordIn(tail);
}

// Which log a pattern names now, and why, as the module chooses it in a
// refresh of its own; then that log.
static ExitStatus inspectPattern(const char* patternPath, std::string& out) {
    const auto say = [&](std::string_view line) { out.append(line).append("\n"); };
    say("pattern: " + cli::escapedControls(patternPath));
    // Beyond those the choice looks at, the few next ones by time.
    constexpr std::size_t kNextShown = 5;
    constexpr std::size_t kSkippedShown = 10;
    pattern::FolderMatches matches(pattern::kMatchesLookedAt + kNextShown, kSkippedShown);
    pattern::PatternChoice choice;
    record::LastRead chosen, candidate;
    choice.refresh(patternPath, matches, chosen, candidate);

    for (const std::string& name : matches.firstUnreadable()) {
        say("skipped: " + cli::escapedControls(std::string(pattern::splitPath(patternPath).folder) + name) +
            ": its status cannot be read (gone meanwhile, or a link to nothing)");
    }
    if (matches.unreadableCount() > matches.firstUnreadable().size()) {
        say("skipped: " + counted(static_cast<std::int64_t>(matches.unreadableCount() - matches.firstUnreadable().size()),
                                  "more matching name") + " whose status cannot be read");
    }
    if (choice.chose() == pattern::PatternChoice::Chose::kNoMatch) {
        say("");
        say("status: " + cli::quoted(record::kUnableToOpen));
        say("reason: no regular file in the pattern's folder matches its last part, or the folder cannot be "
            "listed");
        return kAnswersStatus;
    }
    const std::vector<pattern::FolderMatches::Match>& newestFirst = matches.newestFirst();
    std::size_t named = 0;
    while (named + 1 < newestFirst.size() && matches.path(newestFirst[named]) != choice.file()) ++named;
    const bool older = choice.chose() == pattern::PatternChoice::Chose::kOlder;
    // Of the matches whose status was read: those skipped above are not.
    const std::string besidesSkipped =
        matches.unreadableCount() > 0
            ? " besides the " + counted(static_cast<std::int64_t>(matches.unreadableCount()), "name") + " skipped"
            : "";
    say("names: " + cli::escapedControls(choice.file()) + ", the newest of " +
        counted(static_cast<std::int64_t>(matches.count()), "matching log") + besidesSkipped +
        (older ? " that is not too small for a record" : "") + ": modified " +
        utcTime(choice.fileStatus().modifiedSeconds) + " (the latest time; within one second, the name that sorts last)");
    if (choice.chose() == pattern::PatternChoice::Chose::kNewestAllTooSmall && !choice.passedOver().empty()) {
        say("every match it looked at is too small for a record: the newest answers");
    }
    if (older) {
        for (const pattern::PatternChoice::PassedOver& passed : choice.passedOver()) {
            const std::string path = std::string(pattern::splitPath(patternPath).folder) + passed.name;
            say("passed over: " + cli::escapedControls(path) + ", modified " + utcTime(passed.state.lastModified) +
                ": too small for a record (" + whyTooSmall(path.c_str()) + ")");
        }
    }
    for (std::size_t i = named + 1; i < std::min(newestFirst.size(), named + 1 + kNextShown); ++i) {
        say("next: " + cli::escapedControls(matches.path(newestFirst[i])) + ", modified " +
            utcTime(newestFirst[i].status.modifiedSeconds));
    }
    say("");
    return inspectFile(choice.file().c_str(), &chosen, out);
}

ExitStatus inspectLog(const char* path, std::string& out) {
    return pattern::isPattern(path) ? inspectPattern(path, out) : inspectFile(path, nullptr, out);
}

}  // namespace explain
