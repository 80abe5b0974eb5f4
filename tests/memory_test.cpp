// What the module keeps over many polls, through the entry points as the
// host calls them, on the fake file layer (its clock is the test's), counted
// in heap bytes not given back. (The fake layer itself allocates at every
// call, so the number of allocations says nothing here.)

#include <gtest/gtest.h>

#include <string>

#include "plugin/exports.h"
#include "tests/support/counted_heap.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_log.h"

namespace {

using testing_support::heapCount;

constexpr std::int64_t kModified = 1'000'000;

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_platform::reset();
        fake_platform::setNow(kModified + 10);
    }
    // Each test has a log of its own: the module under test lives on.
    const std::string log = ::testing::UnitTest::GetInstance()->current_test_info()->name() + std::string(".log");
};

TEST_F(MemoryTest, ALongFieldPolledOnAnUnchangedLogIsKeptOnce) {
    testing_support::RecordValues values;
    values.text = std::string(100 * 1024, 'm');
    fake_platform::put(log, {std::string(200 * 1024, 'x') + testing_support::logEndingWith(values), kModified});
    const std::size_t before = heapCount().liveBytes;
    const char* first = function1(log.c_str(), "3");
    for (int i = 0; i < 10'000; ++i) ASSERT_EQ(function1(log.c_str(), "3"), first);
    EXPECT_EQ(std::string(first), values.text);
    // The field as cut, and the one text handed out; the bytes read are let go.

    EXPECT_LE(heapCount().liveBytes - before, 2 * values.text.size() + 1024);
}

TEST_F(MemoryTest, FieldsAndAgesPolledOnAnUnchangedLogKeepNothingAfterTheFirstCycle) {
    fake_platform::put(log, {testing_support::logEndingWith({}), kModified});
    constexpr int kCycle = 60;  // ages 10 to 69, again and again
    const auto pollEverything = [&](int poll) {
        fake_platform::setNow(kModified + 10 + poll % kCycle);
        for (const char* field : {"0", "1", "2", "3", "4"}) function1(log.c_str(), field);
        function2(log.c_str(), "");
    };
    for (int poll = 0; poll < kCycle; ++poll) pollEverything(poll);
    const std::size_t before = heapCount().liveBytes;
    for (int poll = kCycle; poll < 100'000; ++poll) pollEverything(poll);
    EXPECT_EQ(heapCount().liveBytes, before);
}

// Both sides: a change is new text, handed out once, and an answer that did
// not change stays the same text meanwhile.
TEST_F(MemoryTest, AChangedAnswerIsANewTextAndAnUnchangedOneIsNot) {
    testing_support::RecordValues values;
    fake_platform::put(log, {testing_support::logEndingWith(values), kModified});
    const char* sender = function1(log.c_str(), "1");
    const char* text = function1(log.c_str(), "3");
    values.text = "changed";
    fake_platform::put(log, {testing_support::logEndingWith(values), kModified + 1});
    const char* changed = function1(log.c_str(), "3");
    EXPECT_NE(changed, text);
    EXPECT_STREQ(changed, "changed");
    EXPECT_STREQ(text, "Hello there");  // what was handed out stays as it was
    EXPECT_EQ(function1(log.c_str(), "1"), sender);
    EXPECT_EQ(function1(log.c_str(), "3"), changed);
}

}  // namespace
