// Heap allocations made by the field query over the real file layer, counted
// by replacing the global operator new in this program. Once the module has
// read a record, a re-read of one that fits in one block reuses the buffers
// of the last read, and a cached poll only looks its field up: neither
// allocates.

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <string_view>

#include "record/field_cache.h"
#include "tests/support/counted_heap.h"
#include "tests/support/temp_log.h"

namespace {

std::size_t allocations() { return testing_support::heapCount().allocations; }

TEST(Allocations, NoneForACachedPollOrAOneBlockReRead) {
    testing_support::TempFolder folder;
    const std::string log = folder.file("chat.log");
    testing_support::RecordValues values;
    values.service = "SAMETIME";  // the envelope comes off in place
    values.text = "&lt;html&gt;&lt;body&gt;a message longer than any short-string buffer&lt;/body&gt;&lt;/html&gt;";
    testing_support::writeFile(log, testing_support::logEndingWith(values));
    testing_support::setModified(log, 100);
    record::FieldCache cache;
    ASSERT_EQ(cache.queryField(log.c_str(), "3").text, "a message longer than any short-string buffer");

    testing_support::setModified(log, 101);
    const std::size_t before = allocations();
    EXPECT_EQ(cache.queryField(log.c_str(), "3").text, "a message longer than any short-string buffer");
    EXPECT_EQ(cache.queryField(log.c_str(), "1").text, values.sender);
    EXPECT_EQ(allocations() - before, 0u);

    // Polled in turn with another log, each remembered apart: still none.
    const std::string other = folder.file("other chat with a name past any short-string buffer.log");
    testing_support::writeFile(other, testing_support::logEndingWith({}));
    ASSERT_EQ(cache.queryField(other.c_str(), "3").text, "Hello there");
    const std::size_t polledInTurn = allocations();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cache.queryField(other.c_str(), "3").text, "Hello there");
        EXPECT_EQ(cache.queryField(log.c_str(), "1").text, values.sender);
    }
    EXPECT_EQ(allocations() - polledInTurn, 0u);

    // The counter sees an allocation made here, so a zero above is no blind spot.
    static void* volatile kept;
    kept = ::operator new(16);
    EXPECT_EQ(allocations() - polledInTurn, 1u);
    ::operator delete(kept);
}

// A pattern polled before lists its folder again into buffers it has.
TEST(Allocations, NoneForACachedPollOfAPattern) {
    testing_support::TempFolder folder;
    for (int i = 0; i < 20; ++i) {
        const std::string log = folder.file("a log named past any short-string buffer " + std::to_string(i) + ".log");
        testing_support::writeFile(log, testing_support::logEndingWith({}));
        testing_support::setModified(log, 100 + i);
    }
    const std::string pattern = folder.file("*.log");
    record::FieldCache cache;
    ASSERT_EQ(cache.queryField(pattern.c_str(), "3").text, "Hello there");
    const std::size_t before = allocations();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(cache.queryField(pattern.c_str(), "1").text, "Ada Quinn");
    EXPECT_EQ(allocations() - before, 0u);
}

// A buffer grown for a long line is let go at the next read; one up to
// 64 KiB is kept for the reads to come.
TEST(Allocations, ABufferGrownForALongLineIsLetGoAtTheNextRead) {
    testing_support::TempFolder folder;
    const std::string longLog = folder.file("long.log");
    const std::string shortLog = folder.file("short.log");
    testing_support::RecordValues values;
    values.text = std::string(300 * 1024, 'm');
    testing_support::writeFile(longLog, testing_support::logEndingWith(values));
    testing_support::writeFile(shortLog, testing_support::logEndingWith({}));
    record::TailRecord tail;
    const std::size_t before = testing_support::heapCount().liveBytes;
    ASSERT_EQ(tail.read(longLog.c_str()), record::ReadStatus::kRecord);
    EXPECT_GE(testing_support::heapCount().liveBytes - before, values.text.size());
    ASSERT_EQ(tail.read(shortLog.c_str()), record::ReadStatus::kRecord);
    EXPECT_LE(testing_support::heapCount().liveBytes - before, record::kKeptTailBytes);
}

// A record found past the bytes kept has its lines read again once the block
// that counted its breaks is let go: at the peak, the record's bytes and the
// kept ones it is moved from, never a third buffer of 64 KiB besides.
TEST(Allocations, TheCountingBlockIsLetGoBeforeAFarRecordIsRead) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("far.log");
    testing_support::RecordValues values;
    values.text = std::string(200 * 1024, 'm');
    const std::string log = testing_support::logEndingWith(values);
    testing_support::writeFile(path, log);
    record::TailRecord tail;
    const std::size_t before = testing_support::heapCount().liveBytes;
    testing_support::resetPeak();
    ASSERT_EQ(tail.read(path.c_str()), record::ReadStatus::kRecord);
    const std::size_t recordBytes = log.size() - log.rfind('\n', log.find(values.text));
    EXPECT_LE(testing_support::heapCount().peakLiveBytes - before, recordBytes + 64 * 1024 + 4 * 1024);
}

}  // namespace
