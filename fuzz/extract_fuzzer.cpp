// The three extraction rules against their plain definitions, plus what must
// hold whatever the input: an extractor's result lies within its line.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "record/extract.h"
#include "tests/support/reference.h"

namespace {

bool within(std::string_view part, const std::string& whole) {
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);

    const std::string_view quoted = record::extractQuoted(line);
    FUZZ_CHECK(within(quoted, line));
    FUZZ_CHECK(quoted == reference::extractQuoted(line));

    const std::string_view parenthesised = record::extractParenthesised(line);
    FUZZ_CHECK(within(parenthesised, line));
    FUZZ_CHECK(parenthesised == reference::extractParenthesised(line));

    const std::string stripped = record::stripHtmlEnvelope(line);
    FUZZ_CHECK(stripped.size() <= line.size());
    FUZZ_CHECK(stripped.find("&lt;/body&gt;&lt;/html&gt;") == std::string::npos);
    if (size <= 4096) FUZZ_CHECK(stripped == reference::stripHtmlEnvelope(line));  // the reference is quadratic
    return 0;
}
