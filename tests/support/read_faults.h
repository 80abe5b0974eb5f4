#pragma once
// Faults put into the real file layer's system calls, through the table each
// OS's backend calls them by (platform/system_calls_*.h): the read loop and
// the open run as they ship, on reads that come back short, interrupted,
// empty or failing, as reads from a network share, under signals or of a
// file emptied meanwhile may.

#include <cstddef>
#include <string>

namespace testing_support {

struct ReadFaults {
    std::size_t readAtMost = 0;    // bytes a read returns at most; 0: all asked for
    int interruptEvery = 0;        // every n-th read is interrupted (EINTR; POSIX only)
    int interruptedOpens = 0;      // the first n opens are interrupted (EINTR; POSIX only)
    bool readsFail = false;        // every read fails
    bool readsFindTheEnd = false;  // every read finds the end, as in a file just emptied
    long long cutBeforeFirstRead = -1;  // >= 0: the file is cut to this size just before the first read
};

// Puts the faults in place while it lives, and counts the reads made.
class FaultyFileLayer {
public:
    explicit FaultyFileLayer(const ReadFaults& faults);
    ~FaultyFileLayer();
    FaultyFileLayer(const FaultyFileLayer&) = delete;
    FaultyFileLayer& operator=(const FaultyFileLayer&) = delete;

    static int reads();
};

}  // namespace testing_support
