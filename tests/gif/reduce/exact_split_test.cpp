// Counting a picture's distinct colours, cutting them into boxes and topping up a palette
// with the colours it serves worst.
#include "gif/graphics/bitmap.h"
#include "gif/reduce/exact_split.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace gif {
namespace {

TColorCell CellOf(uint8_t r, uint8_t g, uint8_t b, uint32_t count) {
    TColorCell cell;
    cell.Count = count;
    cell.Sum = {uint64_t(r) * count, uint64_t(g) * count, uint64_t(b) * count};
    return cell;
}

// Colour -> count, as a slow count over every pixel of the rows taken would give.
std::map<uint32_t, uint32_t> Counted(const std::vector<TColorCell>& cells) {
    std::map<uint32_t, uint32_t> out;
    for (const TColorCell& c : cells) {
        EXPECT_GT(c.Count, 0u);
        uint32_t rgb = uint32_t(c.Sum[0] / c.Count) << 16 | uint32_t(c.Sum[1] / c.Count) << 8 |
                       uint32_t(c.Sum[2] / c.Count);
        EXPECT_EQ(out.count(rgb), 0u) << "colour listed twice";
        out[rgb] = c.Count;
    }
    return out;
}

TBitmap Noisy(int w, int h, uint32_t seed) {
    TBitmap bmp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            // Few levels per channel, spread over several regions, so colours repeat.
            bmp.SetPixels(x, y, RGB(uint8_t(seed >> 29 << 5), uint8_t(seed >> 26 & 7),
                                    uint8_t((seed >> 20 & 3) * 70)));
        }
    return bmp;
}

TEST(ExactColors, CountsEveryColourOfTheRowsTakenAndLeavesTheSkippedOne) {
    TBitmap a = Noisy(37, 23, 5), b = Noisy(11, 40, 9);
    const TBitmap* both[] = {&a, nullptr, &b};
    for (int step : {1, 3}) {
        std::map<uint32_t, uint32_t> expected;
        for (const TBitmap* bmp : {&a, &b})
            for (int y = 0; y < bmp->Height(); y += step)
                for (int x = 0; x < bmp->Width(); ++x) {
                    TColor c = bmp->Pixels(x, y);
                    ++expected[uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 |
                               GetBValue(c)];
                }
        auto counted = CountExactColors(both, step, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX);
        ASSERT_TRUE(counted);
        EXPECT_EQ(Counted(*counted), expected) << "step " << step;

        const uint32_t skipped = expected.begin()->first;
        expected.erase(skipped);
        auto without = CountExactColors(both, step, skipped, SIZE_MAX, SIZE_MAX);
        ASSERT_TRUE(without);
        EXPECT_EQ(Counted(*without), expected);
    }
    // A step below 1 is taken as 1; no pictures give no colours.
    EXPECT_EQ(CountExactColors(both, 0, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX)->size(),
              CountExactColors(both, 1, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX)->size());
    EXPECT_TRUE(CountExactColors({}, 1, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX)->empty());
}

TEST(ExactColors, OrderDoesNotDependOnWherePixelsLie) {
    TBitmap bmp = Noisy(30, 20, 77), flipped(30, 20, pf24bit);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            flipped.SetPixels(29 - x, 19 - y, bmp.Pixels(x, y));
    const TBitmap* one[] = {&bmp};
    const TBitmap* other[] = {&flipped};
    auto a = CountExactColors(one, 1, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX);
    auto b = CountExactColors(other, 1, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->size(), b->size());
    for (size_t i = 0; i < a->size(); ++i) {
        EXPECT_EQ((*a)[i].Count, (*b)[i].Count);
        EXPECT_EQ((*a)[i].Sum, (*b)[i].Sum);
    }
}

TEST(ExactColors, GivesUpBeyondItsLimits) {
    TBitmap bmp = Noisy(40, 40, 3);
    const TBitmap* one[] = {&bmp};
    const size_t colors = CountExactColors(one, 1, 0xFFFFFFFF, SIZE_MAX, SIZE_MAX)->size();
    EXPECT_TRUE(CountExactColors(one, 1, 0xFFFFFFFF, colors, SIZE_MAX));
    EXPECT_FALSE(CountExactColors(one, 1, 0xFFFFFFFF, colors - 1, SIZE_MAX));
    EXPECT_FALSE(CountExactColors(one, 1, 0xFFFFFFFF, SIZE_MAX, 1)); // several regions
    EXPECT_FALSE(CountExactColors(one, 1, 0xFFFFFFFF, SIZE_MAX, 0));
}

TEST(ExactSplit, BoxesShareOutEveryPixelAndSeparateDistantGroups) {
    // Two tight groups far apart, one of them much larger.
    std::vector<TColorCell> exact;
    for (int i = 0; i < 20; ++i)
        exact.push_back(CellOf(uint8_t(10 + i % 4), uint8_t(20 + i / 4), 30, 5));
    for (int i = 0; i < 20; ++i)
        exact.push_back(CellOf(200, uint8_t(180 + i % 5), uint8_t(100 + i / 5), 100));
    TColorCell total;
    for (const TColorCell& c : exact) {
        total.Count += c.Count;
        for (size_t k = 0; k < 3; ++k)
            total.Sum[k] += c.Sum[k];
    }
    for (int colors : {1, 2, 7, 39, 40, 41, 256}) {
        std::vector<TColorCell> boxes = SplitExactColors(exact, colors);
        EXPECT_EQ(int(boxes.size()), std::min(colors, 40)) << colors;
        TColorCell sum;
        for (const TColorCell& b : boxes) {
            EXPECT_GT(b.Count, 0u);
            sum.Count += b.Count;
            for (size_t k = 0; k < 3; ++k)
                sum.Sum[k] += b.Sum[k];
        }
        EXPECT_EQ(sum.Count, total.Count) << colors;
        EXPECT_EQ(sum.Sum, total.Sum) << colors;
        if (colors == 2) { // exactly the two groups
            std::vector<uint32_t> counts{boxes[0].Count, boxes[1].Count};
            std::sort(counts.begin(), counts.end());
            EXPECT_EQ(counts, (std::vector<uint32_t>{100, 2000}));
        }
        if (colors >= 40) { // one box per colour
            for (const TColorCell& b : boxes)
                EXPECT_TRUE(b.Count == 5 || b.Count == 100) << b.Count;
        }
    }
    EXPECT_TRUE(SplitExactColors({}, 256).empty());
}

TEST(ExactSplit, CutsTheBusiestBoxFirst) {
    // A wide spread of rare colours and a pair of common colours one level apart: with
    // three boxes, the spread is cut before the pair.
    std::vector<TColorCell> exact{CellOf(0, 0, 0, 10), CellOf(120, 0, 0, 10),
                                  CellOf(240, 0, 0, 10), CellOf(60, 200, 60, 1000),
                                  CellOf(60, 201, 60, 1000)};
    std::vector<TColorCell> boxes = SplitExactColors(exact, 3);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                            [](const TColorCell& b) { return b.Count == 2000; }));
}

TEST(ExactSplit, FillAddsTheWorstServedColoursUpToTheLimit) {
    std::vector<TColorCell> exact{CellOf(0, 0, 0, 50), CellOf(10, 0, 0, 1),
                                  CellOf(100, 100, 100, 3), CellOf(250, 250, 250, 2)};
    std::vector<TRGB> palette{{0, 0, 0}};
    // Costs: (10,0,0) 100, (100,100,100) 3 * 30000, (250,250,250) 2 * 187500.
    std::vector<TRGB> filled = FillWithWorstServed(exact, palette, 3);
    EXPECT_EQ(filled, (std::vector<TRGB>{{0, 0, 0}, {250, 250, 250}, {100, 100, 100}}));
    // Never more than the distinct colours, and a full palette stays as it is.
    EXPECT_EQ(FillWithWorstServed(exact, palette, 256).size(), 4u);
    std::vector<TRGB> full{{1, 2, 3}, {4, 5, 6}};
    EXPECT_EQ(FillWithWorstServed(exact, full, 2), full);
    // An empty palette takes the most frequent colours.
    EXPECT_EQ(FillWithWorstServed(exact, {}, 2),
              (std::vector<TRGB>{{0, 0, 0}, {100, 100, 100}}));
    EXPECT_TRUE(FillWithWorstServed({}, {}, 5).empty());
}

} // namespace
} // namespace gif
