#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/optimize/flexible_lzw.h"
#include "gif/optimize/optimize_fixtures.h"

#include <gtest/gtest.h>
#include <array>
#include <vector>

using gif::optimize::TFlexibleLzw;
using opttest::Random;

// Whatever it prefers, every pixel comes back as its colour, or transparent where that is
// allowed: long inputs (past several table clears), both biases, small and large codes.
TEST(FlexibleLzw, ChoosesOnlyAllowedValues) {
    TFlexibleLzw lzw;
    for (int codeSize : {2, 4, 5, 8}) {
        for (int bias : {0, 6}) {
            Random random(uint64_t(codeSize * 10 + bias));
            const size_t n = 60000;
            const int colours = (1 << codeSize) - 1; // the last index is transparent
            std::vector<uint8_t> colors(n), free(n), out(n, 0xEE);
            for (size_t i = 0; i < n; ++i) {
                colors[i] = uint8_t(random.Next(4) ? (i / 37) % colours : random.Next(colours));
                free[i] = uint8_t(random.Next(3) == 0);
            }
            lzw.Choose(colors.data(), free.data(), n, uint8_t(colours), codeSize, bias, 24,
                       out.data());
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
    lzw.Choose(colors.data(), free.data(), colors.size(), 3, 2, 0, 24, out.data());
    for (size_t i = 64; i < out.size(); ++i)
        EXPECT_EQ(out[i], 3) << i;
}

// The size Choose reports is what the encoder writes for the pixels it chose: across code
// sizes, mostly-run and noisy inputs, and lengths that pass the code widths' growth and
// several table clears (where an off-by-one in the width or the clear shows at once). Given
// a limit, both counts stop once past it, and never before.
TEST(FlexibleLzw, ReportsTheEncodersSize) {
    TFlexibleLzw lzw;
    struct Case {
        int codeSize;
        size_t n;
        int noise; // one pixel in `noise` is random
    };
    for (const Case& c : {Case{2, 1, 1}, Case{2, 2, 1}, Case{2, 5, 2}, Case{2, 300, 2},
                          Case{3, 5000, 4}, Case{4, 70000, 3}, Case{8, 9000, 1}, Case{8, 200000, 5},
                          Case{8, 4093, 1}, Case{6, 50000, 50}, Case{5, 60000, 6}}) {
        Random random(c.n * 31 + uint64_t(c.codeSize));
        const int colours = (1 << c.codeSize) - 1;
        std::vector<uint8_t> colors(c.n), free(c.n), out(c.n);
        for (size_t i = 0; i < c.n; ++i) {
            colors[i] = uint8_t(random.Next(c.noise) ? (i / 29) % colours : random.Next(colours));
            free[i] = uint8_t(random.Next(2));
        }
        for (int bias : {0, 6}) {
            const int64_t reported = lzw.Choose(colors.data(), free.data(), c.n, uint8_t(colours),
                                                c.codeSize, bias, 24, out.data());
            gif::TCountingStream counter;
            gif::EncodeImageData(counter, {out.data(), int(c.n), 1, false, c.codeSize, 256},
                                 gif::emLZW);
            EXPECT_EQ(reported, counter.Size()) << c.codeSize << " " << c.n << " " << bias;
            // Measuring the chosen pixels gives the same, or stops past a smaller limit.
            EXPECT_EQ(lzw.Measure(out.data(), c.n, c.codeSize, reported), reported);
            EXPECT_GT(lzw.Measure(out.data(), c.n, c.codeSize, reported / 2), reported / 2);
            // One parse tells the sizes at the larger code sizes as the encoder writes them,
            // all of them while the table never fills.
            std::array<int64_t, 9> sizes;
            sizes.fill(-1);
            lzw.MeasureEachCodeSize(out.data(), c.n, c.codeSize, sizes);
            EXPECT_EQ(sizes[size_t(c.codeSize)], reported);
            for (int bits = c.codeSize + 1; bits <= 8; ++bits) {
                if (c.n <= 300) {
                    EXPECT_GE(sizes[size_t(bits)], 0) << "no size at " << bits << " bits";
                }
                if (sizes[size_t(bits)] < 0) continue;
                gif::TCountingStream wider;
                gif::EncodeImageData(wider, {out.data(), int(c.n), 1, false, bits, 256},
                                     gif::emLZW);
                EXPECT_EQ(sizes[size_t(bits)], wider.Size()) << c.n << " at " << bits << " bits";
            }
            // So does the choice itself: at its own size as the limit it chooses alike, and
            // below it, it stops and says it lost.
            std::vector<uint8_t> bounded(c.n);
            EXPECT_EQ(lzw.Choose(colors.data(), free.data(), c.n, uint8_t(colours), c.codeSize,
                                 bias, 24, bounded.data(), reported),
                      reported);
            EXPECT_EQ(bounded, out);
            EXPECT_GT(lzw.Choose(colors.data(), free.data(), c.n, uint8_t(colours), c.codeSize,
                                 bias, 24, bounded.data(), reported - 1),
                      reported - 1);
        }
    }
}

// With a clear delay the count is the encoder's too (the longest match, the table kept full
// for that many codes): a delay of one code, a few, more than a table's worth, and more
// than the data holds; inputs that fill the table once and many times, at small and large
// code sizes. It tells whether the table was cleared, which decides whether a delay can
// change anything.
TEST(FlexibleLzw, CountsAClearDelayAsTheEncoderWritesIt) {
    TFlexibleLzw lzw;
    struct Case {
        int codeSize;
        size_t n;
        int noise;
    };
    for (const Case& c : {Case{2, 60000, 2}, Case{4, 70000, 3}, Case{8, 9000, 1},
                          Case{8, 200000, 5}, Case{6, 50000, 50}}) {
        Random random(c.n * 7 + uint64_t(c.codeSize));
        const int colours = 1 << c.codeSize;
        std::vector<uint8_t> pixels(c.n);
        for (size_t i = 0; i < c.n; ++i)
            pixels[i] = uint8_t(random.Next(c.noise) ? (i / 13) % colours : random.Next(colours));
        const int64_t plain = lzw.Measure(pixels.data(), c.n, c.codeSize, INT64_MAX - 1);
        EXPECT_GT(lzw.Clears(), 0) << c.n;
        bool changed = false;
        for (int delay : {1, 37, 5000, 1000000}) {
            gif::TCountingStream counter;
            gif::TEncodeSource source{pixels.data(), int(c.n), 1, false, c.codeSize, 256};
            source.ClearDelay = delay;
            gif::EncodeImageData(counter, source, gif::emLZW);
            const int64_t counted =
                lzw.Measure(pixels.data(), c.n, c.codeSize, INT64_MAX - 1, delay);
            EXPECT_EQ(counted, counter.Size()) << c.codeSize << " " << c.n << " " << delay;
            changed = changed || counted != plain;
            EXPECT_GT(lzw.Measure(pixels.data(), c.n, c.codeSize, counted / 2, delay), counted / 2);
        }
        EXPECT_TRUE(changed) << "no delay changed the count of " << c.n;
    }
    const std::vector<uint8_t> few(3000, 1);
    lzw.Measure(few.data(), few.size(), 2, INT64_MAX - 1);
    EXPECT_EQ(lzw.Clears(), 0);
}
