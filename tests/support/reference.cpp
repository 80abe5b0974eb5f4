#include "tests/support/reference.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace reference {

// The extractors below say what the value is, not how to scan for it: each
// finds its delimiters with whole-line searches, left to right where it can.
// Position 0 is never a delimiter.

std::string extractQuoted(const std::string& line) {
    // The last quote closes the value. The colon that ends the scan is the
    // rightmost one with a further quote between it and the closing one, and
    // the value opens at the first quote after that colon.
    const std::size_t close = line.rfind('"');
    if (close == std::string::npos || close < 2) return line;
    const std::size_t innerQuote = line.rfind('"', close - 1);
    if (innerQuote == std::string::npos || innerQuote < 2) return line;
    const std::size_t colon = line.rfind(':', innerQuote - 1);
    if (colon == std::string::npos || colon == 0) return line;
    const std::size_t open = line.find('"', colon);
    return line.substr(open + 1, close - open - 1);
}

std::string extractParenthesised(const std::string& line) {
    // After the last '(' up to the first ')' that follows it, or the end.
    const std::size_t open = line.rfind('(');
    if (open == std::string::npos || open == 0) return line;
    const std::size_t close = line.find(')', open);
    return line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

std::string stripHtmlEnvelope(std::string text) {
    for (const std::string marker : {"&lt;html&gt;&lt;body&gt;", "&lt;/body&gt;&lt;/html&gt;"}) {
        for (std::size_t at; (at = text.find(marker)) != std::string::npos;) text.erase(at, marker.size());
    }
    return text;
}

testing_support::TailRead readWholeLog(std::string_view log) {
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
    result.afterLastBreak = pieces.back();
    for (std::size_t k = 1; k <= result.line.size() && k + 1 <= breaks; ++k) {
        std::string line = pieces[breaks - k];
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.line[k - 1] = line;
    }
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

bool matchesPattern(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == '*') {
        // Stars in a row match as one.
        while (pattern.size() > 1 && pattern[1] == '*') pattern.remove_prefix(1);
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (matchesPattern(pattern.substr(1), name.substr(skip))) return true;
        }
        return false;
    }
    if (name.empty()) return false;
    return (pattern[0] == '?' || pattern[0] == name[0]) && matchesPattern(pattern.substr(1), name.substr(1));
}

}  // namespace reference
