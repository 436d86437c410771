#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "gif/base/byte_words.h"

using namespace gif;

namespace {

// Runs of equal bytes that start and end at every offset of an eight-byte word, and lone
// bytes between them; `length` bytes in all.
std::vector<uint8_t> RunsAndSingles(size_t length, uint32_t seed) {
    std::vector<uint8_t> bytes;
    while (bytes.size() < length) {
        seed = seed * 1103515245u + 12345u;
        const auto value = uint8_t(seed >> 16);
        const size_t run = (seed >> 8) % 3 == 0 ? 1 : 1 + (seed >> 24) % 19;
        bytes.insert(bytes.end(), std::min(run, length - bytes.size()), value);
    }
    return bytes;
}

} // namespace

TEST(ByteWords, HelpersAgreeWithOneByteAtATime) {
    std::array<uint8_t, 256> map{};
    std::iota(map.begin(), map.end(), uint8_t(0));
    std::reverse(map.begin(), map.end());
    map[7] = 7;
    for (size_t length : {size_t(0), size_t(1), size_t(7), size_t(8), size_t(9), size_t(63),
                          size_t(64), size_t(1000)}) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            const std::vector<uint8_t> bytes = RunsAndSingles(length, seed + uint32_t(length));

            EXPECT_EQ(LargestByte(bytes),
                      bytes.empty() ? 0 : *std::max_element(bytes.begin(), bytes.end()))
                << length;

            std::array<uint64_t, 256> counts{}, expectedCounts{};
            counts[3] = expectedCounts[3] = 5; // counts are added to
            for (uint8_t b : bytes) ++expectedCounts[b];
            CountBytes(bytes, counts);
            EXPECT_EQ(counts, expectedCounts) << length;

            std::array<bool, 256> present{}, expected{};
            present[200] = true; // marks already set stay set
            expected[200] = true;
            for (uint8_t b : bytes) expected[b] = true;
            MarkPresentBytes(bytes, present);
            EXPECT_EQ(present, expected) << length;

            std::vector<uint8_t> mapped = bytes;
            MapBytes(mapped, map);
            for (size_t i = 0; i < bytes.size(); ++i)
                ASSERT_EQ(mapped[i], map[bytes[i]]) << length << " at " << i;
        }
    }
}
