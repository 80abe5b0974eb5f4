#pragma once
// The test side of the platform seam: files live in memory, every call is
// counted, and faults are scripted. Programs linked with it instead of the
// real seam never touch the disk.

#include <cstdint>
#include <functional>
#include <string>

namespace fake_platform {

struct File {
    std::string bytes;
    std::int64_t modified = 0;
    bool regular = true;
    bool openable = true;  // false: status works, opening fails (no permission)
};

struct Calls {
    int stat = 0;
    int open = 0;  // tried, whether or not it opened
    int read = 0;
    int size = 0;  // sizes asked again after the open
    int list = 0;  // folder listings
    int close = 0;
    std::int64_t bytesRead = 0;
};

// Paths are folder/name; a folder exists while it holds a file, and "" is
// the current folder.
// Forgets every file, counter, fault and the clock.
void reset();
void put(const std::string& path, File file);
File& file(const std::string& path);
void remove(const std::string& path);
// The calendar clock, in seconds; the steady clock reads it in milliseconds,
// plus those advanced.
void setNow(std::int64_t seconds);
void advanceMilliseconds(std::int64_t milliseconds);
// Each folder listing moves the steady clock on by this much, as a slow one.
void eachListingTakes(std::int64_t milliseconds);
Calls& calls();

// Runs before every positioned read, with the path being read: a test can
// change or shrink the file between the size query and the read.
void beforeEachRead(std::function<void(const std::string& path)> hook);
// Runs before every open, with the path being opened: a test can remove the
// file between its listing and its open.
void beforeEachOpen(std::function<void(const std::string& path)> hook);
// Makes every read after the first `count` fail.
void failReadsAfter(int count);

}  // namespace fake_platform
