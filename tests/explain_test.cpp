// marlowick-explain's report against the module it explains: on logs of every
// shape, each `field N NAME: "VALUE"` line must read back as exactly what
// function1 answers for that log read fresh, and the exit status must say
// whether the module answers fields or a status text.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "explain/inspection.h"
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
    testing_support::forgetLastRead();
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

TEST(Explain, SaysWhyTheModuleAnswersAStatusText) {
    testing_support::TempFolder folder;
    const std::string small = folder.file("small.log");
    testing_support::writeFile(small, "  text: \"short\"\n");
    const struct {
        std::string path, status, reason;
    } cases[] = {
        {folder.file("missing.log"), "Unable to open file.", "no such file or folder"},
        {folder.path().string(), "Unable to open file.", "it is a folder"},
        {small, "File too small.", "16 bytes, under the 1024-byte minimum"},
    };
    for (const auto& c : cases) {
        const Report report = inspect(c.path);
        EXPECT_EQ(report.status, explain::kAnswersStatus) << c.path;
        EXPECT_EQ(report.statusText, c.status) << c.path;
        EXPECT_NE(report.text.find(c.reason), std::string::npos) << report.text;
    }
}

}  // namespace
