#pragma once
// Why a log cannot be opened, in words for a person, from what the module's
// own open found. Each OS has its own source file, picked by the build.

#include <string>

#include "platform/file.h"

namespace explain {

// "no such file or folder", "permission denied", "it is a folder", ... with
// the system's own message where it has one. `error` is the failed open's
// (platform::SharedFile::openError).
std::string whyCannotOpen(const char* path, int error);

}  // namespace explain
