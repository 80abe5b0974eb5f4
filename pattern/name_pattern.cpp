#include "pattern/name_pattern.h"

#include <algorithm>

#include "platform/utf8.h"

namespace pattern {

std::size_t characterLength(std::string_view text, std::size_t at) noexcept {
    return std::max<std::size_t>(1, platform::utf8SequenceLength(text.substr(at)));
}

std::size_t lastPartStart(std::string_view path, const platform::NameRules& rules) noexcept {
    // No byte of a UTF-8 sequence but the first is ASCII: a separator is one
    // wherever it stands.
    const std::size_t separator = path.find_last_of(rules.windowsPaths ? std::string_view("/\\") : std::string_view("/"));
    if (separator != std::string_view::npos) return separator + 1;
    return rules.windowsPaths && path.size() > 1 && path[1] == ':' ? 2 : 0;
}

bool isPattern(std::string_view path, const platform::NameRules& rules) noexcept {
    // Polled every second for plain paths: two quick scans rule most out.
    const std::size_t star = path.rfind('*');
    const std::size_t mark = path.rfind('?');
    if (star == std::string_view::npos && mark == std::string_view::npos) return false;
    const std::size_t last = star == std::string_view::npos ? mark : mark == std::string_view::npos ? star : std::max(star, mark);
    return last >= lastPartStart(path, rules);
}

bool isPattern(const char* path) noexcept { return path != nullptr && isPattern(path, platform::nameRules()); }

PathParts splitPath(std::string_view path) noexcept {
    const std::size_t start = lastPartStart(path, platform::nameRules());
    return {path.substr(0, start), path.substr(start)};
}

bool matchesPattern(std::string_view pattern, std::string_view name, const platform::NameRules& rules) noexcept {
    const auto same = [&](std::size_t p, std::size_t patternLength, std::size_t n, std::size_t nameLength) {
        const std::string_view ours = pattern.substr(p, patternLength), theirs = name.substr(n, nameLength);
        if (ours == theirs) return true;
        // A byte that begins no character has no case.
        if (rules.foldCase == nullptr || platform::utf8SequenceLength(ours) == 0 ||
            platform::utf8SequenceLength(theirs) == 0) {
            return false;
        }
        return rules.foldCase(platform::utf8CodePoint(ours, patternLength)) ==
               rules.foldCase(platform::utf8CodePoint(theirs, nameLength));
    };
    // The classic single-backtrack match, a character at a time: a later *
    // makes the earlier ones settled, so the work is at most the product of
    // the two lengths.
    std::size_t p = 0, n = 0, starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        const std::size_t nameLength = characterLength(name, n);
        const std::size_t patternLength = p < pattern.size() ? characterLength(pattern, p) : 0;
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || same(p, patternLength, n, nameLength))) {
            p += patternLength;
            n += nameLength;
        } else if (starAt != std::string_view::npos) {
            // Resume one character on, never inside one.
            p = starAt + 1;
            resumeAt += characterLength(name, resumeAt);
            n = resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace pattern
