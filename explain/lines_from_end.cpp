#include "explain/lines_from_end.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/file.h"
#include "record/tail_reader.h"

namespace explain {

std::vector<std::string> linesFromEnd(const char* path, std::size_t count, std::size_t mostBytes) {
    const platform::SharedFile file = platform::SharedFile::open(path);
    if (!file.isOpen()) return {};
    const std::int64_t start = std::max<std::int64_t>(0, file.size() - static_cast<std::int64_t>(mostBytes));
    std::string bytes(static_cast<std::size_t>(file.size() - start), '\0');
    const std::int64_t got = file.readAt(start, bytes.data(), bytes.size());
    if (got < 0) return {};
    bytes.resize(static_cast<std::size_t>(got));
    const std::vector<std::string_view> lines = record::linesFromEnd(bytes, count, start == 0);
    return {lines.begin(), lines.end()};
}

}  // namespace explain
