// The module polled in a tight loop while another process appends to the log
// as fast as it can. Whatever moment a read catches, every answer must be a
// status text or something the writer really wrote.

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "record/field_cache.h"
#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

extern char** environ;

namespace {

// Record numbers become '#', so one record's lines stand for all of them;
// `largest` keeps the largest number met.
std::string withoutNumbers(const std::string& text, long* largest = nullptr) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t digits = std::min(text.find_first_not_of("0123456789", i), text.size()) - i;
        if (digits == 0) {
            out += text[i++];
            continue;
        }
        if (largest != nullptr) *largest = std::max(*largest, std::stol(text.substr(i, std::min<std::size_t>(digits, 18))));
        out += '#';
        i += digits;
    }
    return out;
}

// What a read can answer, by what the writer writes: a status text, a whole
// line (a line holding no value is answered whole), or a value the writer put
// in quotes or parentheses, the enveloped message also without its envelope.
std::set<std::string> possibleAnswers() {
    std::set<std::string> answers = {"Unable to open file.", "File too small.", ""};
    const char* lines[] = {
        "<message>", "  sent: today (t#)", "  id: #", "  direction: incoming", "  service: \"SAMETIME\"",
        "  service: \"XMPP\"", "  account: \"bram.oakes\"", "  conversation: \"c#\"", "  status: \"delivered\"",
        "  from: \"s#\"", "  format: \"text/html\"", "  text: \"m#\"",
        "  text: \"&lt;html&gt;&lt;body&gt;m#&lt;/body&gt;&lt;/html&gt;\"", "</message>",
    };
    answers.insert(std::begin(lines), std::end(lines));
    const char* values[] = {
        "t#", "SAMETIME", "XMPP", "bram.oakes", "c#", "delivered", "s#", "text/html", "m#",
        "&lt;html&gt;&lt;body&gt;m#&lt;/body&gt;&lt;/html&gt;",
    };
    answers.insert(std::begin(values), std::end(values));
    return answers;
}

TEST(LiveWriter, EveryAnswerIsSomethingTheWriterWrote) {
    const auto function1 = testing_support::moduleUnderTest().function1;
    const auto function2 = testing_support::moduleUnderTest().function2;

    testing_support::TempFolder folder;
    const std::string log = folder.file("live.log");
    const std::string count = folder.file("count.txt");
    testing_support::writeFile(log, "");
    constexpr int kSeconds = 4;

    const std::string seconds = std::to_string(kSeconds);
    const std::string command = std::string(LIVE_WRITER_PATH) + " '" + log + "' " + seconds + " > '" + count + "'";
    char* const argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()),
                          nullptr};
    pid_t writer = 0;
    ASSERT_EQ(::posix_spawn(&writer, "/bin/sh", nullptr, nullptr, argv, environ), 0);

    const std::set<std::string> possible = possibleAnswers();
    long polls = 0, reads = 0, largestNumber = 0;
    std::set<std::string> seen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(kSeconds);
    // The module remembers one log fewer than there are spellings here, so a
    // poll of each in turn finds none remembered and reads the log afresh.
    std::vector<std::string> spellings;
    for (std::size_t dots = 0; dots <= record::FieldCache::kLogs; ++dots) {
        std::string spelling = folder.path().string();
        for (std::size_t i = 0; i < dots; ++i) spelling += "/.";
        spellings.push_back(spelling + "/live.log");
    }
    while (std::chrono::steady_clock::now() < until) {
        ++polls;
        const std::string& path = polls % 2 == 0 ? spellings[static_cast<std::size_t>(++reads) % spellings.size()] : log;
        const std::string answer = function1(path.c_str(), std::to_string(polls % 6).c_str());
        const std::string shape = withoutNumbers(answer, &largestNumber);
        ASSERT_EQ(possible.count(shape), 1u) << "not written: " << answer;
        seen.insert(shape);
        ASSERT_NE(std::string(function2(log.c_str(), "")).find_first_of("0123456789"), std::string::npos);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    long written = 0;
    if (std::FILE* file = std::fopen(count.c_str(), "r")) {
        if (std::fscanf(file, "%ld", &written) != 1) written = 0;
        std::fclose(file);
    }
    EXPECT_GT(written, 0);
    EXPECT_LE(largestNumber, written);
    EXPECT_GT(seen.size(), 3u) << "the polls saw too little of the log to prove anything";
}

}  // namespace
