#pragma once
// The system calls of the Win32 file layer, in one table. Each entry starts
// as the system's own call; a test may swap one for a version that fails or
// reads short, and so injects faults into the real file layer rather than
// into a stand-in for it. The module never changes it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace platform {

struct SystemCalls {
    decltype(&::CreateFileA) createFile;
    decltype(&::ReadFile) readFile;
    decltype(&::FindFirstFileA) findFirstFile;
    decltype(&::FindNextFileA) findNextFile;
};

extern SystemCalls systemCalls;

}  // namespace platform
