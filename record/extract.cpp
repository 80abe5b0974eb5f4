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
// single left-to-right pass that drops a marker as soon as the kept text ends
// in one produces it in linear time. The kept text never outruns the text
// read, so the pass works in place.
void removeAll(std::string& text, std::string_view marker) {
    const char last = marker.back();
    std::size_t kept = 0;
    for (const char c : text) {
        text[kept++] = c;
        if (c == last && kept >= marker.size() &&
            std::string_view(text).substr(kept - marker.size(), marker.size()) == marker) {
            kept -= marker.size();
        }
    }
    text.resize(kept);
}

}  // namespace

std::string stripHtmlEnvelope(std::string text) {
    removeAll(text, kEnvelopeOpening);
    removeAll(text, kEnvelopeClosing);
    return text;
}

}  // namespace record
