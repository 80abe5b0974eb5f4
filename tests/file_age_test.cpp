#include "plugin/file_age.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/file.h"
#include "tests/support/temp_log.h"

namespace {

TEST(DisplayedAge, KeepsTheLowThirtyTwoBitsOfTheDifference) {
    constexpr std::int64_t kNow = 1'700'000'000;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const struct {
        std::int64_t now, modified;
        std::int32_t expected;
    } cases[] = {
        {kNow, kNow - 90, 90},
        {kNow, kNow, 0},
        {kNow, kNow + 5, -5},
        {kNow, kNow - (std::int64_t{1} << 32) - 90, 90},
        {kNow, kNow - (std::int64_t{1} << 31), std::numeric_limits<std::int32_t>::min()},
        {kMax, kMin, -1},  // the 64-bit difference itself overflows
        {kMin, kMax, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(plugin::displayedAge(c.now, c.modified), c.expected) << c.modified;
}

TEST(FileAgeQuery, AnswersSecondsSinceTheLastChangeAsText) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("chat.log");
    testing_support::writeFile(path, "x");
    record::FieldCache fields;
    for (const std::int64_t age : {90, 0, -5}) {
        const std::int64_t before = platform::nowSeconds();
        testing_support::setModified(path, before - age);
        const std::string answer = plugin::queryFileAge(path.c_str(), fields);
        // The clock may tick once between setting the time and the query.
        EXPECT_TRUE(answer == std::to_string(age) || answer == std::to_string(age + 1)) << answer;
    }
    EXPECT_STREQ(plugin::queryFileAge(folder.file("missing").c_str(), fields), "Unable to open file.");
    EXPECT_STREQ(plugin::queryFileAge(nullptr, fields), "Unable to open file.");
}

}  // namespace
