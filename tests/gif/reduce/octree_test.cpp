#include <gtest/gtest.h>

#include <algorithm>

#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/reduce/octree.h"
#include "gif/reduce/optimized_palette.h"

namespace gif {
namespace {

TEST(OctreeTest, FewerColoursThanWantedGiveExactlyThoseColours) {
    TBitmap bmp(5, 2, pf24bit);
    const TColor colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(9, 9, 9),
                             RGB(200, 100, 50)};
    for (int i = 0; i < 10; ++i) bmp.SetPixels(i % 5, i / 5, colors[i % 5]);
    TColorQuantizer q(256, 8);
    q.AddBitmap(bmp);
    EXPECT_EQ(q.LeafCount(), 5);
    std::vector<TColor> got = q.Colors();
    ASSERT_EQ(got.size(), 5u);
    // Depth first, children in index order: the tree orders by the top bits of r, g, b.
    EXPECT_EQ(got, (std::vector<TColor>{RGB(9, 9, 9), RGB(0, 0, 255), RGB(0, 255, 0),
                                        RGB(255, 0, 0), RGB(200, 100, 50)}));
    EXPECT_EQ(CreateOptimizedPalette(bmp, 256, 8, false)->Count(), 5);
}

TEST(OctreeTest, ReducesTheMostRecentNodeOfTheDeepestLevelFirst) {
    // Two levels: the level-1 node is chosen by the top bit, the leaf by the next one.
    // A and B sit under the older level-1 node, C and D under the newer one. When D makes
    // a fourth leaf, the newer node is folded: its colours average to (160, 0, 0).
    TColorQuantizer q(3, 2);
    q.AddColor(0, 0, 0);
    q.AddColor(64, 0, 0);
    q.AddColor(128, 0, 0);
    EXPECT_EQ(q.LeafCount(), 3);
    q.AddColor(192, 0, 0);
    EXPECT_EQ(q.LeafCount(), 3);
    EXPECT_EQ(q.Colors(), (std::vector<TColor>{RGB(0, 0, 0), RGB(64, 0, 0), RGB(160, 0, 0)}));

    // Folding a node with a single child does not lower the count; the next one is taken.
    TColorQuantizer r(2, 2);
    r.AddColor(0, 0, 0);
    r.AddColor(64, 0, 0);
    r.AddColor(128, 0, 0);   // newest level-1 node has one leaf: folding it gains nothing
    EXPECT_EQ(r.LeafCount(), 2);
    EXPECT_EQ(r.Colors(), (std::vector<TColor>{RGB(32, 0, 0), RGB(128, 0, 0)}));
}

TEST(OctreeTest, AveragesArePixelWeightedAndTheLevelClimbsWhenEmpty) {
    // One colour maximum: everything folds up to the root, the pixel-weighted mean.
    TColorQuantizer q(1, 8);
    for (int i = 0; i < 3; ++i) q.AddColor(30, 60, 90);
    q.AddColor(250, 0, 10);
    EXPECT_EQ(q.LeafCount(), 1);
    EXPECT_EQ(q.Colors(), (std::vector<TColor>{RGB(85, 45, 70)}));
}

TEST(OctreeTest, SystemLayoutWrapsTheQuantizedColours) {
    TBitmap bmp(2, 1, pf24bit);
    bmp.SetPixels(0, 0, RGB(1, 2, 3));
    bmp.SetPixels(1, 0, RGB(200, 201, 202));
    auto pal = CreateOptimizedPalette(bmp, 256, 8, true);
    ASSERT_EQ(pal->Count(), 256);
    auto sys = MakeSystemPalette20();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(pal->ColorAt(i), sys->ColorAt(i));
        EXPECT_EQ(pal->ColorAt(246 + i), sys->ColorAt(10 + i));
    }
    EXPECT_EQ(pal->ColorAt(10), RGB(1, 2, 3));
    EXPECT_EQ(pal->ColorAt(11), RGB(200, 201, 202));
    EXPECT_EQ(pal->ColorAt(12), clBlack);
    EXPECT_EQ(pal->ColorAt(245), clBlack);
}

TEST(OctreeTest, ManyBitmapsShareOnePalette) {
    TBitmap a(1, 1, pf24bit), b(1, 1, pf8bit);
    a.SetPixels(0, 0, RGB(255, 0, 0));
    b.SetPixels(0, 0, clWhite);   // read as 24 bits through its colour table
    const TBitmap* both[] = {&a, &b};
    auto pal = CreateOptimizedPaletteFromManyBitmaps(both, 16, 8, false);
    ASSERT_EQ(pal->Count(), 2);
    EXPECT_EQ(pal->ColorAt(0), RGB(255, 0, 0));
    EXPECT_EQ(pal->ColorAt(1), clWhite);
}

} // namespace
} // namespace gif
