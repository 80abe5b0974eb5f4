#include "tests/support/temp_log.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>

#include "demo/chat_record.h"

namespace testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    const auto name = "marlowick-test-" + std::to_string(entropy()) + "-" + std::to_string(counter++);
    path_ = fs::temp_directory_path() / name;
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::filesystem::path utf8Path(std::string_view path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string TempFolder::file(std::string_view name) const {
    const std::u8string path = (path_ / utf8Path(name)).u8string();
    return std::string(path.begin(), path.end());
}

namespace {

void write(const std::string& path, std::string_view bytes, std::ios::openmode mode) {
    std::ofstream out(utf8Path(path), std::ios::binary | mode);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void writeFile(const std::string& path, std::string_view bytes) { write(path, bytes, std::ios::trunc); }

void appendFile(const std::string& path, std::string_view bytes) { write(path, bytes, std::ios::app); }

void setModified(const std::string& path, std::int64_t seconds) {
    const std::chrono::sys_seconds when{std::chrono::seconds{seconds}};
    fs::last_write_time(utf8Path(path), std::chrono::file_clock::from_sys(when));
}

std::string record(const RecordValues& values, std::string_view eol) {
    const demo::ChatRecord record{"2026-12-08 (" + values.time + ")", "1042", values.service, values.conversation,
                                  values.sender, values.text};
    std::string out;
    for (const std::string& line : demo::recordLines(record)) out.append(line).append(eol);
    return out;
}

std::string logEndingWith(const RecordValues& last, std::string_view eol) {
    std::string log = "# chat log" + std::string(eol);
    const RecordValues older{"11:59:00", "Old Sender", "IRC", "older message", "#old"};
    while (log.size() < 1024) log += record(older, eol);
    return log + record(last, eol);
}

}  // namespace testing_support
