#include "record/extract.h"

#include <cstddef>

namespace record {

// Both extractors walk from the end of the line down to position 1. Position
// 0 is never looked at, so a quote or parenthesis in the first column can
// never open a value.

std::string_view extractQuoted(std::string_view line) noexcept {
    const std::size_t n = line.size();
    std::size_t close = std::string_view::npos;
    std::size_t start = std::string_view::npos;
    for (std::size_t p = n; p > 1;) {
        --p;
        const char c = line[p];
        if (close == std::string_view::npos) {
            if (c == '"') close = p;
        } else if (c == '"') {
            start = p + 1;
        } else if (c == ':' && start != std::string_view::npos) {
            return line.substr(start, close - start);
        }
    }
    return line;
}

std::string_view extractParenthesised(std::string_view line) noexcept {
    const std::size_t n = line.size();
    std::size_t end = n;
    for (std::size_t p = n; p > 1;) {
        --p;
        if (line[p] == ')') {
            end = p;
        } else if (line[p] == '(') {
            return line.substr(p + 1, end - p - 1);
        }
    }
    return line;
}

namespace {

// Removing the leftmost occurrence and searching again from the start, until
// none is left, would be quadratic on a hostile line. Neither marker can
// overlap itself, so every order of removals ends in the same text, and a
// single left-to-right pass that drops a marker as soon as the output ends in
// one produces it in linear time.
void removeAll(std::string& out, std::string_view text, std::string_view marker) {
    out.clear();
    out.reserve(text.size());
    const char last = marker.back();
    for (const char c : text) {
        out.push_back(c);
        if (c == last && out.size() >= marker.size() &&
            std::string_view(out).substr(out.size() - marker.size()) == marker) {
            out.resize(out.size() - marker.size());
        }
    }
}

}  // namespace

std::string stripHtmlEnvelope(std::string_view text) {
    constexpr std::string_view kOpening = "&lt;html&gt;&lt;body&gt;";
    constexpr std::string_view kClosing = "&lt;/body&gt;&lt;/html&gt;";
    std::string withoutOpening;
    removeAll(withoutOpening, text, kOpening);
    std::string result;
    removeAll(result, withoutOpening, kClosing);
    return result;
}

}  // namespace record
