// The word-at-a-time line feed search against a plain backward loop, on
// bytes chosen to trip the usual zero-byte tricks: the neighbours of '\n' in
// value and with the high bit set, next to line feeds, at every alignment.

#include "record/line_feeds.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::size_t> plainSearch(std::string_view bytes, std::size_t wanted) {
    std::vector<std::size_t> positions;
    for (std::size_t i = bytes.size(); i-- > 0 && positions.size() < wanted;) {
        if (bytes[i] == '\n') positions.push_back(i);
    }
    return positions;
}

TEST(LineFeeds, FindsTheSameLineFeedsAsAPlainLoop) {
    static constexpr char kBytes[] = {'\n', '\n', '\x0b', '\x09', '\x8a', '\x00', '\xff', '\x0a' ^ '\x80', 'a', '\x0e'};
    std::mt19937 random(8);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kBytes) - 1);
    std::string buffer(96, '\0');
    std::array<std::size_t, 20> found{};
    for (int trial = 0; trial < 20000; ++trial) {
        for (char& byte : buffer) byte = kBytes[pick(random)];
        const std::size_t start = static_cast<std::size_t>(trial) % 8;
        const std::size_t length = static_cast<std::size_t>(trial / 8) % 89;
        const std::size_t wanted = static_cast<std::size_t>(trial) % found.size();
        const std::string_view bytes = std::string_view(buffer).substr(start, length);

        const std::size_t count = record::findLastLineFeeds(bytes, std::span(found).first(wanted));
        const std::vector<std::size_t> actual(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count));
        ASSERT_EQ(actual, plainSearch(bytes, wanted)) << "trial " << trial;
    }
}

}  // namespace
