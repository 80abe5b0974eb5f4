#pragma once
// The one interface between the module and the operating system. Each OS has
// its own source file (file_posix.cpp, file_win32.cpp); the build picks one.
// The module's calls are noexcept and report failure as a value: nothing above
// this layer ever sees errno, GetLastError or an exception from the OS.
//
// Paths and names are the module's own text: on POSIX the bytes the system
// has; on Windows Unicode, as UTF-8, turned into UTF-16 at each system call,
// so that a name in any script is reached. A name Windows holds that is no
// valid UTF-16 (an unpaired surrogate) is carried as the generalised UTF-8
// of its code units, and reaches the same file again.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The host's text for a path as the module's own: on POSIX the same bytes;
// on Windows converted from the code page the ANSI file functions use, as they
// would convert it, so that it names the file it names for them. Returns
// `hostText` itself where the two are the same (always on POSIX, and for ASCII
// text), else the text left in `room`, whose buffer serves the next call.
// nullptr stays nullptr.
const char* pathFromHost(const char* hostText, std::string& room);

// What a status query tells about a path. `ok` is false when the status
// cannot be obtained (missing path, NULL path, no permission on a folder).
struct FileStatus {
    bool ok = false;
    bool regularFile = false;
    std::int64_t modifiedSeconds = 0;  // whole seconds since 1970-01-01 UTC
    std::int64_t size = 0;             // bytes
};

FileStatus statFile(const char* path) noexcept;

// Calendar time in whole seconds since 1970-01-01 UTC.
std::int64_t nowSeconds() noexcept;

// Milliseconds on a clock that only moves forward, from some fixed start; a
// few milliseconds coarse. Reading it is no system call.
std::int64_t steadyMilliseconds() noexcept;

// What a folder listing tells its caller, entry by entry.
class FolderVisitor {
public:
    // Whether the entry called `name` is wanted: only a wanted one costs a
    // status query.
    virtual bool wants(std::string_view name) noexcept = 0;
    // A wanted entry that is a regular file, with the status of the file
    // itself (not the listing's copy, which Windows leaves stale for a file
    // its writer holds open).
    virtual void found(std::string_view name, const FileStatus& status) noexcept = 0;
    // A wanted entry whose status cannot be read: gone meanwhile, or a link
    // to nothing.
    virtual void unreadable(std::string_view /*name*/) noexcept {}

protected:
    ~FolderVisitor() = default;
};

// Lists the folder whose path is `folder`: "" for the current folder, else a
// path's folder part up to and with its last separator (or a drive's colon,
// as in C:), NUL-terminated. Leaves out . and .., and tells `visitor` of each
// entry by its long name. Returns false when the folder cannot be listed.
// Allocates nothing.
bool listFolder(const char* folder, FolderVisitor& visitor) noexcept;

// How this OS writes the parts of a path and compares names. Characters are
// UTF-8 sequences, a byte that begins none counting alone.
struct NameRules {
    // \ separates the parts of a path, as / does everywhere, and a drive's
    // colon ends one: C:*.log is a pattern over drive C's current folder.
    bool windowsPaths = false;
    // Where set, names compare without regard to case: two characters are
    // the same when this takes them to the same code point. A byte that
    // begins no character equals only itself.
    char32_t (*foldCase)(char32_t) = nullptr;
};

const NameRules& nameRules() noexcept;

// The OS handle as an integer: a file descriptor on POSIX, a HANDLE on
// Windows. Both use -1 for "no file", which keeps this type OS-neutral.
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle kNoHandle = -1;

// Why SharedFile::open gave a closed file, besides the OS's own error codes
// (errno on POSIX, GetLastError() on Windows), which are all above 0.
inline constexpr int kNotARegularFile = -1;
inline constexpr int kNoPath = -2;

// Whether an open failed for want of the file: no such file, or no such
// folder on its path (never a file that exists and cannot be opened).
bool isNoSuchFile(int openError) noexcept;

// A regular file opened for reading while other processes keep reading and
// writing it. Move-only; the handle closes when the object goes away, so no
// path through the reader can leave the file open.
class SharedFile {
public:
    SharedFile() noexcept = default;
    SharedFile(SharedFile&& other) noexcept;
    SharedFile& operator=(SharedFile&& other) noexcept;
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;
    ~SharedFile();

    // Opens `path` without ever blocking: a FIFO, device, directory or
    // anything else that is not a regular file gives a closed SharedFile.
    static SharedFile open(const char* path) noexcept;

    bool isOpen() const noexcept { return handle_ != kNoHandle; }
    // For a closed file, why the open failed: an OS error code,
    // kNotARegularFile or kNoPath; 0 for an open one.
    int openError() const noexcept { return isOpen() ? 0 : openError_; }

    // Size in bytes, taken when the file was opened.
    std::int64_t size() const noexcept { return size_; }

    // Size in bytes now, asked of the OS again; -1 when it cannot tell. For a
    // reader that found the file shorter than size() said.
    std::int64_t currentSize() const noexcept;

    // Reads up to `length` bytes starting at `offset`, with no file position
    // involved. Returns the number of bytes read, which is less than
    // `length` only at the end of the file (it may have shrunk since it was
    // opened), or -1 on a read error.
    std::int64_t readAt(std::int64_t offset, char* buffer, std::size_t length) const noexcept;

private:
    SharedFile(NativeHandle handle, std::int64_t size) noexcept : handle_(handle), size_(size) {}
    static SharedFile failed(int error) noexcept;
    void close() noexcept;

    NativeHandle handle_ = kNoHandle;
    std::int64_t size_ = 0;
    int openError_ = kNoPath;
};

}  // namespace platform
