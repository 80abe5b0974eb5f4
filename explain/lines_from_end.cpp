#include "explain/lines_from_end.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/file.h"

namespace explain {

std::vector<std::string> linesFromEnd(const char* path, std::size_t count, std::size_t mostBytes) {
    const platform::SharedFile file = platform::SharedFile::open(path);
    if (!file.isOpen()) return {};
    const std::int64_t start = std::max<std::int64_t>(0, file.size() - static_cast<std::int64_t>(mostBytes));
    std::string bytes(static_cast<std::size_t>(file.size() - start), '\0');
    const std::int64_t got = file.readAt(start, bytes.data(), bytes.size());
    if (got < 0) return {};
    bytes.resize(static_cast<std::size_t>(got));
    std::vector<std::string> lines;
    const auto add = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
    };
    std::string_view rest(bytes);
    const std::size_t lastBreak = rest.rfind('\n');
    if (lastBreak == std::string_view::npos) return {};
    rest = rest.substr(0, lastBreak);
    while (lines.size() < count) {
        const std::size_t breakBefore = rest.rfind('\n');
        if (breakBefore == std::string_view::npos) {
            // The file's first line; a line cut by the bytes read is none.
            if (start == 0) add(rest);
            break;
        }
        add(rest.substr(breakBefore + 1));
        rest = rest.substr(0, breakBefore);
    }
    return lines;
}

}  // namespace explain
