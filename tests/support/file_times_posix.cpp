#include <fcntl.h>
#include <sys/stat.h>

#include "tests/support/file_times.h"

namespace testing_support {

bool setModifiedMilliseconds(const std::string& path, std::int64_t milliseconds) {
    // Rounded down to the second, with the rest as a positive fraction, as
    // timespec holds a time before 1970.
    std::int64_t seconds = milliseconds / 1000;
    std::int64_t rest = milliseconds % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), static_cast<long>(rest * 1'000'000)}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace testing_support
