#pragma once
// Every system call of the Win32 file layer, in one table. Each entry starts
// as the system's own call; a test may swap one for a version that fails,
// reads short or removes the file first, and so injects faults into the real
// file layer rather than into a stand-in for it. The module never changes it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/file.h"

namespace platform {

struct SystemCalls {
    decltype(&::CreateFileW) createFile;
    decltype(&::ReadFile) readFile;
    decltype(&::FindFirstFileExW) findFirstFile;
    decltype(&::FindNextFileW) findNextFile;
    decltype(&::GetFileAttributesExW) getFileAttributes;
    decltype(&::GetFileSizeEx) getFileSize;
    decltype(&::GetFileType) getFileType;
    decltype(&::CloseHandle) closeHandle;
    decltype(&::FindClose) findClose;
};

extern SystemCalls systemCalls;

// The status of the file at `path`, as statFile() gives it.
FileStatus wideFileStatus(const wchar_t* path) noexcept;

}  // namespace platform
