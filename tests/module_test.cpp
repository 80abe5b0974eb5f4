// The built module, loaded the way the host loads it and called only through
// its exported names.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file.h"
#include "plugin/exports.h"
#include "tests/support/held_for_writing.h"
#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

namespace {

class ModuleTest : public ::testing::Test {
protected:
    const testing_support::ModuleEntryPoints& entry = testing_support::moduleUnderTest();
};

TEST_F(ModuleTest, InitAndFiniChangeNothing) {
    const auto [module, minimum, init, fini, function1, function2] = entry;
    EXPECT_EQ(minimum(), 1000);
    fini();
    init();
    init();
    EXPECT_EQ(minimum(), 1000);
    fini();
    EXPECT_EQ(minimum(), 1000);
}

TEST_F(ModuleTest, AnswersBothQueriesAboutALog) {
    const auto [module, minimum, init, fini, function1, function2] = entry;
    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");

    // After a failed read the cache holds no field, and a log from 1970 is not newer.
    EXPECT_STREQ(function1(nullptr, "3"), "Unable to open file.");
    testing_support::writeFile(log, testing_support::logEndingWith({}));
    testing_support::setModified(log, 0);
    EXPECT_STREQ(function1(log.c_str(), "3"), "");

    testing_support::RecordValues values{"14:20:01", "Cem Ilgaz", "SAMETIME",
                                         "&lt;html&gt;&lt;body&gt;Build is green&lt;/body&gt;&lt;/html&gt;", "Release"};
    testing_support::writeFile(log, testing_support::logEndingWith(values));
    EXPECT_STREQ(function1(log.c_str(), "3"), "Build is green");
    EXPECT_STREQ(function1(log.c_str(), "0"), "14:20:01");
    EXPECT_STREQ(function1(log.c_str(), nullptr), "14:20:01");
    EXPECT_STREQ(function1(log.c_str(), "2"), "SAMETIME");
    for (const char* bad : {"6", "-1", "4294967299", "5"}) EXPECT_STREQ(function1(log.c_str(), bad), "") << bad;

    const char* first = function1(log.c_str(), "1");
    const char* again = function1(log.c_str(), "1");
    EXPECT_NE(first, again);
    EXPECT_STREQ(first, "Cem Ilgaz");

    testing_support::setModified(log, platform::nowSeconds() - 90);
    const std::string age = function2(log.c_str(), nullptr);
    EXPECT_TRUE(age == "90" || age == "91") << age;  // the clock may tick once
    EXPECT_STREQ(function2(log.c_str(), ""), function2(log.c_str(), "anything"));

    EXPECT_STREQ(function1(nullptr, "3"), "Unable to open file.");
    EXPECT_STREQ(function1(nullptr, nullptr), "Unable to open file.");
    EXPECT_STREQ(function1("", "3"), "Unable to open file.");
    EXPECT_STREQ(function2(nullptr, nullptr), "Unable to open file.");
    EXPECT_STREQ(function2(folder.file("missing").c_str(), ""), "Unable to open file.");
}

// Where a fresh frame starts: it moves if calls through the
// entry-point pointers leave the stack pointer elsewhere, as a caller and
// callee that disagree on who pops the arguments do.
__attribute__((noinline)) std::uintptr_t stackMark() {
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
}

TEST_F(ModuleTest, ManyCallsLeaveTheStackBalanced) {
    const auto [module, minimum, init, fini, function1, function2] = entry;
    const std::uintptr_t before = stackMark();
    int sum = 0;
    for (int i = 0; i < 20000; ++i) {
        init();
        sum += minimum();
        sum += function1(nullptr, "3")[0] == 'U' ? 1 : 0;
        sum += function2(nullptr, nullptr)[0] == 'U' ? 1 : 0;
        fini();
    }
    EXPECT_EQ(stackMark(), before);
    EXPECT_EQ(sum, 20000 * 1002);
}

TEST_F(ModuleTest, ReadsALogThatTheWriterHoldsOpen) {
    const auto function1 = entry.function1;
    testing_support::TempFolder folder;
    const std::string log = folder.file("held.log");
    testing_support::RecordValues values;
    values.text = "written while held";
    testing_support::writeFile(log, testing_support::logEndingWith(values));
    function1(nullptr, "0");  // a failed read makes the next log newer than the cache, whatever ran before
    const testing_support::HeldForWriting writer(log);
    ASSERT_TRUE(writer.isOpen());
    EXPECT_STREQ(function1(log.c_str(), "3"), "written while held");
}

}  // namespace
