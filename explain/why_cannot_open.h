#pragma once
// Why a log cannot be opened, for the inspector's report. The module itself
// needs no reason; each OS has its own source file, picked by the build.

#include <string>

namespace explain {

// In words for a person: "no such file or folder", "permission denied", "it
// is a folder", ... with the system's own message where it has one.
std::string whyCannotOpen(const char* path);

}  // namespace explain
