#include <gtest/gtest.h>

#include "gif/graphics/palettes.h"
#include "gif/reduce/color_lookup.h"
#include "gif/reduce/fast_color_lookup.h"

namespace gif {
namespace {

TEST(ColorLookupTest, MonochromeSplitsMidGray) {
    TMonochromeLookup mono;
    TRGB chosen;
    EXPECT_EQ(mono.Lookup(127, 127, 127, chosen), 0);
    EXPECT_EQ(chosen, (TRGB{0, 0, 0}));
    EXPECT_EQ(mono.Lookup(128, 128, 128, chosen), 1);
    EXPECT_EQ(chosen, (TRGB{255, 255, 255}));
    // The weights are not equal: pure green is brighter than pure red.
    EXPECT_EQ(mono.Lookup(0, 255, 0, chosen), 1);
    EXPECT_EQ(mono.Lookup(255, 0, 0, chosen), 0);
}

TEST(ColorLookupTest, NetscapeRoundsEachChannelToTheCube) {
    TNetscapeColorLookup web;
    TRGB chosen;
    EXPECT_EQ(web.Lookup(47, 47, 47, chosen), 0);
    EXPECT_EQ(chosen, (TRGB{0, 0, 0}));
    EXPECT_EQ(web.Lookup(48, 48, 48, chosen), 43);
    EXPECT_EQ(chosen, (TRGB{51, 51, 51}));
    EXPECT_EQ(web.Lookup(255, 0, 100, chosen), 36 * 5 + 0 + 2);
    EXPECT_EQ(chosen, (TRGB{255, 0, 102}));
    EXPECT_EQ(web.Colors(), 216);
}

TEST(ColorLookupTest, GrayScaleUsesTheWeightedSum) {
    TGrayScaleLookup gray;
    TRGB chosen;
    // (77 * 10 + 150 * 200 + 29 * 30) >> 8 = 31640 >> 8 = 123
    EXPECT_EQ(gray.Lookup(10, 200, 30, chosen), 123);
    EXPECT_EQ(chosen, (TRGB{123, 123, 123}));
    EXPECT_EQ(gray.Lookup(255, 255, 255, chosen), 255);
}

TEST(FastColorLookupTest, SearchesBySumOfAbsoluteDifferencesFirstEntryWinning) {
    // (100, 0, 0) is at distance 30 from both entries 1 and 2; entry 3 is farther by the
    // sum (45) although nearer by squared distance (675 against 900).
    auto pal = PaletteFromColors(std::vector<TColor>{RGB(0, 0, 0), RGB(70, 0, 0),
                                                      RGB(130, 0, 0), RGB(85, 15, 15)});
    TFastColorLookup lookup(pal);
    TRGB chosen;
    EXPECT_EQ(lookup.Lookup(100, 0, 0, chosen), 1);
    EXPECT_EQ(chosen, (TRGB{70, 0, 0}));
    EXPECT_EQ(lookup.Colors(), 4);
}

TEST(FastColorLookupTest, ACellKeepsTheAnswerOfItsFirstColour) {
    auto pal = PaletteFromColors(std::vector<TColor>{RGB(0, 0, 0), RGB(16, 0, 0)});
    TFastColorLookup lookup(pal);
    TRGB chosen;
    // 8 and 15 share cell 1 (>> 3). 8 ties between both entries and takes the first, so
    // the cell resolves to entry 0, and 15, although nearer to 16, takes the cell's answer.
    EXPECT_EQ(lookup.Lookup(8, 0, 0, chosen), 0);
    EXPECT_EQ(lookup.Lookup(15, 0, 0, chosen), 0);
    // A fresh lookup asked the other way round resolves the cell to entry 1.
    TFastColorLookup other(pal);
    EXPECT_EQ(other.Lookup(15, 0, 0, chosen), 1);
    EXPECT_EQ(other.Lookup(8, 0, 0, chosen), 1);
}

TEST(FastColorLookupTest, PaletteEntriesSeedTheirCellsFirstEntryWinning) {
    // Entries 0 and 1 share a cell; entry 2 sits in the cell of (20, 20, 20).
    auto pal = PaletteFromColors(
        std::vector<TColor>{RGB(7, 7, 7), RGB(0, 0, 0), RGB(16, 16, 16)});
    TFastColorLookup lookup(pal);
    TRGB chosen;
    EXPECT_EQ(lookup.Lookup(0, 0, 0, chosen), 0);    // the cell belongs to entry 0
    EXPECT_EQ(chosen, (TRGB{7, 7, 7}));
    EXPECT_EQ(lookup.Lookup(23, 23, 23, chosen), 2);
    EXPECT_EQ(TFastColorLookup(nullptr).Colors(), 0);
}

} // namespace
} // namespace gif
