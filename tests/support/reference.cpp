#include "tests/support/reference.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

namespace reference {

namespace {

// The character at position p, or nothing at position n, which holds none.
std::optional<char> at(const std::string& line, std::size_t p) {
    if (p >= line.size()) return std::nullopt;
    return line[p];
}

}  // namespace

std::string extractQuoted(const std::string& line) {
    const std::size_t n = line.size();
    if (n == 0) return line;
    std::optional<std::size_t> close, start;
    for (std::size_t p = n; p >= 1; --p) {
        const std::optional<char> c = at(line, p);
        if (!close) {
            if (c == '"') close = p;
            continue;
        }
        if (c == '"') {
            start = p + 1;
        } else if (c == ':' && start) {
            return line.substr(*start, *close - *start);
        }
    }
    return line;
}

std::string extractParenthesised(const std::string& line) {
    const std::size_t n = line.size();
    if (n == 0) return line;
    std::size_t end = n;
    for (std::size_t p = n; p >= 1; --p) {
        const std::optional<char> c = at(line, p);
        if (c == ')') end = p;
        if (c == '(') return line.substr(p + 1, end - (p + 1));
    }
    return line;
}

std::string stripHtmlEnvelope(std::string text) {
    for (const std::string marker : {"&lt;html&gt;&lt;body&gt;", "&lt;/body&gt;&lt;/html&gt;"}) {
        for (std::size_t at; (at = text.find(marker)) != std::string::npos;) text.erase(at, marker.size());
    }
    return text;
}

testing_support::TailRead readFieldSet(std::string_view log) {
    testing_support::TailRead result;
    const auto fail = [&] {
        result.failed = true;
        result.field[record::kStatusField] = record::kFileTooSmall;
        return result;
    };
    if (log.size() < 1024) return fail();
    std::vector<std::string> pieces(1);
    for (const char c : log) {
        if (c == '\n') {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    const std::size_t breaks = pieces.size() - 1;
    // Line k from the end lies between breaks k+1 and k, so it needs k+1 of them.
    const auto cut = [&](std::size_t lineFromEnd, std::size_t field, bool quoted) {
        if (lineFromEnd + 1 > breaks) return;
        std::string line = pieces[breaks - lineFromEnd];
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.field[field] = quoted ? extractQuoted(line) : extractParenthesised(line);
    };
    cut(2, 3, true);
    cut(4, 1, true);
    cut(6, 4, true);
    cut(8, 2, true);
    cut(11, 0, false);
    if (result.field[2] == "SAMETIME") result.field[3] = stripHtmlEnvelope(result.field[3]);
    if (breaks < 13) return fail();
    return result;
}

int fieldNumber(const char* text) {
    if (text == nullptr) return 0;
    errno = 0;
    const long value = std::strtol(text, nullptr, 10);
    if (errno == ERANGE || value < 0 || value > 5) return -1;
    return static_cast<int>(value);
}

}  // namespace reference
