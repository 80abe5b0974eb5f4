#pragma once
// Logs written by the tests, in a folder of their own that goes away after.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace testing_support {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as the module's units take it:
    // UTF-8 on Windows too.
    std::string file(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// A path as the module takes it (UTF-8 on Windows) as the system's.
std::filesystem::path utf8Path(std::string_view path);

void writeFile(const std::string& path, std::string_view bytes);
void appendFile(const std::string& path, std::string_view bytes);

// Sets the file's modification time, in whole seconds since 1970 UTC.
void setModified(const std::string& path, std::int64_t seconds);

// The five values a record carries, by field number 0 to 4.
struct RecordValues {
    std::string time = "12:00:00";
    std::string sender = "Ada Quinn";
    std::string service = "XMPP";
    std::string text = "Hello there";
    std::string conversation = "Team lunch";
};

// One twelve-line record with each value on the line that feeds its field,
// every line ended by `eol`.
std::string record(const RecordValues& values, std::string_view eol = "\r\n");

// A log that ends in `last`, after enough history to pass the minimum size.
std::string logEndingWith(const RecordValues& last, std::string_view eol = "\r\n");

}  // namespace testing_support
