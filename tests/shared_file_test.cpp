// A log open in the file layer must not stand in the messaging client's way:
// it can be renamed and deleted meanwhile, and the open handle still reads.

#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/file_times.h"
#include "tests/support/temp_log.h"

namespace {

TEST(SharedFile, TheLogCanBeRenamedAndDeletedWhileOpen) {
    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");
    const std::string rotated = folder.file("chat.1.log");
    testing_support::writeFile(log, "rotate me");
    const platform::SharedFile file = platform::SharedFile::open(log.c_str());
    ASSERT_TRUE(file.isOpen());

    std::error_code error;
    std::filesystem::rename(log, rotated, error);
    EXPECT_FALSE(error) << "rename: " << error.message();
    EXPECT_TRUE(std::filesystem::remove(rotated, error)) << "delete: " << error.message();

    char bytes[9] = {};
    EXPECT_EQ(file.readAt(0, bytes, sizeof bytes), 9);
    EXPECT_EQ(std::string(bytes, sizeof bytes), "rotate me");
}

// Times count whole seconds, rounded down on both OSes also before 1970:
// half a second before is second -1, as POSIX reports it, not 0.
// Why an open failed is kept by the file it gave, and an open file has no
// such reason.
TEST(SharedFile, KeepsWhyItCouldNotBeOpened) {
    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");
    testing_support::writeFile(log, "x");
    EXPECT_EQ(platform::SharedFile::open(log.c_str()).openError(), 0);
    EXPECT_GT(platform::SharedFile::open(folder.file("missing.log").c_str()).openError(), 0);
    EXPECT_EQ(platform::SharedFile::open(nullptr).openError(), platform::kNoPath);
    EXPECT_NE(platform::SharedFile::open(folder.path().string().c_str()).openError(), 0);
}

TEST(FileStatus, TimesBefore1970AreRoundedDown) {
    testing_support::TempFolder folder;
    const std::string log = folder.file("old.log");
    testing_support::writeFile(log, "x");
    const struct {
        long long milliseconds, seconds;
    } cases[] = {{-500, -1}, {-1500, -2}, {-1000, -1}, {500, 0}, {1000, 1}};
    for (const auto& c : cases) {
        if (!testing_support::setModifiedMilliseconds(log, c.milliseconds)) {
            GTEST_SKIP() << "this file system cannot date a file " << c.milliseconds << " ms after 1970";
        }
        EXPECT_EQ(platform::statFile(log.c_str()).modifiedSeconds, c.seconds) << c.milliseconds << " ms";
    }
}

}  // namespace
