// The field query's two argument texts, any bytes at all, over in-memory
// files: the answer is the field the C library's reading of the number picks,
// "" for no such field, or the status of a path that is not a good log; a
// path pattern answers as the log it names.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "record/field_cache.h"
#include "tests/support/fake_platform.h"
#include "tests/support/reference.h"
#include "tests/support/temp_log.h"

namespace {

const testing_support::RecordValues kValues{"f0", "f1", "f2", "f3", "f4"};

void putFiles() {
    fake_platform::reset();
    fake_platform::put("log", {testing_support::logEndingWith(kValues), 100});
    fake_platform::put("small", {"short\n", 100});
    fake_platform::put("folder", {"", 100, false});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = (putFiles(), true);
    (void)ready;
    if (size < 1) return 0;
    // The first byte picks the path; the rest is split at its first NUL into a
    // path (when the first byte asks for one) and the field number.
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string head = rest.substr(0, nul);
    const std::string tail = nul == std::string::npos ? std::string() : rest.substr(nul + 1);
    const char* known[] = {"log", "small", "folder", nullptr};
    const bool fuzzedPath = data[0] >= 4;
    const char* path = fuzzedPath ? head.c_str() : known[data[0]];
    const std::string number = fuzzedPath ? tail : head;
    const bool nullNumber = data[0] % 2 == 1 && number.empty();

    record::FieldCache cache;
    const std::string answer(cache.queryField(path, nullNumber ? nullptr : number.c_str()).text);

    // A pattern with no folder names the newest match in the current folder
    // that holds a record ("log"), else the newest match ("small": all are
    // dated alike; "folder" is no regular file). One with a folder finds none
    // here.
    std::string named = path != nullptr ? path : "";
    const bool pattern = named.find_first_of("*?", named.rfind('/') == std::string::npos ? 0 : named.rfind('/')) !=
                         std::string::npos;
    if (path != nullptr && pattern) {
        named = named.find('/') != std::string::npos                ? "none"
                : reference::matchesPattern(named, "log")           ? "log"
                : reference::matchesPattern(named, "small")         ? "small"
                                                                    : "none";
    }
    if (named == "log") {
        const int field = reference::fieldNumber(nullNumber ? nullptr : number.c_str());
        const std::string values[] = {"f0", "f1", "f2", "f3", "f4", ""};
        FUZZ_CHECK(answer == (field < 0 ? std::string() : values[field]));
    } else if (named == "small") {
        FUZZ_CHECK(answer == "File too small.");
    } else {
        FUZZ_CHECK(answer == "Unable to open file.");
    }
    return 0;
}
