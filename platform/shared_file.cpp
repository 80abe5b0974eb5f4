#include "platform/file.h"

#include <utility>

// The OS-neutral half of SharedFile: ownership only.

namespace platform {

SharedFile::SharedFile(SharedFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      size_(std::exchange(other.size_, 0)),
      openError_(std::exchange(other.openError_, kNoPath)) {}

SharedFile& SharedFile::operator=(SharedFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoHandle);
        size_ = std::exchange(other.size_, 0);
        openError_ = std::exchange(other.openError_, kNoPath);
    }
    return *this;
}

SharedFile SharedFile::failed(int error) noexcept {
    SharedFile file;
    file.openError_ = error;
    return file;
}

SharedFile::~SharedFile() { close(); }

}  // namespace platform
