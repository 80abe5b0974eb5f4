#include <fcntl.h>
#include <unistd.h>

#include "tests/support/held_for_writing.h"

namespace testing_support {

HeldForWriting::HeldForWriting(const std::string& path) : handle_(::open(path.c_str(), O_WRONLY | O_APPEND)) {}

HeldForWriting::~HeldForWriting() {
    if (isOpen()) ::close(static_cast<int>(handle_));
}

}  // namespace testing_support
