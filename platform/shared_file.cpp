#include "platform/file.h"

#include <utility>

// The OS-neutral half of SharedFile: ownership only.

namespace platform {

SharedFile::SharedFile(SharedFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), size_(std::exchange(other.size_, 0)) {}

SharedFile& SharedFile::operator=(SharedFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoHandle);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

SharedFile::~SharedFile() { close(); }

}  // namespace platform
