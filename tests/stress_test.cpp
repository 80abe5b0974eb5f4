// Overlapping calls from many threads while the logs' modification times keep
// moving, so reads and cached answers interleave. Run under ThreadSanitizer
// by the linux-tsan preset.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <utility>
#include <string>
#include <thread>
#include <vector>

#include "platform/file.h"
#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

namespace {

bool isInteger(const std::string& text) {
    int value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && parsed.ec == std::errc{} && parsed.ptr == text.data() + text.size();
}

TEST(Stress, OverlappingCallsAnswerOnlyWhatTheLogsHold) {
    const auto function1 = testing_support::moduleUnderTest().function1;
    const auto function2 = testing_support::moduleUnderTest().function2;

    testing_support::TempFolder folder;
    const std::string logs[2] = {folder.file("a.log"), folder.file("b.log")};
    const testing_support::RecordValues a{"a0", "a1", "SAMETIME", "&lt;html&gt;&lt;body&gt;a3&lt;/body&gt;&lt;/html&gt;", "a4"};
    const testing_support::RecordValues b{"b0", "b1", "XMPP", "b3", "b4"};
    testing_support::writeFile(logs[0], testing_support::logEndingWith(a));
    testing_support::writeFile(logs[1], testing_support::logEndingWith(b));
    // What each log answers, by field number; "" for 5 after a good read.
    const std::string valid[2][6] = {{"a0", "a1", "SAMETIME", "a3", "a4", ""}, {"b0", "b1", "XMPP", "b3", "b4", ""}};

    // Each touch makes one log newer than its last read.
    std::atomic<bool> done{false};
    std::thread toucher([&] {
        std::int64_t modified = platform::nowSeconds() - 100'000;
        for (int i = 0; !done; ++i) {
            testing_support::setModified(logs[i % 2], ++modified);
            std::this_thread::yield();
        }
    });

    constexpr std::size_t kThreads = 8;
    constexpr std::size_t kCallsPerThread = 4000;
    std::vector<std::pair<const char*, std::string>> handedOut[kThreads];
    std::vector<std::string> wrong[kThreads];
    std::vector<std::thread> pollers;
    for (std::size_t t = 0; t < kThreads; ++t) {
        pollers.emplace_back([&, t] {
            for (std::size_t i = 0; i < kCallsPerThread; ++i) {
                const std::size_t which = (i + t) % 2;
                const std::string& log = logs[which];
                const std::size_t field = (i * 5 + t) % 7;  // 6 asks for the age
                const char* answer = field == 6 ? function2(log.c_str(), "")
                                                : function1(log.c_str(), std::to_string(field).c_str());
                handedOut[t].emplace_back(answer, answer);
                const bool ok = field == 6 ? isInteger(answer) : valid[which][field] == answer;
                if (!ok) wrong[t].push_back(std::to_string(field) + ": " + answer);
            }
        });
    }
    for (std::thread& poller : pollers) poller.join();
    done = true;
    toucher.join();

    std::size_t changed = 0;
    for (std::size_t t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(wrong[t].empty()) << "thread " << t << " got " << wrong[t].size() << " wrong answers, first "
                                      << (wrong[t].empty() ? "" : wrong[t].front());
        for (const auto& [text, asGiven] : handedOut[t]) changed += asGiven != text;
    }
    EXPECT_EQ(changed, 0u) << "a text handed out was changed later";
}

}  // namespace
