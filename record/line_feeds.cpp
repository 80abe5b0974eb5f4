#include "record/line_feeds.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace record {

namespace {

// Eight bytes are tested at a time. One memrchr call per line would cost a
// call, its set-up and its mispredicted exits thirteen times per record;
// right after the re-read's system calls have left the branch predictors
// cold, that took about twice as long as this loop.
using Word = std::uint64_t;
constexpr std::size_t kWordSize = sizeof(Word);
constexpr Word kEachByte = 0x0101010101010101;
constexpr Word kLow7Bits = 0x7f7f7f7f7f7f7f7f;

static_assert(std::endian::native == std::endian::little,
              "the highest set bit is taken to be in the byte at the highest address");

// Bit 7 of a byte of the result is set where that byte of `word` is a line
// feed, and no other bit is. Exact: the sum cannot carry from one byte into
// the next, unlike the shorter (w - 0x01..) & ~w, which can mark the byte
// above a match.
Word lineFeedMarks(Word word) noexcept {
    const Word x = word ^ (kEachByte * '\n');
    return ~(((x & kLow7Bits) + kLow7Bits) | x | kLow7Bits);
}

}  // namespace

std::size_t findLastLineFeeds(std::string_view bytes, std::span<std::size_t> positions) noexcept {
    std::size_t found = 0;
    std::size_t end = bytes.size();
    // Takes the marks of the word that starts at `at`, highest first.
    const auto take = [&](Word marks, std::size_t at) {
        while (marks != 0 && found < positions.size()) {
            const int highestBit = std::numeric_limits<Word>::digits - 1 - std::countl_zero(marks);
            positions[found++] = at + static_cast<std::size_t>(highestBit) / 8;
            marks ^= Word{1} << highestBit;
        }
    };
    // Two words a step: most steps hold no line feed, and one test passes both.
    while (found < positions.size() && end >= 2 * kWordSize) {
        Word high, low;
        std::memcpy(&high, bytes.data() + end - kWordSize, kWordSize);
        std::memcpy(&low, bytes.data() + end - 2 * kWordSize, kWordSize);
        end -= 2 * kWordSize;
        const Word highMarks = lineFeedMarks(high);
        const Word lowMarks = lineFeedMarks(low);
        if ((highMarks | lowMarks) == 0) continue;
        take(highMarks, end + kWordSize);
        take(lowMarks, end);
    }
    if (found < positions.size() && end >= kWordSize) {
        Word word;
        std::memcpy(&word, bytes.data() + end - kWordSize, kWordSize);
        end -= kWordSize;
        take(lineFeedMarks(word), end);
    }
    while (found < positions.size() && end > 0) {
        if (bytes[--end] == '\n') positions[found++] = end;
    }
    return found;
}

}  // namespace record
