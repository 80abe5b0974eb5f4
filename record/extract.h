#pragma once
// The three rules that cut a value out of one line of the log. The two
// extractors return a view into their argument: the value, or the whole line
// when it holds none.

#include <string>
#include <string_view>

namespace record {

// The value of a `label: "value"` line, found right to left: the last quote
// closes it, the first colon met to the left of a further quote ends the scan,
// and the value starts after the quote met last before that colon.
std::string_view extractQuoted(std::string_view line) noexcept;

// The text after the last '(' on the line, up to the first ')' after it or to
// the end of the line.
std::string_view extractParenthesised(std::string_view line) noexcept;

// The escaped html/body envelope around a message of the enveloping service.
inline constexpr std::string_view kEnvelopeOpening = "&lt;html&gt;&lt;body&gt;";
inline constexpr std::string_view kEnvelopeClosing = "&lt;/body&gt;&lt;/html&gt;";

// Removes every opening marker, then every closing marker, including markers
// that a removal itself brings together. Works in the text's own storage.
std::string stripHtmlEnvelope(std::string text);

}  // namespace record
