// The real file layer's read loop, with pread64 wrapped at link time
// (-Wl,--wrap=pread64) so that it reads at most a few bytes a call and is
// interrupted now and then, as a read from a network share or under signals
// may be. Local files never read short, so nothing else runs this loop.

#include <gtest/gtest.h>

#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "tests/support/tail_read.h"
#include "tests/support/temp_log.h"

namespace {

int calls = 0;

}  // namespace

extern "C" ssize_t __real_pread64(int fd, void* buffer, std::size_t count, off64_t offset);

extern "C" ssize_t __wrap_pread64(int fd, void* buffer, std::size_t count, off64_t offset) {
    if (++calls % 3 == 0) {
        errno = EINTR;
        return -1;
    }
    return __real_pread64(fd, buffer, std::min<std::size_t>(count, 7), offset);
}

namespace {

TEST(ShortReads, TheReaderGathersEveryByteOfABlock) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("chat.log");
    testing_support::RecordValues values{"09:15:00", "Ada Quinn", "SAMETIME",
                                         "&lt;html&gt;&lt;body&gt;" + std::string(1500, 'm') + "&lt;/body&gt;&lt;/html&gt;",
                                         "Team lunch"};
    testing_support::writeFile(path, testing_support::logEndingWith(values));

    const testing_support::TailRead read = testing_support::readTail(path.c_str());
    ASSERT_FALSE(read.failed) << read.field[5];
    EXPECT_EQ(read.field[0], "09:15:00");
    EXPECT_EQ(read.field[1], "Ada Quinn");
    EXPECT_EQ(read.field[3], std::string(1500, 'm'));
    EXPECT_EQ(read.field[4], "Team lunch");
    EXPECT_GT(calls, 2 * 1024 / 7) << "the reads did not go through the wrapper";
}

}  // namespace
