#include "gif/optimize/flexible_lzw.h"

#include <gtest/gtest.h>
#include <vector>

using gif::optimize::TFlexibleLzw;

namespace {

struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    int Next(int n) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return int(state % uint64_t(n));
    }
};

} // namespace

// Whatever it prefers, every pixel comes back as its colour, or transparent where that is
// allowed: long inputs (past several table clears), both biases, small and large codes.
TEST(FlexibleLzw, ChoosesOnlyAllowedValues) {
    TFlexibleLzw lzw;
    for (int codeSize : {2, 4, 8}) {
        for (int bias : {0, 6}) {
            Random random(uint64_t(codeSize * 10 + bias));
            const size_t n = 60000;
            const int colours = (1 << codeSize) - 1; // the last index is transparent
            std::vector<uint8_t> colors(n), free(n), out(n, 0xEE);
            for (size_t i = 0; i < n; ++i) {
                colors[i] = uint8_t(random.Next(4) ? (i / 37) % colours : random.Next(colours));
                free[i] = uint8_t(random.Next(3) == 0);
            }
            lzw.Choose(colors.data(), free.data(), n, uint8_t(colours), codeSize, bias, out.data());
            for (size_t i = 0; i < n; ++i)
                ASSERT_TRUE(out[i] == colors[i] || (free[i] && out[i] == colours))
                    << codeSize << " " << bias << " at " << i;
        }
    }
}

// A stretch of free pixels after a run of transparency continues that run: the string of
// transparent pixels is in the table already, the colours' is not.
TEST(FlexibleLzw, ContinuesTheStringThatExists) {
    TFlexibleLzw lzw;
    std::vector<uint8_t> colors, free;
    for (int i = 0; i < 64; ++i) { // a row of holes, then a row of free pixels over noise
        colors.push_back(3);
        free.push_back(0);
    }
    for (int i = 0; i < 64; ++i) {
        colors.push_back(uint8_t(i % 3));
        free.push_back(1);
    }
    std::vector<uint8_t> out(colors.size());
    lzw.Choose(colors.data(), free.data(), colors.size(), 3, 2, 0, out.data());
    for (size_t i = 64; i < out.size(); ++i)
        EXPECT_EQ(out[i], 3) << i;
}
