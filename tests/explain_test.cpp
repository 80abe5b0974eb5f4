// marlowick-explain's report against the module it explains: on logs of every
// shape, each `field N NAME: "VALUE"` line must read back as exactly what
// function1 answers for that log read fresh, and the exit status must say
// whether the module answers fields or a status text.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "explain/command_line.h"
#include "explain/inspection.h"
#include "explain/why_cannot_open.h"
#include "platform/file.h"
#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

namespace {

// A quoted value from the report, read back: \" \\ \r \t \n and \xNN.
std::string unquoted(const std::string& text) {
    std::string out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char code = text[++i];
        if (code == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += code == 'r' ? '\r' : code == 't' ? '\t' : code == 'n' ? '\n' : code;
        }
    }
    return out;
}

struct Report {
    explain::ExitStatus status;
    std::map<int, std::string> fields;  // by number, read back
    std::optional<std::string> statusText;
    std::string text;
};

Report inspect(const std::string& path) {
    Report report;
    report.status = explain::inspectLog(path.c_str(), report.text);
    std::istringstream lines(report.text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("field ")) {
            const std::size_t quote = line.find(": \"");
            report.fields[line[6] - '0'] = unquoted(line.substr(quote + 2));
        } else if (line.starts_with("status: ")) {
            report.statusText = unquoted(line.substr(8));
        }
    }
    return report;
}

std::string answer(const std::string& path, int field) {
    return testing_support::moduleUnderTest().function1(path.c_str(), std::to_string(field).c_str());
}

TEST(Explain, ShowsExactlyWhatTheModuleAnswers) {
    testing_support::TempFolder folder;
    testing_support::RecordValues enveloped{"14:20:01", "Cem \"C\" Ilgaz", "SAMETIME",
                                            "&lt;html&gt;&lt;body&gt;tab\there\\&lt;/body&gt;&lt;/html&gt;", "R 4.2"};
    testing_support::RecordValues longLines{std::string(1500, 't'), "s", "XMPP", std::string(2100, 'm'), "c"};
    std::string twelveBreaks = std::string(2000, 'x');
    for (int i = 12; i >= 1; --i) twelveBreaks += "  line: \"" + std::to_string(i) + "\"\n";
    const std::map<std::string, std::string> logs = {
        {"plain", testing_support::logEndingWith({})},
        {"enveloped", testing_support::logEndingWith(enveloped)},
        {"long lines", testing_support::logEndingWith(longLines, "\n")},
        {"unterminated", testing_support::logEndingWith({}) + "<message>\r\n  sent: (x)\r\n  id: 7"},
        {"too small", "  text: \"short\"\n"},
        {"twelve breaks", twelveBreaks},
    };
    for (const auto& [name, bytes] : logs) {
        const std::string path = folder.file(name + ".log");
        testing_support::writeFile(path, bytes);
        const Report report = inspect(path);
        if (report.status == explain::kAnswersFields) {
            ASSERT_EQ(report.fields.size(), 5u) << name << "\n" << report.text;
            for (const auto& [field, value] : report.fields) EXPECT_EQ(value, answer(path, field)) << name;
        } else {
            ASSERT_EQ(report.status, explain::kAnswersStatus) << name;
            ASSERT_TRUE(report.statusText) << name << "\n" << report.text;
            EXPECT_EQ(*report.statusText, answer(path, 3)) << name;
        }
    }
    EXPECT_EQ(inspect(folder.file("plain.log")).status, explain::kAnswersFields);
    EXPECT_EQ(inspect(folder.file("too small.log")).status, explain::kAnswersStatus);
}

// Both sides of the first second after 1970: before it the module never
// reads the log and answers six empty fields.
TEST(Explain, SaysTheModuleNeverReadsALogDatedNoLaterThan1970) {
    testing_support::TempFolder folder;
    const std::string log = folder.file("old.log");
    testing_support::writeFile(log, testing_support::logEndingWith({}));
    testing_support::setModified(log, 0);
    const Report never = inspect(log);
    EXPECT_EQ(never.status, explain::kAnswersStatus);
    EXPECT_EQ(never.statusText, "");
    for (int field = 0; field <= 5; ++field) {
        if (field < 5) {
            EXPECT_EQ(never.fields.at(field), "") << field;
        }
        EXPECT_EQ(answer(log, field), "") << field;
    }
    EXPECT_NE(never.text.find("never reads it"), std::string::npos) << never.text;

    testing_support::setModified(log, 1);
    const Report read = inspect(log);
    EXPECT_EQ(read.status, explain::kAnswersFields);
    EXPECT_EQ(read.fields.at(3), "Hello there");
    EXPECT_EQ(read.text.find("never reads it"), std::string::npos) << read.text;
    // A pattern's first file is never read at that date, the one it comes to
    // after a newer one too small is, at once: the report says what the
    // module answers for the pattern.
    testing_support::setModified(log, 0);
    for (const bool newerTooSmall : {false, true}) {
        // Each a pattern the module has not polled before.
        const std::string pattern = folder.file(newerTooSmall ? "*.log" : "o*.log");
        if (newerTooSmall) {
            testing_support::writeFile(folder.file("new.log"), "small\n");
            testing_support::setModified(folder.file("new.log"), 100);
        }
        const Report report = inspect(pattern);
        EXPECT_EQ(report.fields.at(3), answer(pattern, 3)) << newerTooSmall << report.text;
        EXPECT_EQ(report.fields.at(3), newerTooSmall ? "Hello there" : "") << report.text;
        EXPECT_EQ(report.status, newerTooSmall ? explain::kAnswersFields : explain::kAnswersStatus);
        EXPECT_EQ(report.text.find("never reads it") == std::string::npos, newerTooSmall) << report.text;
    }
}

#ifndef _WIN32
// The reason for each way the module's open can fail, from its error code.
TEST(Explain, NamesWhyAnOpenFailed) {
    testing_support::TempFolder folder;
    const std::string file = folder.file("x.log"), inFolder = folder.path().string();
    const struct {
        int error;
        const std::string& path;
        const char* reason;
    } cases[] = {
        {ENOENT, file, "no such file or folder"},
        {ENOTDIR, file, "no such file or folder"},
        {EACCES, file, "permission denied"},
        {EPERM, file, "permission denied"},
        {ELOOP, file, std::strerror(ELOOP)},
        {platform::kNotARegularFile, file, "not a regular file"},
        {platform::kNotARegularFile, inFolder, "it is a folder"},
        {0, file, "it was opened, but a read of it failed"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(explain::whyCannotOpen(c.path.c_str(), c.error).find(c.reason), std::string::npos) << c.reason;
    }
    EXPECT_EQ(explain::whyCannotOpen(nullptr, platform::kNoPath), "no path was given");
    EXPECT_EQ(explain::whyCannotOpen("", ENOENT), "the path is empty");
}
#endif

TEST(Explain, SaysWhyTheModuleAnswersAStatusText) {
    testing_support::TempFolder folder;
    const std::string small = folder.file("small.log");
    testing_support::writeFile(small, "  text: \"short\"\n");
    // No line break in its last 64 MiB, sparse where the file system can.
    const std::string huge = folder.file("huge.log");
    testing_support::writeFile(huge, "");
    std::filesystem::resize_file(huge, 65 * 1024 * 1024);
    const std::string fifo = folder.file("fifo");
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
    const struct {
        std::string path, status, reason;
    } cases[] = {
        {folder.file("missing.log"), "Unable to open file.", "no such file or folder"},
        {folder.path().string(), "Unable to open file.", "it is a folder"},
        {small, "File too small.", "16 bytes, under the 1024-byte minimum"},
        {huge, "File too small.", "no record in the last 64 MiB of the log's 68157440 bytes"},
#ifndef _WIN32
        {"/dev/null", "Unable to open file.", "it is not a regular file"},
        {fifo, "Unable to open file.", "it is not a regular file"},
#endif
    };
    EXPECT_NE(inspect(huge).text.find("line 12: (none: the module looks no further back)\n"), std::string::npos);
    // Lines ended by CR alone where the search stopped at its bound: the
    // breaks it found are said to be those of the part it searches.
    {
        std::string crs;
        for (int i = 0; i < 13; ++i) crs += "a\r";
        const std::string crsAtTheEnd = folder.file("crs.log");
        testing_support::writeFile(crsAtTheEnd, "");
        std::filesystem::resize_file(crsAtTheEnd, 65 * 1024 * 1024);
        testing_support::appendFile(crsAtTheEnd, crs);
        EXPECT_NE(inspect(crsAtTheEnd).text.find("finds only 0 line breaks in the part it searches"), std::string::npos);
    }
    EXPECT_NE(inspect(small).text.find("line 12: (none: the log starts before it)\n"), std::string::npos);
    for (const auto& c : cases) {
        const Report report = inspect(c.path);
        EXPECT_EQ(report.status, explain::kAnswersStatus) << c.path;
        EXPECT_EQ(report.statusText, c.status) << c.path;
        EXPECT_NE(report.text.find(c.reason), std::string::npos) << report.text;
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.rfind(from), from.size(), to);
}

// Each hint against a log that has its trait and one that differs only
// elsewhere. `said` must all appear among the hints, `notSaid` none of them;
// a row with neither must get no hint at all.
TEST(Explain, GivesEachHintOnlyWhereItIsTrue) {
    using testing_support::logEndingWith;
    using testing_support::RecordValues;
    testing_support::TempFolder folder;
    const std::string sound = logEndingWith({});
    RecordValues sametime;
    sametime.service = "SAMETIME";
    sametime.text = "&lt;html&gt;&lt;body&gt;Hi&lt;/body&gt;&lt;/html&gt;";
    RecordValues opened = sametime;
    opened.text = "&lt;html&gt;&lt;body&gt;Hi";
    RecordValues otherService = sametime;
    otherService.service = "XMPP";
    RecordValues nulInMessage;
    nulInMessage.text = std::string("a\0b", 3);
    std::string nulThreeBack = logEndingWith({}) + testing_support::record({}) + testing_support::record({});
    nulThreeBack[nulThreeBack.size() - 2 * testing_support::record({}).size() - 20] = '\0';
    const auto asUtf16 = [](const std::string& text) {
        std::string wide = "\xFF\xFE";
        for (const char c : text) wide += std::string{c, '\0'};
        return wide;
    };
    const std::string utf16 = asUtf16(sound);
    const std::string utf16Accented = asUtf16(replaced(sound, "Hello there", "caf\xE9"));
    RecordValues markersInsideToo = sametime;
    markersInsideToo.text = "&lt;html&gt;&lt;body&gt;He said: \"a &lt;html&gt;&lt;body&gt;b&lt;/body&gt;&lt;/html&gt;";
    RecordValues saidInEnvelope = sametime;
    saidInEnvelope.text = "&lt;html&gt;&lt;body&gt;He said: \"hi&lt;/body&gt;&lt;/html&gt;";
    // The first or last lines of a record: a client writing it leaves the
    // first; a log that starts inside one holds the last.
    const std::string whole = testing_support::record({});
    const auto firstLines = [&](std::size_t lines) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < lines; ++i) at = whole.find('\n', at) + 1;
        return whole.substr(0, at);
    };
    const auto lastLines = [&](std::size_t lines) { return whole.substr(firstLines(12 - lines).size()); };
    // A log ending in twelve lines, 12 down to 1, each V (a quoted and a
    // parenthesised value), q (a quoted one) or - (none).
    const auto valued = [](const std::string& lines) {
        std::string log = std::string(1100, 'x') + "\n";
        for (const char kind : lines) log += kind == 'V' ? "  a: \"v\" (t)\n" : kind == 'q' ? "  a: \"v\"\n" : "none\n";
        return log;
    };
    const std::int64_t now = platform::nowSeconds();
    const std::int64_t past = now - 1000;
    // `size` bytes ending in `crs` lines ended by CR alone, then `lfs` by LF.
    const auto crsAndLfs = [](std::size_t size, int crs, int lfs) {
        std::string end;
        for (int i = 0; i < crs; ++i) end += "a\r";
        for (int i = 0; i < lfs; ++i) end += "b\n";
        return std::string(size - end.size(), 'x') + end;
    };
    std::string nulInLine12 = sound;
    nulInLine12[nulInLine12.rfind("<message>") + 3] = '\0';
    struct Case {
        std::string name;
        std::string log;
        std::int64_t modified;
        std::vector<std::string> said, notSaid;
    };
    std::vector<Case> cases = {
        {"sound", sound, past, {}, {}},
        {"sound, enveloped", logEndingWith(sametime), past, {}, {}},
        {"sound, under the minimum", testing_support::record({}), past, {}, {}},
        {"sound, CR LF", logEndingWith({}, "\r\n"), past, {}, {}},
        {"no value", replaced(sound, "from: \"Ada Quinn\"", "from: Ada"), past,
         {"line 4 (field 1 sender) holds no label: \"value\"", ": the module answers the whole line"}, {"shifted"}},
        {"no value, a whole record under the minimum",
         "\n" + replaced(testing_support::record({}), "from: \"Ada Quinn\"", "from: Ada"), past,
         {"line 4 (field 1 sender) holds no label", "the module answers a status text for now"},
         {": the module answers the whole line"}},
        {"an empty line after the record", sound + "\r\n", past,
         {"ended 1 line earlier", "1 empty line after the last record"}, {}},
        {"the last line written twice", sound + "</message>\r\n", past,
         {"a last record of 13 lines", "line 1 stands after what reads as its last line, and line 1 repeats line 2 "
          "(\"</message>\"): that line was written twice"}, {"empty line"}},
        {"a line of other text after the record", sound + "note\r\n", past,
         {"a last record of 13 lines, where the layout needs 12; line 1 stands after what reads as its last line\n"},
         {"empty line", "repeats"}},
        {"a record being written", sound + "<message>\r\n  sent: 2026-12-08 (14:20:43)\r\n", past,
         {"ended 2 lines earlier", "Likely cause: a record being written: 2 of its 12 lines so far"}, {}},
        {"a record being written, 6 lines", sound + firstLines(6), past,
         {"ended 6 lines earlier", "Likely cause: a record being written: 6 of its 12 lines so far"}, {"a last record"}},
        {"a record being written, 9 lines", sound + firstLines(9), past,
         {"ended 3 lines later", "being written: 9 of its 12 lines so far, or a last record of 9 lines"}, {}},
        {"a record being written, 10 lines", sound + firstLines(10), past,
         {"ended 2 lines later", "Likely cause: a record being written: 10 of its 12 lines so far, or a last record "
          "of 10 lines"}, {"Likely cause: a last record"}},
        // The log starts at line 8 or 6 of the last whole record: four field
        // lines are enough to tell, three are not.
        {"one line of a record being written, its next line unfinished", sound + firstLines(1) + "  sent", past,
         {"being written: 1 of its 12", "6 bytes follow the last line break and are ignored: the next line of the "
          "record being written"}, {}},
        {"a record being written, four field lines read", "\n" + lastLines(6) + firstLines(2), past,
         {"a record being written: 2 of its 12"}, {}},
        {"a record being written, three field lines read", "\n" + lastLines(4) + firstLines(2), past, {},
         {"being written", "shifted"}},
        {"a record being written, its next line unfinished", sound + firstLines(3) + "  direction: inc", past,
         {"being written: 3 of its 12 lines so far, or a last record of 15 lines", "16 bytes follow the last line break and are ignored: the next line of the "
          "record being written"}, {"Once its first lines end"}},
        {"text after the last break of lines with no values", valued("------------") + "abc", past,
         {"3 bytes follow the last line break and are ignored\n"}, {"being written"}},
        {"only a shift that fits", valued("--qVVVVVV-Vq"), past, {"ended 2 lines earlier"}, {"left out"}},
        {"a line left out, named by the record before", replaced(sound, "  direction: incoming\r\n", ""), past,
         {"line 9 is \"  id\" where the record before has \"  direction\": the last record has one line fewer"},
         {"shifted", "being written"}},
        {"a line added, then text after the last break",
         replaced(sound, "  format:", "  extra: x\r\n  format:") + "abc", past,
         {"line 4 added", "3 bytes follow the last line break"}, {"being written"}},
        {"a line missing", replaced(sound, "</message>\r\n", ""), past,
         {"ended 1 line later", "a last record of 11 lines, where the layout needs 12"}, {"no line break"}},
        {"text after the last break", sound + "<message>", past,
         {"9 bytes follow the last line break and are ignored", "still being written"}, {"no line break"}},
        {"one byte after the last break", sound + "<", past, {"1 byte follows the last line break"}, {}},
        {"the last line without its LF", sound.substr(0, sound.size() - 2), past, {"the last line has no line break"},
         {"still being written", "missing", "shifted"}},
        {"NUL padding", sound + std::string(64, '\0'), past, {"64 bytes, all NUL,", "ignored", "NUL padding"},
         {"still being written", "NUL byte"}},
        {"a NUL among text after the last break", sound + std::string("ab\0cd", 5), past,
         {"5 bytes follow the last line break"}, {"NUL padding"}},
        {"an empty line inside the record", replaced(logEndingWith(sametime), "  account", "\r\n  account"), past,
         {"line 8 is an empty line inside the record", "the fields from line 9 up", "which here holds \"\""},
         {"shifted", "13 lines"}},
        {"a message of two lines", replaced(sound, "Hello there", "Hello\r\nthere"), past,
         {"the message spans 2 lines (lines 3 to 2)"}, {"shifted"}},
        {"a message of four lines", replaced(sound, "Hello there", "A\r\nB\r\nC\r\nD"), past,
         {"the message spans 4 lines (lines 5 to 2)"}, {"shifted"}},
        {"a colon and a quote in the message", replaced(sound, "Hello there", "He said: \"hi"), past,
         {"holds a colon and a quote inside its value", "answers \"hi\" and drops \"He said: \\\"\""}, {}},
        {"a CR as the last byte", replaced(sound, "Hello there", "Hello\rthere") + "\r", past, {"2 CRs without LF"},
         {"1 CR"}},
        {"Windows-1252", replaced(sound, "Hello there", "caf\xE9"), past, {"field 3 message holds bytes that are not UTF-8 (the first, 0xE9"}, {}},
        {"UTF-8", replaced(sound, "Hello there", "caf\xC3\xA9"), past, {}, {}},
        {"Windows-1252, a byte that begins no UTF-8", replaced(sound, "Hello there", "M\xFC"), past,
         {"not UTF-8 (the first, 0xFC"}, {}},
        {"a surrogate in UTF-8's form", replaced(sound, "Hello there", "x\xED\xA0\x80"), past,
         {"not UTF-8 (the first, 0xED"}, {}},
        {"envelope markers inside the message", replaced(logEndingWith(sametime), ";Hi&", ";a &lt;html&gt;&lt;body&gt; b&"),
         past, {"inside it, not only around it", "is answered as \"a  b\""}, {"partly"}},
        {"CR only", logEndingWith({}, "\r"), past,
         {"CRs without LF", "that is why the module finds only 0 line breaks before the start of the log"}, {}},
        {"a CR inside a line", replaced(sound, "Hello there", "Hello\rthere"), past, {"1 CR without LF"},
         {"that is why"}},
        {"a NUL in the message", logEndingWith(nulInMessage), past, {"line 2 holds a NUL byte"}, {"UTF-16"}},
        {"a NUL three records back", nulThreeBack, past, {}, {}},
        {"UTF-16", utf16, past, {"looks like UTF-16"}, {"CR", "NUL byte"}},
        {"UTF-16 with an accent", utf16Accented, past, {"looks like UTF-16"}, {"not UTF-8"}},
        {"envelope partly there", logEndingWith(opened), past, {"only partly there"}, {"before its last colon"}},
        {"the opening envelope marker cut off", logEndingWith(saidInEnvelope), past,
         {"opening envelope marker stands before its last colon and quote", "so the module answers \"hi\" and drops"},
         {"only partly there"}},
        {"an opening marker cut off, and markers inside the value", logEndingWith(markersInsideToo), past,
         {"inside it, not only around it"}, {"stands before its last colon", "partly"}},
        {"the first line of the next record", sound + "<message>\r\n", past,
         {"a record being written: 1 of its 12 lines so far"}, {"empty line"}},
        {"envelope on another service", logEndingWith(otherService), past, {"only a service of exactly"}, {}},
        {"dated in the future", sound, now + 3600, {"in the future"}, {}},
        {"dated this very second", sound, now, {}, {}},
        // Edges of the hints.
        {"CRs make exactly 13 breaks at exactly 1024 bytes", crsAndLfs(1024, 6, 7), past,
         {"that is why the module finds only 7 line breaks"}, {}},
        {"CRs make only 12 breaks", crsAndLfs(1024, 5, 7), past, {"5 CRs without LF"}, {"that is why"}},
        {"CRs make 13 breaks at 1023 bytes", crsAndLfs(1023, 6, 7), past, {"6 CRs without LF"}, {"that is why"}},
        {"a NUL in line 12", nulInLine12, past, {"line 12 holds a NUL byte"}, {"UTF-16"}},
        {"one line of the next record", sound + "<message>\r\n", past, {"a record being written: 1 of its 12 lines"},
         {"empty line"}},
        {"lines the read never reached", std::string(1100, 'x') + "\n\n\n\n\n", past, {},
         {"line 6", "line 8", "line 11", "UTF-16"}},
        {"a file of zeros", std::string(2000, '\0'), past, {}, {"UTF-16"}},
        {"big-endian UTF-16", "\xFE\xFF" + std::string(utf16.begin() + 2, utf16.end()).insert(0, 1, '\0'), past,
         {"looks like UTF-16"}, {}},
        {"no line break at all", std::string(2000, 'x'), past, {}, {"line break and", "still being written"}},
        {"dated 1970", sound, 0, {"never reads it"}, {"in the future"}},
    };
    // Each line of the last record left out, and a line added below it: named
    // where it is, with the fields still right and those shifted. The log ends
    // in a whole record, so it is no record being written.
    const struct {
        const char* label;
        int line;
        const char* fields;
    } places[] = {
        {"  text", 2, "every field comes"},
        {"  format", 3, "field 3 message is right, and field 1 sender, field 4 conversation, field 2 service and field 0 time come"},
        {"  from", 4, "field 3 message is right, and field 1 sender, field 4 conversation, field 2 service and field 0 time come"},
        {"  status", 5, "field 3 message and field 1 sender are right, and field 4 conversation, field 2 service and field 0 time come"},
        {"  conversation", 6, "field 3 message and field 1 sender are right, and field 4 conversation, field 2 service and field 0 time come"},
        {"  account", 7, "field 3 message, field 1 sender and field 4 conversation are right, and field 2 service and field 0 time come"},
        {"  service", 8, "field 3 message, field 1 sender and field 4 conversation are right, and field 2 service and field 0 time come"},
        {"  direction", 9, "field 3 message, field 1 sender, field 4 conversation and field 2 service are right, and field 0 time comes"},
        {"  id", 10, "field 3 message, field 1 sender, field 4 conversation and field 2 service are right, and field 0 time comes"},
        {"  sent", 11, "field 3 message, field 1 sender, field 4 conversation and field 2 service are right, and field 0 time comes"},
        {"<message>", 12, nullptr},
    };
    // A record being written after a last record, that one after another
    // whose first line is unlike: the record before is read far enough back
    // to compare its first line too, which tells the reading.
    const std::string firstLineUnlike = replaced(whole, "<message>", "<msg>");
    cases.push_back({"being written, after a record without its first line", sound + firstLineUnlike + lastLines(11) +
                     firstLines(2), past, {"a record being written: 2 of its 12 lines so far"}, {}});
    cases.push_back({"being written, the record before the last unlike", sound + firstLineUnlike + whole + firstLines(1),
                     past, {"a record being written: 1 of its 12 lines so far"}, {}});
    // The record before starts the log without its first line: the lines
    // there are compared, every one of them and no more.
    cases.push_back({"the first line left out, the record before starting the log",
                     lastLines(11) + lastLines(11), past, {}, {"left out", "being written"}});
    cases.push_back({"a line left out, the record before starting the log",
                     lastLines(11) + replaced(whole, "  direction: incoming\r\n", ""), past,
                     {"left out between line 8 and line 9"}, {"being written"}});
    for (const auto& place : places) {
        const std::size_t at = sound.rfind("\n" + std::string(place.label)) + 1;
        const std::string leftOut = sound.substr(0, at) + sound.substr(sound.find('\n', at) + 1);
        const std::size_t below = sound.find('\n', at) + 1;
        const std::string added = sound.substr(0, below) + "  extra: x\r\n" + sound.substr(below);
        const std::string line = std::to_string(place.line);
        if (place.fields == nullptr) {
            cases.push_back({"left out: the first line", leftOut, past, {}, {}});
            cases.push_back({"added below the first line", added, past, {}, {}});
            continue;
        }
        cases.push_back({std::string("left out: ") + place.label, leftOut, past,
                         {"left out between line " + std::to_string(place.line - 1) + " and line " + line + ", so " +
                          place.fields + " from the line above the one meant"}, {"being written", "shifted"}});
        cases.push_back({std::string("added below: ") + place.label, added, past,
                         {"line " + line + " is \"  extra\" where the record before has \"" + place.label +
                          "\": the last record has one line more than the layout, line " + line + " added, so " +
                          place.fields + " from the line below the one meant"}, {"being written", "shifted"}});
    }
    // In a SAMETIME record, the message is right only as the module answers
    // it: a shifted service line leaves its envelope on.
    const std::string enveloped = logEndingWith(sametime);
    const std::size_t status = enveloped.rfind("\n  status") + 1;
    const std::size_t belowStatus = enveloped.find('\n', status) + 1;
    const std::string envelopeKept = "so field 1 sender is right, and field 4 conversation, field 2 service and field 0 "
                                     "time come from the line %s the one meant; field 3 message comes from its own "
                                     "line, but keeps the envelope that its record's service takes off";
    for (const bool leftOut : {true, false}) {
        std::string said = envelopeKept;
        said.replace(said.find("%s"), 2, leftOut ? "above" : "below");
        cases.push_back({leftOut ? "SAMETIME, a line left out" : "SAMETIME, a line written twice",
                         leftOut ? enveloped.substr(0, status) + enveloped.substr(belowStatus)
                                 : enveloped.substr(0, belowStatus) + enveloped.substr(status),
                         past, {said}, {"field 3 message and field 1 sender are right"}});
    }
    for (const auto& c : cases) {
        const std::string path = folder.file("log");
        testing_support::writeFile(path, c.log);
        testing_support::setModified(path, c.modified);
        const Report report = inspect(path);
        std::string hints;
        std::istringstream lines(report.text);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("hint: ")) hints += line + "\n";
        }
        if (c.said.empty() && c.notSaid.empty()) {
            EXPECT_EQ(hints, "") << c.name;
        }
        for (const std::string& text : c.said) {
            EXPECT_NE(hints.find(text), std::string::npos) << c.name << ": " << text << "\n" << hints;
        }
        for (const std::string& text : c.notSaid) {
            EXPECT_EQ(hints.find(text), std::string::npos) << c.name << ": " << text << "\n" << hints;
        }
    }
}

// Under the minimum size the report gives the status and its reason, then the
// lines the module would count: every one of them, values and all.
TEST(Explain, ShowsTheLinesOfALogUnderTheMinimum) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("new.log");
    testing_support::writeFile(path, "\n" + testing_support::record({}));
    const Report report = inspect(path);
    EXPECT_EQ(report.statusText, "File too small.");
    EXPECT_NE(report.text.find("under the 1024-byte minimum"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("line 12: <message>\n"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("line 2:   text: \"Hello there\"\n"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("line 1: </message>\n"), std::string::npos) << report.text;
}

// The report's lines for one log, by what they must read exactly: escapes
// spelled out, a value up to its NUL as function1 answers it, a CR LF line
// without its CR, and the reason at exactly the minimum size.
TEST(Explain, SpellsOutWhatItShows) {
    testing_support::TempFolder folder;
    testing_support::RecordValues values;
    values.sender = "q\"b\\s\r\t\x01";
    values.text = std::string("ab\0cd", 5);
    std::string twelveBreaks = std::string(1024 - 12, 'x') + std::string(12, '\n');
    const struct {
        const char* name;
        std::string log;
        std::vector<std::string> lines;
    } cases[] = {
        {"escapes", testing_support::logEndingWith(values),
         {"field 1 sender: \"q\\\"b\\\\s\\r\\t\\x01\"", "line 4:   from: \"q\"b\\s\\r\\t\\x01\"",
          "field 3 message: \"ab\"", "line 1: </message>"}},
        {"text after the last break", testing_support::logEndingWith({}) + "<message>",
         {"after the last line break, ignored: <message>"}},
        {"exactly the minimum", twelveBreaks,
         {"status: \"File too small.\"", "reason: the start of the log comes after 12 line breaks; a record needs 13",
          "size: 1024 bytes"}},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("log");
        testing_support::writeFile(path, c.log);
        const Report report = inspect(path);
        for (const std::string& line : c.lines) {
            EXPECT_NE(report.text.find("\n" + line + "\n"), std::string::npos) << c.name << ": " << line << "\n"
                                                                               << report.text;
        }
    }
}

// The report at its edges: a line as long as is shown whole and one byte
// longer, lines from 12 down to 1, no text after the last break when there is
// none, and a time before 1970 and an age past 32 bits as they are.
TEST(Explain, ShowsItsEdgesAsTheyAre) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("log");
    testing_support::RecordValues values;
    values.sender = std::string(240 - 10, 's');  // "  from: \"" and "\"" make the line 240 bytes
    values.text = std::string(241 - 10, 't');
    // 105 characters of three bytes: byte 240 of the line falls inside one.
    std::string japanese;
    for (int i = 0; i < 105; ++i) japanese += "\xE5\xB1\xB1";  // 山
    values.conversation = japanese;
    testing_support::writeFile(path, testing_support::logEndingWith(values));
    const Report report = inspect(path);
    const std::string& text = report.text;
    EXPECT_NE(text.find("line 6:   conversation: \"" + japanese.substr(0, 74 * 3) + "... (333 bytes)\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("line 4:   from: \"" + values.sender + "\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("line 2:   text: \"" + std::string(240 - 9, 't') + "... (241 bytes)\n"), std::string::npos)
        << text;
    std::size_t at = 0;
    for (int k = 12; k >= 1; --k) {
        const std::size_t next = text.find("\nline " + std::to_string(k) + ": ", at);
        ASSERT_NE(next, std::string::npos) << "line " << k << " missing or out of order\n" << text;
        at = next;
    }
    EXPECT_EQ(text.find("after the last line break"), std::string::npos) << text;

    // The age wraps at 32 bits as function2 answers it; a date before 1970
    // shows as it is.
    const std::int64_t past32Bits = platform::nowSeconds() + (std::int64_t{1} << 31) + 5;
    const std::int64_t before1970 = -365 * 86'400;
    for (const std::int64_t modified : {past32Bits, before1970}) {
        testing_support::setModified(path, modified);
        // A second may turn between the two: the report matches the age
        // asked just before it or just after.
        const std::string before = testing_support::moduleUnderTest().function2(path.c_str(), "");
        const std::string shown = inspect(path).text;
        const std::string after = testing_support::moduleUnderTest().function2(path.c_str(), "");
        EXPECT_TRUE(shown.find("\nage: " + before + " second") != std::string::npos ||
                    shown.find("\nage: " + after + " second") != std::string::npos)
            << before << " or " << after << "\n" << shown;
    }
    // (32-bit Wine keeps a file's time in 32 bits: the date past them is not
    // asked back.)
    const std::string shown = inspect(path).text;
    EXPECT_NE(shown.find("modified: 1969-01-01 00:00:00 UTC (" + std::to_string(before1970) + " seconds"),
              std::string::npos) << shown;
    testing_support::setModified(path, -1);  // the second before 1970, on the day before
    const std::string lastSecond = inspect(path).text;
    EXPECT_NE(lastSecond.find("modified: 1969-12-31 23:59:59 UTC (-1 seconds"), std::string::npos) << lastSecond;
    // A log with no line break has nothing after its last one.
    testing_support::writeFile(path, std::string(2000, 'x'));
    const std::string unbroken = inspect(path).text;
    EXPECT_EQ(unbroken.find("after the last line break"), std::string::npos) << unbroken;
}

// A pattern: the file it names now and why, the next ones by time, then that
// file's report; no match is a log that cannot be opened.
TEST(Explain, SaysWhichLogAPatternNamesAndExplainsIt) {
    testing_support::TempFolder folder;
    for (const auto& [name, modified] : {std::pair{"b.log", 300}, {"a.log", 300}, {"c.log", 200}, {"d.txt", 900}}) {
        testing_support::writeFile(folder.file(name), testing_support::logEndingWith({}));
        testing_support::setModified(folder.file(name), modified);
    }
    const Report report = inspect(folder.file("*.log"));
    EXPECT_EQ(report.status, explain::kAnswersFields);
    const std::string& text = report.text;
    EXPECT_TRUE(text.starts_with("pattern: " + folder.file("*.log") + "\n")) << text;
    const std::size_t names = text.find("names: " + folder.file("b.log") + ", the newest of 3 matching logs");
    const std::size_t next = text.find("next: " + folder.file("a.log"));
    const std::size_t last = text.find("next: " + folder.file("c.log"));
    EXPECT_TRUE(names != std::string::npos && names < next && next < last && last != std::string::npos) << text;
    EXPECT_EQ(text.find("next: " + folder.file("b.log")), std::string::npos) << text;
    EXPECT_NE(text.find("\nlog: " + folder.file("b.log") + "\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("d.txt"), std::string::npos) << text;
    EXPECT_EQ(text.find("skipped"), std::string::npos) << text;

    // Five next ones at most.
    for (int i = 0; i < 5; ++i) {
        const std::string name = folder.file("older" + std::to_string(i) + ".log");
        testing_support::writeFile(name, testing_support::logEndingWith({}));
        testing_support::setModified(name, 100 - i);
    }
    const std::string many = inspect(folder.file("*.log")).text;
    EXPECT_NE(many.find("next: " + folder.file("older2.log")), std::string::npos) << many;
    EXPECT_EQ(many.find("next: " + folder.file("older3.log")), std::string::npos) << many;
#ifndef _WIN32
    // Only the last part makes a pattern: a folder called st*r is a folder.
    std::filesystem::create_directory(folder.file("st*r"));
    testing_support::writeFile(folder.file("st*r/c.log"), testing_support::logEndingWith({}));
    EXPECT_TRUE(inspect(folder.file("st*r/c.log")).text.starts_with("log: ")) << "a pattern";
#endif

    const Report none = inspect(folder.file("*.none"));
    EXPECT_EQ(none.status, explain::kAnswersStatus);
    EXPECT_EQ(none.statusText, "Unable to open file.");
}

// A new conversation's log too small for a record is passed over, with why,
// and named once it holds one.
TEST(Explain, SaysWhichNewerLogsAPatternPassesOverAndWhy) {
    testing_support::TempFolder folder;
    const std::string whole = testing_support::logEndingWith({});
    testing_support::writeFile(folder.file("old.log"), whole);
    testing_support::setModified(folder.file("old.log"), 100);
    for (const auto& [bytes, why] : {std::pair{std::size_t{300}, "300 bytes, under the 1024-byte minimum"},
                                     {std::size_t{2000}, "3 line breaks, a record needs 13"}}) {
        testing_support::writeFile(folder.file("new.log"), std::string(bytes - 3, 'x') + "\n\n\n");
        testing_support::setModified(folder.file("new.log"), 200);
        const std::string text = inspect(folder.file("*.log")).text;
        EXPECT_NE(text.find("names: " + folder.file("old.log") + ", the newest of 2 matching logs that is not too "
                            "small for a record"), std::string::npos) << text;
        EXPECT_NE(text.find("passed over: " + folder.file("new.log") + ", modified 1970-01-01 00:03:20 UTC: too small "
                            "for a record (" + why + ")"), std::string::npos) << text;
    }
    testing_support::writeFile(folder.file("new.log"), whole);
    testing_support::setModified(folder.file("new.log"), 200);
    const std::string text = inspect(folder.file("*.log")).text;
    EXPECT_NE(text.find("names: " + folder.file("new.log") + ", the newest of 2 matching logs: "), std::string::npos)
        << text;
    EXPECT_EQ(text.find("passed over"), std::string::npos) << text;
    // None holds a record: the newest answers, and nothing was passed over.
    testing_support::writeFile(folder.file("old.log"), "x\n");
    testing_support::setModified(folder.file("old.log"), 100);
    testing_support::writeFile(folder.file("new.log"), "y\n");
    testing_support::setModified(folder.file("new.log"), 200);
    const std::string small = inspect(folder.file("*.log")).text;
    EXPECT_NE(small.find("names: " + folder.file("new.log") + ", the newest of 2 matching logs: "), std::string::npos)
        << small;
    EXPECT_NE(small.find("every match it looked at is too small for a record: the newest answers\nnext: " +
                         folder.file("old.log")), std::string::npos) << small;
    EXPECT_EQ(small.find("passed over"), std::string::npos) << small;
    // Both dated 1970, the newer too small: a pattern's first file is not
    // read at that date, so the newer is named, as the module answers.
    testing_support::writeFile(folder.file("old.log"), whole);
    testing_support::setModified(folder.file("old.log"), -10);
    testing_support::setModified(folder.file("new.log"), 0);
    const std::string dated1970 = inspect(folder.file("*.log")).text;
    EXPECT_NE(dated1970.find("names: " + folder.file("new.log") + ", the newest of 2"), std::string::npos) << dated1970;
}

// As many newer logs too small as the module passes over, and one more: the
// log named, what comes next and the log then inspected follow the module.
TEST(Explain, APatternPassesOverSixteenNewerLogsAtMost) {
    testing_support::TempFolder folder;
    for (const auto& [name, modified] : {std::pair{"old.log", 100}, {"older.log", 50}}) {
        testing_support::writeFile(folder.file(name), testing_support::logEndingWith({}));
        testing_support::setModified(folder.file(name), modified);
    }
    for (int i = 0; i <= 16; ++i) {
        testing_support::writeFile(folder.file("new" + std::to_string(10 + i) + ".log"), "x\n");
        testing_support::setModified(folder.file("new" + std::to_string(10 + i) + ".log"), 200 + i);
    }
    const std::string all = inspect(folder.file("*.log")).text;
    EXPECT_NE(all.find("names: " + folder.file("new26.log") + ", the newest of 19 matching logs: "), std::string::npos)
        << all;
    EXPECT_NE(all.find("every match it looked at is too small for a record: the newest answers"), std::string::npos);
    std::filesystem::remove(folder.file("new26.log"));
    const std::string sixteen = inspect(folder.file("*.log")).text;
    EXPECT_NE(sixteen.find("names: " + folder.file("old.log") + ", the newest of 18 matching logs that is not too"),
              std::string::npos) << sixteen;
    EXPECT_NE(sixteen.find("passed over: " + folder.file("new10.log")), std::string::npos) << sixteen;
    EXPECT_EQ(sixteen.find("every match"), std::string::npos) << sixteen;
    EXPECT_NE(sixteen.find("\nnext: " + folder.file("older.log")), std::string::npos) << sixteen;
    EXPECT_EQ(sixteen.find("next: " + folder.file("new")), std::string::npos) << sixteen;
    EXPECT_NE(sixteen.find("\nlog: " + folder.file("old.log") + "\n"), std::string::npos) << sixteen;
}

// A link is followed for its time and its read, as for a plain path; one to
// nothing is named as skipped, since the module passes over it unsaid.
// (Windows times a link by the link itself, for a plain path too.)
TEST(Explain, APatternFollowsALinkAndNamesOneToNothing) {
    if (platform::nameRules().windowsPaths) return;
    testing_support::TempFolder folder;
    testing_support::writeFile(folder.file("target.txt"), testing_support::logEndingWith({}));
    testing_support::setModified(folder.file("target.txt"), 300);
    std::error_code failed;
    std::filesystem::create_symlink(folder.file("target.txt"), folder.file("link.log"), failed);
    std::filesystem::create_symlink(folder.file("nothing"), folder.file("zz.log"), failed);
    if (failed) GTEST_SKIP() << "no symbolic links here: " << failed.message();
    const std::string text = inspect(folder.file("*.log")).text;
    EXPECT_NE(text.find("names: " + folder.file("link.log") + ", the newest of 1 matching log besides the 1 name "
                        "skipped: modified 1970-01-01 00:05:00 UTC"), std::string::npos) << text;
    EXPECT_NE(text.find("skipped: " + folder.file("zz.log") + ": its status cannot be read"), std::string::npos)
        << text;
    // The first ten such names are named, the rest counted; every match is
    // counted, past those the listing keeps too.
    for (int i = 0; i < 11; ++i) {
        std::filesystem::create_symlink(folder.file("nothing"), folder.file("zz" + std::to_string(i) + ".log"));
    }
    for (int i = 0; i < 24; ++i) testing_support::writeFile(folder.file("x" + std::to_string(i) + ".log"), "x\n");
    const std::string many = inspect(folder.file("*.log")).text;
    int named = 0;
    for (std::size_t at = many.find("\nskipped: " + folder.file("zz")); at != std::string::npos;
         at = many.find("\nskipped: " + folder.file("zz"), at + 1)) {
        ++named;
    }
    EXPECT_EQ(named, 10) << many;
    EXPECT_NE(many.find("\nskipped: 2 more matching names whose status cannot be read\n"), std::string::npos) << many;
    EXPECT_NE(many.find("the newest of 25 matching logs besides the 12 names skipped"), std::string::npos) << many;
}

TEST(Explain, ExitsWithWhatTheModuleAnswersOrAUsageError) {
    testing_support::TempFolder folder;
    const std::string good = folder.file("-good.log");
    testing_support::writeFile(good, testing_support::logEndingWith({}));
    const std::string small = folder.file("small.log");
    testing_support::writeFile(small, "x\n");
    const struct {
        std::vector<std::string> args;
        int status;
        const char* said;
    } cases[] = {
        {{good}, explain::kAnswersFields, "field 3 message: \"Hello there\""},
        {{"--", good}, explain::kAnswersFields, "field 3 message: \"Hello there\""},
        {{small}, explain::kAnswersStatus, "status: \"File too small.\""},
        {{"--", "-missing.log"}, explain::kAnswersStatus, "log: -missing.log"},
        {{}, explain::kUsageError, "no LOG given"},
        {{"-missing.log"}, explain::kUsageError, "unknown option -missing.log; a LOG whose name starts with - goes after --"},
        {{"--bogus"}, explain::kUsageError, "unknown option --bogus (see marlowick-explain --help)\n"},
        {{small, small}, explain::kUsageError, "one LOG at a time"},
        {{"--help"}, 0, "usage: marlowick-explain"},
        {{"-h"}, 0, "usage: marlowick-explain"},
        // After --, a second -- and a lone - are file names like any other.
        {{"--", "--"}, 1, "log: --"},
        {{"-"}, 1, "log: -\n"},
    };
    // The numbers README promises, not only the names.
    static_assert(explain::kAnswersFields == 0 && explain::kAnswersStatus == 1 && explain::kUsageError == 2);
    for (const auto& c : cases) {
        std::vector<const char*> argv{"marlowick-explain"};
        for (const std::string& arg : c.args) argv.push_back(arg.c_str());
        std::string out, err;
        EXPECT_EQ(explain::runCommandLine(static_cast<int>(argv.size()), argv.data(), out, err), c.status) << c.said;
        EXPECT_NE((out + err).find(c.said), std::string::npos) << c.said << "\n" << out << err;
        // A usage error goes to standard error, and nothing else does.
        EXPECT_EQ(err.empty(), c.status != explain::kUsageError) << c.said;
    }
}

}  // namespace
