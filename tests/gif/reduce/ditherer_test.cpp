#include <gtest/gtest.h>

#include <vector>

#include "gif/reduce/burkes.h"
#include "gif/reduce/dither_5by3.h"
#include "gif/reduce/dither_engine.h"
#include "gif/reduce/floyd_steinberg.h"
#include "gif/reduce/steve_arche.h"

namespace gif {
namespace {

// Keeps every colour exactly (no error) except a red of `trigger`, which becomes black:
// a single error impulse. Remembers the last colour it was asked for.
class ImpulseLookup : public TColorLookup {
public:
    explicit ImpulseLookup(int trigger) : TColorLookup(256), trigger_(trigger) {}
    uint8_t Lookup(uint8_t r, uint8_t g, uint8_t b, TRGB& chosen) override {
        Last = {r, g, b};
        chosen = r == trigger_ ? TRGB{0, g, b} : TRGB{r, g, b};
        return r;
    }
    TRGB Last;

private:
    int trigger_;
};

// Answers one fixed colour for everything.
class ConstantLookup : public TColorLookup {
public:
    explicit ConstantLookup(uint8_t v) : TColorLookup(1), v_(v) {}
    uint8_t Lookup(uint8_t r, uint8_t g, uint8_t b, TRGB& chosen) override {
        Seen.push_back(r);
        chosen = {v_, v_, v_};
        return 0;
    }
    std::vector<int> Seen;

private:
    uint8_t v_;
};

using Grid = std::vector<std::vector<int>>;

// Runs `mode` over a w x h picture whose red channel is `input`, recording the diffused red
// value the lookup saw at each pixel.
template <typename Lookup>
Grid RunDitherer(TDitherMode mode, const Grid& input, Lookup& lookup, std::vector<int>* columns = nullptr) {
    int h = int(input.size()), w = int(input[0].size());
    auto d = CreateDitherer(mode, w, lookup);
    Grid seen(size_t(h), std::vector<int>(size_t(w), -1));
    for (int y = 0; y < h; ++y) {
        for (int x = d->Column(); x >= 0 && x < w; x = d->Column()) {
            if (columns) columns->push_back(x);
            d->Dither(uint8_t(input[size_t(y)][size_t(x)]), 0, 0);
            seen[size_t(y)][size_t(x)] = lookup.Last.Red;
        }
        d->NextLine();
    }
    return seen;
}

struct Tap {
    int dx, dy, weight;
};

struct KernelCase {
    TDitherMode mode;
    int divisor;
    std::vector<Tap> taps;   // dx counted in the walking direction
};

const KernelCase Kernels[] = {
    {dtFloydSteinberg, 16, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}},
    {dtStucki, 42, {{1, 0, 8}, {2, 0, 4},
                    {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2},
                    {-2, 2, 1}, {-1, 2, 2}, {0, 2, 4}, {1, 2, 2}, {2, 2, 1}}},
    {dtSierra, 32, {{1, 0, 5}, {2, 0, 3},
                    {-2, 1, 2}, {-1, 1, 4}, {0, 1, 5}, {1, 1, 4}, {2, 1, 2},
                    {-1, 2, 2}, {0, 2, 3}, {1, 2, 2}}},
    {dtJarvisJudiceNinke, 48, {{1, 0, 7}, {2, 0, 5},
                               {-2, 1, 3}, {-1, 1, 5}, {0, 1, 7}, {1, 1, 5}, {2, 1, 3},
                               {-2, 2, 1}, {-1, 2, 3}, {0, 2, 5}, {1, 2, 3}, {2, 2, 1}}},
    {dtBurkes, 32, {{1, 0, 8}, {2, 0, 4},
                    {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}},
    {dtStevensonArce, 200, {{2, 0, 32},
                            {-3, 1, 12}, {-1, 1, 26}, {1, 1, 30}, {3, 1, 16},
                            {-2, 2, 12}, {0, 2, 26}, {2, 2, 12},
                            {-3, 3, 5}, {-1, 3, 12}, {1, 3, 12}, {3, 3, 5}}},
};

// An error equal to the divisor reaches each neighbour as exactly its weight, so the
// values the lookup sees spell out the kernel; on a right-to-left row it is mirrored.
TEST(DithererTest, EachKernelSpreadsItsWeightsInTheWalkingDirection) {
    for (const KernelCase& k : Kernels) {
        for (int row : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "mode " << int(k.mode) << " row " << row);
            const int w = 9, h = 6, cx = 4;
            Grid input(size_t(h), std::vector<int>(size_t(w), 0));
            input[size_t(row)][size_t(cx)] = k.divisor;
            Grid expected(size_t(h), std::vector<int>(size_t(w), 0));
            expected[size_t(row)][size_t(cx)] = k.divisor;
            int direction = row % 2 == 0 ? 1 : -1;
            for (const Tap& t : k.taps)
                expected[size_t(row + t.dy)][size_t(cx + t.dx * direction)] = t.weight;
            ImpulseLookup lookup(k.divisor);
            EXPECT_EQ(RunDitherer(k.mode, input, lookup), expected);
        }
    }
}

TEST(DithererTest, FloydSteinbergRoundsTowardZeroAndClamps) {
    // All white: errors are negative. 250 -> e -5, carried -35: 250 + (-35 + 8) / 16 = 249
    // (truncation; flooring would give 248); then e -6, carried -42: 250 + (-34) / 16 = 248.
    ConstantLookup white(255);
    auto fs = CreateDitherer(dtFloydSteinberg, 3, white);
    for (int i = 0; i < 3; ++i) fs->Dither(250, 0, 0);
    EXPECT_EQ(white.Seen, (std::vector<int>{250, 249, 248}));

    // All black: 200 -> e 200, carried 1400: 200 + 1408 / 16 = 288, clamped to 255.
    ConstantLookup black(0);
    auto fs2 = CreateDitherer(dtFloydSteinberg, 2, black);
    fs2->Dither(200, 0, 0);
    fs2->Dither(200, 0, 0);
    EXPECT_EQ(black.Seen, (std::vector<int>{200, 255}));
}

TEST(DithererTest, FloydSteinbergCarriesTwoRowsWorkedByHand) {
    // Everything maps to black, so each error is the diffused value itself.
    // Row 0 (left to right) of 100s: 100; 100 + (700 + 8) / 16 = 144;
    // 100 + (1008 + 8) / 16 = 163. Errors below: x0 = 5*100 + 3*144 = 932,
    // x1 = 100 + 5*144 + 3*163 = 1309, x2 = 144 + 5*163 = 959.
    // Row 1 (right to left) of 0s: x2 = 967 / 16 = 60; x1 = (1309 + 420 + 8) / 16 = 108;
    // x0 = (932 + 756 + 8) / 16 = 106.
    ConstantLookup black(0);
    auto fs = CreateDitherer(dtFloydSteinberg, 3, black);
    for (int i = 0; i < 3; ++i) fs->Dither(100, 0, 0);
    fs->NextLine();
    for (int i = 0; i < 3; ++i) fs->Dither(0, 0, 0);
    EXPECT_EQ(black.Seen, (std::vector<int>{100, 144, 163, 60, 108, 106}));
}

TEST(DithererTest, EveryModeWalksInSerpentineOrder) {
    for (TDitherMode mode : {dtNearest, dtFloydSteinberg, dtStucki, dtSierra,
                             dtJarvisJudiceNinke, dtStevensonArce, dtBurkes}) {
        ImpulseLookup lookup(999);
        std::vector<int> columns;
        Grid input(3, std::vector<int>(3, 0));
        RunDitherer(mode, input, lookup, &columns);
        EXPECT_EQ(columns, (std::vector<int>{0, 1, 2, 2, 1, 0, 0, 1, 2})) << int(mode);
    }
    ConstantLookup any(0);
    EXPECT_EQ(CreateDitherer(TDitherMode(LastDitherMode + 1), 3, any), nullptr);
}

TEST(DithererTest, ChannelsDiffuseIndependently) {
    // Only green carries an error; red and blue stay exact.
    class GreenOnly : public TColorLookup {
    public:
        GreenOnly() : TColorLookup(256) {}
        uint8_t Lookup(uint8_t r, uint8_t g, uint8_t b, TRGB& chosen) override {
            Seen.push_back({r, g, b});
            chosen = {r, uint8_t(g == 32 ? 0 : g), b};
            return 0;
        }
        std::vector<TRGB> Seen;
    } lookup;
    auto d = CreateDitherer(dtBurkes, 3, lookup);
    d->Dither(10, 32, 20);
    d->Dither(10, 0, 20);
    d->Dither(10, 0, 20);
    EXPECT_EQ(lookup.Seen[1], (TRGB{10, 8, 20}));
    EXPECT_EQ(lookup.Seen[2], (TRGB{10, 4, 20}));
}

} // namespace
} // namespace gif
