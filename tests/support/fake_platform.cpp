#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "platform/file.h"

namespace fake_platform {

namespace {

struct State {
    std::recursive_mutex mutex;
    std::map<std::string, File> files;
    std::map<platform::NativeHandle, std::string> open;
    platform::NativeHandle nextHandle = 3;
    std::int64_t now = 0;
    std::int64_t milliseconds = 0;  // into the second `now`, on the steady clock
    std::int64_t listingMilliseconds = 0;
    Calls calls;
    std::function<void(const std::string&)> beforeRead;
    std::function<void(const std::string&)> beforeOpen;
    int readsLeft = -1;  // -1: reads never fail
};

State& state() {
    static State s;
    return s;
}

}  // namespace

void reset() {
    State& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.files.clear();
    s.open.clear();
    s.now = 0;
    s.milliseconds = 0;
    s.listingMilliseconds = 0;
    s.calls = {};
    s.beforeRead = nullptr;
    s.beforeOpen = nullptr;
    s.readsLeft = -1;
}

void put(const std::string& path, File file) {
    const std::lock_guard<std::recursive_mutex> lock(state().mutex);
    state().files[path] = std::move(file);
}

File& file(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> lock(state().mutex);
    return state().files.at(path);
}

void remove(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> lock(state().mutex);
    state().files.erase(path);
}

void setNow(std::int64_t seconds) { state().now = seconds; }
void advanceMilliseconds(std::int64_t milliseconds) { state().milliseconds += milliseconds; }
void eachListingTakes(std::int64_t milliseconds) { state().listingMilliseconds = milliseconds; }

Calls& calls() { return state().calls; }

void beforeEachRead(std::function<void(const std::string& path)> hook) { state().beforeRead = std::move(hook); }

void beforeEachOpen(std::function<void(const std::string& path)> hook) { state().beforeOpen = std::move(hook); }

void failReadsAfter(int count) { state().readsLeft = count; }

}  // namespace fake_platform

namespace platform {

using fake_platform::state;

FileStatus statFile(const char* path) noexcept {
    auto& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    ++s.calls.stat;
    if (path == nullptr) return {};
    const auto found = s.files.find(path);
    if (found == s.files.end()) return {};
    return {true, found->second.regular, found->second.modified, static_cast<std::int64_t>(found->second.bytes.size())};
}

std::int64_t nowSeconds() noexcept { return state().now; }

std::int64_t steadyMilliseconds() noexcept { return state().now * 1000 + state().milliseconds; }

bool listFolder(const char* folder, FolderVisitor& visitor) noexcept {
    auto& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    ++s.calls.list;
    s.milliseconds += s.listingMilliseconds;
    const std::string_view prefix(folder);
    bool any = prefix.empty();
    for (const auto& [path, file] : s.files) {
        if (!std::string_view(path).starts_with(prefix)) continue;
        const std::string_view name = std::string_view(path).substr(prefix.size());
        if (name.find('/') != std::string_view::npos) continue;
        any = true;
        if (!visitor.wants(name)) continue;
        ++s.calls.stat;
        if (file.regular) visitor.found(name, {true, true, file.modified, static_cast<std::int64_t>(file.bytes.size())});
    }
    return any;  // a folder exists while it holds a file
}

const NameRules& nameRules() noexcept {
    static const NameRules posixNames;
    return posixNames;
}

const char* pathFromHost(const char* hostText, std::string& /*room*/) { return hostText; }

bool isNoSuchFile(int openError) noexcept { return openError == 2; }

SharedFile SharedFile::open(const char* path) noexcept {
    auto& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (path == nullptr) return failed(kNoPath);
    if (s.beforeOpen) s.beforeOpen(path);
    const auto found = s.files.find(path);
    if (found == s.files.end()) return failed(2);  // "no such file" on both OSes
    ++s.calls.open;  // tried, whether or not it opens
    if (!found->second.openable) return failed(13);
    const NativeHandle handle = s.nextHandle++;
    s.open[handle] = path;
    SharedFile opened(handle, 0);
    if (!found->second.regular) return failed(kNotARegularFile);
    opened.size_ = static_cast<std::int64_t>(found->second.bytes.size());
    return opened;
}

std::int64_t SharedFile::currentSize() const noexcept {
    auto& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    ++s.calls.size;
    const auto found = s.files.find(s.open.at(handle_));
    return found == s.files.end() ? -1 : static_cast<std::int64_t>(found->second.bytes.size());
}

std::int64_t SharedFile::readAt(std::int64_t offset, char* buffer, std::size_t length) const noexcept {
    auto& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    ++s.calls.read;
    const std::string path = s.open.at(handle_);
    if (s.beforeRead) s.beforeRead(path);
    if (s.readsLeft == 0) return -1;
    if (s.readsLeft > 0) --s.readsLeft;
    const auto found = s.files.find(path);
    if (found == s.files.end()) return -1;
    const std::string& bytes = found->second.bytes;
    const auto start = static_cast<std::size_t>(std::min<std::int64_t>(offset, static_cast<std::int64_t>(bytes.size())));
    const std::size_t count = std::min(length, bytes.size() - start);
    std::memcpy(buffer, bytes.data() + start, count);
    s.calls.bytesRead += static_cast<std::int64_t>(count);
    return static_cast<std::int64_t>(count);
}

void SharedFile::close() noexcept {
    if (handle_ == kNoHandle) return;
    auto& s = state();
    const std::lock_guard<std::recursive_mutex> lock(s.mutex);
    ++s.calls.close;
    s.open.erase(std::exchange(handle_, kNoHandle));
}

}  // namespace platform
