// Hostile paths and files through the module's entry points: each gets a
// defined answer at once. A call that blocked would run into the test's
// time limit.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

namespace {

constexpr const char* kUnable = "Unable to open file.";
constexpr const char* kTooSmall = "File too small.";

class BadInputTest : public ::testing::Test {
protected:
    static std::string field(const std::string& path, const char* number = "3") {
        return function1(path.c_str(), number);
    }

    static bool isAge(const std::string& text) {
        return !text.empty() && text.find_first_not_of("-0123456789") == std::string::npos;
    }

    static inline const auto function1 = testing_support::moduleUnderTest().function1;
    static inline const auto function2 = testing_support::moduleUnderTest().function2;
    testing_support::TempFolder folder;
};

TEST_F(BadInputTest, MissingNullAndEmptyArguments) {
    EXPECT_STREQ(function1(nullptr, nullptr), kUnable);
    EXPECT_STREQ(function2(nullptr, nullptr), kUnable);
    EXPECT_STREQ(function1("", "3"), kUnable);
    EXPECT_STREQ(function2("", ""), kUnable);
    const std::string tooLong = "/" + std::string(5000, 'p');
    EXPECT_STREQ(function1(tooLong.c_str(), "3"), kUnable);
    EXPECT_STREQ(function2(tooLong.c_str(), ""), kUnable);
}

TEST_F(BadInputTest, PathsThatAreNoRegularFile) {
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {folder.path().string(), fifo, std::string("/dev/null"), std::string("/dev/zero")}) {
        EXPECT_EQ(field(path), kUnable) << path;
        EXPECT_TRUE(isAge(function2(path.c_str(), ""))) << path;  // they have a status all the same
    }
}

TEST_F(BadInputTest, RandomBytesWithNulsAndNoLineBreaks) {
    std::mt19937 random(5);
    std::string bytes(64 * 1024, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() % 256);
        if (byte == '\n') byte = '\0';
    }
    const std::string path = folder.file("random.bin");
    testing_support::writeFile(path, bytes);
    EXPECT_EQ(field(path), kTooSmall);
}

TEST_F(BadInputTest, ALogTheUserMayNotRead) {
    const std::string path = folder.file("private.log");
    testing_support::writeFile(path, testing_support::logEndingWith({}));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(field(path), kUnable);
        return;
    }
    // Root reads anything: ask as the unprivileged "nobody" in a child process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(field(path) == kUnable && isAge(function2(path.c_str(), "")) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot switch to the user nobody to test without permission";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an unreadable log did not answer \"Unable to open file.\"";
}

// Every listing and read gives its descriptor back: polled many more times
// than the process may hold files open, a pattern still answers.
TEST_F(BadInputTest, APatternPolledMoreTimesThanFilesMayBeOpenLosesNoDescriptor) {
    const std::string log = folder.file("chat.log");
    testing_support::writeFile(log, testing_support::logEndingWith({}));
    testing_support::setModified(log, 1'000'000);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const auto open = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    rlimit lowered = limit;
    lowered.rlim_cur = static_cast<rlim_t>(open + 8);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::string answers;
    for (int i = 1; i <= 100; ++i) {
        // A pattern text of its own each time: each lists the folder and reads.
        const std::string pattern = folder.file(std::string(static_cast<std::size_t>(i), '*') + ".log");
        if (field(pattern) != "Hello there") answers += std::to_string(i) + " ";
    }
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(answers, "") << "polls that did not answer";
}

TEST_F(BadInputTest, ALogTruncatedOrReplacedWhileItIsRead) {
    const std::string path = folder.file("churn.log");
    const std::string spare = folder.file("spare.log");
    const std::string full = testing_support::logEndingWith({});
    testing_support::writeFile(path, full);
    std::atomic<bool> done{false};
    std::thread churn([&] {
        std::int64_t modified = 1'000'000;
        for (int i = 0; !done; ++i) {
            if (i % 3 == 0) std::filesystem::resize_file(path, 500);
            if (i % 3 == 1) testing_support::writeFile(path, full);
            if (i % 3 == 2) {
                testing_support::writeFile(spare, full);
                std::filesystem::rename(spare, path);
            }
            testing_support::setModified(path, ++modified);
        }
    });
    // Any mix of the versions is made of the same bytes: an answer is a status
    // text or a piece of one line of the full log.
    for (int i = 0; i < 20000; ++i) {
        const std::string answer = function1(path.c_str(), std::to_string(i % 6).c_str());
        if (answer == kTooSmall || answer == kUnable) continue;
        ASSERT_EQ(answer.find('\n'), std::string::npos) << answer;
        ASSERT_NE(full.find(answer), std::string::npos) << answer;
    }
    done = true;
    churn.join();
}

}  // namespace
