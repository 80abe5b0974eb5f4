#pragma once
// Holds a log open for writing, as the messaging client does while the module
// reads it. On Windows the handle shares only reading, the strictest a writer
// may be while still letting a reader in.

#include <string>

#include "platform/file.h"

namespace testing_support {

class HeldForWriting {
public:
    explicit HeldForWriting(const std::string& path);
    ~HeldForWriting();
    HeldForWriting(const HeldForWriting&) = delete;
    HeldForWriting& operator=(const HeldForWriting&) = delete;

    bool isOpen() const { return handle_ != platform::kNoHandle; }

private:
    platform::NativeHandle handle_;
};

}  // namespace testing_support
