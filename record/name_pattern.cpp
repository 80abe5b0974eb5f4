#include "record/name_pattern.h"

#include <algorithm>

#include "record/utf8.h"

namespace record {

namespace {

bool isSeparator(std::string_view path, std::size_t at, const platform::NameRules& rules) noexcept {
    if (path[at] == '/') return true;
    if (!rules.windowsPaths) return false;
    return path[at] == '\\' || (at == 1 && path[at] == ':');
}

}  // namespace

std::size_t characterLength(std::string_view text, std::size_t at, const platform::NameRules& rules) noexcept {
    // A byte that begins no well-formed sequence is a character alone.
    if (rules.utf8) return std::max<std::size_t>(1, utf8SequenceLength(text.substr(at)));
    return rules.leadByte[static_cast<unsigned char>(text[at])] && at + 1 < text.size() ? 2 : 1;
}

std::size_t lastPartStart(std::string_view path, const platform::NameRules& rules) noexcept {
    if (rules.leadByte.none()) {
        // A separator is never part of a longer character: search back.
        const std::size_t separator = path.find_last_of(rules.windowsPaths ? std::string_view("/\\") : std::string_view("/"));
        if (separator != std::string_view::npos) return separator + 1;
        return rules.windowsPaths && path.size() > 1 && path[1] == ':' ? 2 : 0;
    }
    // A double-byte character's second byte may be \: only a walk from the
    // start tells where characters begin.
    std::size_t start = 0;
    for (std::size_t at = 0; at < path.size(); at += characterLength(path, at, rules)) {
        if (isSeparator(path, at, rules)) start = at + 1;
    }
    return start;
}

bool isPattern(std::string_view path, const platform::NameRules& rules) noexcept {
    // Polled every second for plain paths: two quick scans rule most out. No
    // code page has * or ? as part of a longer character.
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
    const auto length = [&](std::string_view text, std::size_t at) { return characterLength(text, at, rules); };
    const auto same = [&](std::size_t p, std::size_t patternLength, std::size_t n, std::size_t nameLength) {
        if (patternLength != nameLength) return false;
        if (patternLength == 1 && rules.ignoreCase) {
            return rules.folding[static_cast<unsigned char>(pattern[p])] ==
                   rules.folding[static_cast<unsigned char>(name[n])];
        }
        return pattern.substr(p, patternLength) == name.substr(n, nameLength);
    };
    // The classic single-backtrack match, a character at a time: a later *
    // makes the earlier ones settled, so the work is at most the product of
    // the two lengths.
    std::size_t p = 0, n = 0, starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        const std::size_t nameLength = length(name, n);
        const std::size_t patternLength = p < pattern.size() ? length(pattern, p) : 0;
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || same(p, patternLength, n, nameLength))) {
            p += patternLength;
            n += nameLength;
        } else if (starAt != std::string_view::npos) {
            // Resume one character on, never on a character's second byte.
            p = starAt + 1;
            resumeAt += length(name, resumeAt);
            n = resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace record
