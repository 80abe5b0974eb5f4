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
    int interruptedListings = 0;        // the first n calls that list a folder are interrupted (EINTR; POSIX only)
    bool listingsFail = false;          // every call that lists a folder fails
    bool listingsFailAtTheEnd = false;  // the call that would find a listing's end fails instead
    bool statusFails = false;           // every status query of a path or a listed name fails
    // A file of this name is removed just before its status is asked (as the
    // listing asks it), or just before it is opened: gone meanwhile.
    std::string goneBeforeStatus = {};
    std::string goneBeforeOpen = {};
};

// Puts the faults in place while it lives, and counts the reads made.
class FaultyFileLayer {
public:
    explicit FaultyFileLayer(const ReadFaults& faults);
    ~FaultyFileLayer();
    FaultyFileLayer(const FaultyFileLayer&) = delete;
    FaultyFileLayer& operator=(const FaultyFileLayer&) = delete;

    static int reads();
    // Status queries asked of a path or of a listed name.
    static int statusQueries();
    // Calls that list a folder (a first and each next batch of entries).
    static int listings();
    // Reads that continued a short one but asked past where it was to end.
    static int overreads();
};

// Notes each read asked for, and counts a continuation of a short read that
// asks past the end of the block it continues. Shared by both OSes' layers.
class ReadRequests {
public:
    void asked(long long offset, long long count) {
        const bool continues = got_ > 0 && got_ < count_ && offset == offset_ + got_;
        if (continues && offset + count > offset_ + count_) ++overreads_;
        offset_ = offset;
        count_ = count;
        got_ = 0;
    }
    void got(long long bytes) { got_ = bytes; }
    int overreads() const { return overreads_; }
    void reset() { *this = {}; }

private:
    long long offset_ = -1, count_ = 0, got_ = 0;
    int overreads_ = 0;
};

}  // namespace testing_support
