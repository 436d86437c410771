// Frames reduced together: one palette from all of them, still pixels keep their index.
#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/reduce/animation_reduction.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace gif {
namespace {

// Noisy ramps (far more than 256 colours) with a square of another colour at `squareX`.
TBitmap Frame(int squareX) {
    TBitmap bmp(64, 40, pf24bit);
    uint32_t s = 5;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            s = s * 1664525u + 1013904223u;
            int n = int(s >> 28);
            bmp.SetPixels(x, y, RGB(uint8_t(x * 3 + n), uint8_t(y * 5 + n), uint8_t(90 + n)));
        }
    for (int y = 10; y < 20; ++y)
        for (int x = squareX; x < squareX + 10; ++x)
            bmp.SetPixels(x, y, RGB(250, 30, uint8_t(x * 7)));
    return bmp;
}

TEST(AnimationReduction, StillPixelsKeepTheirIndexUnderEveryDitherer) {
    std::vector<TBitmap> frames = {Frame(2), Frame(6), Frame(6), Frame(30)};
    std::vector<const TBitmap*> sources;
    for (const TBitmap& f : frames)
        sources.push_back(&f);
    for (TColorReduction method : {crQuality, crOptimized}) {
        for (TDitherMode mode : {dtNearest, dtFloydSteinberg, dtClampedFloydSteinberg, dtOrdered}) {
            TReducedFrames out = ReduceFrames(sources, method, mode, nullptr, 8);
            ASSERT_EQ(out.Frames.size(), frames.size());
            for (size_t f = 1; f < frames.size(); ++f) {
                const auto& table = out.Frames[f]->ColorTable()->Entries; // padded to 256
                ASSERT_GE(table.size(), out.Palette->Entries.size());
                EXPECT_TRUE(std::equal(out.Palette->Entries.begin(), out.Palette->Entries.end(),
                                       table.begin()));
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 64; ++x) {
                        if (frames[f].Pixels(x, y) != frames[f - 1].Pixels(x, y)) continue;
                        ASSERT_EQ(out.Frames[f]->ScanLine(y)[x], out.Frames[f - 1]->ScanLine(y)[x])
                            << "method " << int(method) << " mode " << int(mode) << " frame " << f
                            << " at " << x << "," << y;
                    }
            }
        }
    }
}

TEST(AnimationReduction, PaletteComesFromEveryFrame) {
    // Each frame alone has two colours; the colour of the last frame must be in the palette.
    std::vector<TBitmap> frames;
    const TColor colors[] = {RGB(10, 10, 10), RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
    for (int f = 0; f < 3; ++f) {
        TBitmap bmp(8, 8, pf24bit);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                bmp.SetPixels(x, y, x < 4 ? colors[0] : colors[f + 1]);
        frames.push_back(bmp);
    }
    std::vector<const TBitmap*> sources;
    for (const TBitmap& f : frames)
        sources.push_back(&f);
    TReducedFrames out = ReduceFrames(sources, crQuality, dtClampedFloydSteinberg, nullptr, 8);
    ASSERT_EQ(out.Palette->Count(), 4);
    for (size_t f = 0; f < frames.size(); ++f)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(out.Frames[f]->Pixels(x, 3), frames[f].Pixels(x, 3));
}

TEST(AnimationReduction, RefusesWhatItCannotReduce) {
    TBitmap one = Frame(0);
    const TBitmap* good[] = {&one};
    const TBitmap* withNull[] = {&one, nullptr};
    EXPECT_THROW(ReduceFrames(good, crNone, dtNearest, nullptr, 8), GIFException);
    EXPECT_THROW(ReduceFrames(good, crCustom, dtNearest, nullptr, 8), GIFException);
    EXPECT_THROW(ReduceFrames(withNull, crQuality, dtNearest, nullptr, 8), GIFException);
    EXPECT_THROW(ReduceFrames(good, TColorReduction(LastColorReduction + 1), dtNearest, nullptr, 8),
                 GIFException);
    EXPECT_TRUE(ReduceFrames({}, crQuality, dtNearest, nullptr, 8).Frames.empty());
}

} // namespace
} // namespace gif
