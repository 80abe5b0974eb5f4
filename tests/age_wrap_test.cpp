// The age through the module's entry point, of a log dated now and of one
// dated past 2106. Its skip, where a file cannot be dated so, is an exception
// under Wine, which Wine under qemu cannot handle: the test has its own
// program and label (tests/CMakeLists.txt).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "tests/support/module_under_test.h"
#include "tests/support/temp_log.h"

namespace {

TEST(AgeWrap, TheAgeIsTheLowThirtyTwoBitsOfTheDifference) {
    const host::EntryPoints& entry = testing_support::moduleUnderTest();
    const testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");
    testing_support::writeFile(log, "x");
    const std::int64_t now = platform::nowSeconds();
    testing_support::setModified(log, now - 90);
    const std::string age = entry.function2(log.c_str(), "ignored");
    EXPECT_TRUE(age == "90" || age == "91") << age;  // the clock may tick once

    // 2^32 + 5 seconds ahead: the 64-bit difference printed whole would be
    // -4294967301.
    const std::int64_t farAhead = now + (std::int64_t{1} << 32) + 5;
    testing_support::setModified(log, farAhead);
    if (platform::statFile(log.c_str()).modifiedSeconds != farAhead) {
        GTEST_SKIP() << "this file system cannot date a file past 2106";
    }
    const std::string wrapped = entry.function2(log.c_str(), "");
    EXPECT_TRUE(wrapped == "-5" || wrapped == "-4") << wrapped;
}

}  // namespace
