#include "record/name_pattern.h"

#include <algorithm>

namespace record {

std::size_t lastPartStart(std::string_view path, bool backslashSeparates) noexcept {
    const std::size_t separator = path.find_last_of(backslashSeparates ? std::string_view("/\\") : std::string_view("/"));
    return separator == std::string_view::npos ? 0 : separator + 1;
}

bool isPattern(std::string_view path, bool backslashSeparates) noexcept {
    // Polled every second for plain paths: two quick scans rule most out.
    const std::size_t star = path.rfind('*');
    const std::size_t mark = path.rfind('?');
    if (star == std::string_view::npos && mark == std::string_view::npos) return false;
    const std::size_t last = star == std::string_view::npos ? mark : mark == std::string_view::npos ? star : std::max(star, mark);
    return last >= lastPartStart(path, backslashSeparates);
}

bool matchesPattern(std::string_view pattern, std::string_view name, const platform::NameFolding* folding) noexcept {
    const auto same = [&](char a, char b) {
        if (folding == nullptr) return a == b;
        return (*folding)[static_cast<unsigned char>(a)] == (*folding)[static_cast<unsigned char>(b)];
    };
    // The classic single-backtrack match: a later * makes the earlier ones
    // settled, so the work is at most the product of the two lengths.
    std::size_t p = 0, n = 0, starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace record
