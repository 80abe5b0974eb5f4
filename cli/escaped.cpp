#include "cli/escaped.h"

#include <cstdio>

namespace cli {

namespace {

std::string escaped(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (quotes && (c == '"' || c == '\\')) {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string escapedControls(std::string_view text) { return escaped(text, false); }

std::string quoted(std::string_view text) { return '"' + escaped(text, true) + '"'; }

}  // namespace cli
