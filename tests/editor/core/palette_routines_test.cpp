// Colour tables of the working image: which entries may go, palette settings, the list that
// gives frames their local tables back, and the colour-map merge.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "editor/core/palette_collection.h"
#include "editor/core/palette_routines.h"
#include "editor/core/settings.h"
#include "editor/support/editor_test_util.h"
#include "gif/reduce/reduction.h"

using namespace editor;
using namespace editortest;

namespace {

void SetTable(gif::TGIFColorMap& table, std::initializer_list<gif::TColor> colours) {
    table.RemoveAll();
    for (gif::TColor c : colours) table.AppendColor(c);
}

} // namespace

TEST(CanDeleteColor, UnsortedLocalTableCountsEarlierDuplicatesAndPixels) {
    auto image = MakeAnimation(2);
    gif::TGIFSubImage& frame = *image->Frame(1);   // pixels all 1
    SetTable(frame.LocalTable(), {0x0000FF, 0x00FF00, 0x0000FF, 0xFF0000, 0x00FF00});
    ASSERT_FALSE(frame.LocalTable().SortedByUse());
    const auto& table = frame.LocalTable();
    EXPECT_TRUE(CanDeleteColor(*image, table, 2, 1));    // same as entry 0, which stays
    EXPECT_TRUE(CanDeleteColor(*image, table, 4, 1));    // same as entry 1
    EXPECT_FALSE(CanDeleteColor(*image, table, 1, 1));   // pixels use it; its twin comes later
    EXPECT_TRUE(CanDeleteColor(*image, table, 3, 1));    // unique, but no pixel uses it
    EXPECT_FALSE(CanDeleteColor(*image, table, 9, 1));
}

TEST(CanDeleteColor, SortedTableCountsLaterDuplicatesBeforeTheLastEntry) {
    auto image = MakeAnimation(2);
    gif::TGIFSubImage& frame = *image->Frame(1);
    // Pixels 0 and 1 used, sorted by use: entry 0 is the most used colour.
    SetTable(frame.LocalTable(), {0x0000FF, 0x00FF00, 0x0000FF, 0x123456});
    std::fill(frame.Pixels(), frame.Pixels() + frame.PixelCount(), uint8_t(0));
    frame.Pixels()[0] = 1;
    frame.Pixels()[1] = 2;
    frame.Pixels()[2] = 3;
    frame.LocalTable().SortByUse();
    ASSERT_TRUE(frame.LocalTable().SortedByUse());
    const auto entries = frame.LocalTable().Entries();
    ASSERT_EQ(entries.size(), 4u);
    // Both blues survive the sort (each is used); whichever comes first may go because
    // the other one holds the same colour at a later index.
    int firstBlue = -1;
    for (int i = 0; i < 4; ++i)
        if (entries[size_t(i)] == (gif::TGIFColor{255, 0, 0}) && firstBlue < 0) firstBlue = i;
    ASSERT_GE(firstBlue, 0);
    EXPECT_TRUE(CanDeleteColor(*image, frame.LocalTable(), firstBlue, 1));
    // A colour used by pixels and held nowhere else stays.
    for (int i = 0; i < 4; ++i)
        if (entries[size_t(i)] == (gif::TGIFColor{0x56, 0x34, 0x12})) {
            EXPECT_FALSE(CanDeleteColor(*image, frame.LocalTable(), i, 1));
        }
}

TEST(CanDeleteColor, GlobalTableLooksAtEveryFrameThatDrawsWithIt) {
    auto image = MakeAnimation(4);   // frame i uses global index i
    const auto& global = image->GlobalColorMap();
    // Frame 0 uses index 0 only; frame 3 uses index 3: a scan of the first frame alone
    // would let index 3 go.
    EXPECT_FALSE(CanDeleteColor(*image, global, 3, -1));
    // A frame with its own local table does not draw with the global one.
    SetTable(image->Frame(3)->LocalTable(), {0, 0xFF, 0xFF00, 0xFF0000});
    EXPECT_TRUE(CanDeleteColor(*image, global, 3, -1));
    image->GlobalColorMap().AppendColor(gif::RGB(1, 2, 3));
    EXPECT_TRUE(CanDeleteColor(*image, image->GlobalColorMap(), 4, -1));
}

TEST(ApplyPaletteSettings, ReductionDepthAndDitherFromTheSettings) {
    QTemporaryDir dir;
    Settings settings(dir.filePath("palette.ini"));
    gif::TGIFImage image;
    const std::tuple<int, int, int, bool, int, int, int> cases[] = {
        // type, colours, dither -> result, method, depth, dither mode
        {0, 256, 0, true, gif::crOptimized, 8, gif::dtNearest},
        {0, 16, 1, true, gif::crOptimized, 4, gif::dtFloydSteinberg},
        {0, 32, 0, true, gif::crOptimized, 5, gif::dtNearest},
        {2, 128, 0, false, gif::crOptimized, 7, gif::dtNearest},
        {2, 8, 1, false, gif::crOptimized, 3, gif::dtFloydSteinberg},
        {2, 100, 0, false, gif::crOptimized, 3, gif::dtNearest},   // 100: depth unchanged
        {1, 16, 0, true, gif::crWeb216, 8, gif::dtNearest},
        {1, 16, 5, true, gif::crWeb216, 8, gif::dtNearest},        // 5: dither unchanged
        // The least-error palette merges like the optimised one and dithers its own way.
        {3, 64, 1, true, gif::crQuality, 6, gif::dtClampedFloydSteinberg},
        {3, 256, 0, true, gif::crQuality, 8, gif::dtNearest},
    };
    for (const auto& [type, colours, dither, result, method, depth, mode] : cases) {
        settings.SetValue(keys::PaletteType, type);
        settings.SetValue(keys::MaxColorCount, colours);
        settings.SetValue(keys::DitherMethod, dither);
        EXPECT_EQ(ApplyPaletteSettings(image, settings), result) << type << " " << colours;
        EXPECT_EQ(image.ReductionMethod, method);
        EXPECT_EQ(image.ReductionDepth(), depth);
        EXPECT_EQ(image.DitherMethod, mode);
    }
}

TEST(PaletteCollection, RestoresLocalTablesThatAMergeTookAway) {
    auto image = MakeAnimation(3);
    SetTable(image->Frame(2)->LocalTable(), {gif::RGB(10, 20, 30), gif::RGB(1, 1, 1),
                                             gif::RGB(2, 2, 2), gif::RGB(40, 50, 60)});
    TColorPaletteCollection palettes;
    OptimiseFrameColours(*image->Frame(0), ptOptimizedKeepLocal, palettes);
    EXPECT_EQ(palettes.Count(), 0);
    // The merge moved frame 2's colours into the global table; it has a local table again.
    EXPECT_GT(image->Frame(2)->LocalTable().EntryCount(), 0);
    EXPECT_TRUE(image->Frame(2)->LocalTable().SortedByUse());
    // Reduction settings of the image survive the merge.
    EXPECT_EQ(image->ReductionMethod, gif::DefaultReductionMethod);
    // The other palette types just merge.
    auto other = MakeAnimation(3);
    SetTable(other->Frame(2)->LocalTable(), {gif::RGB(10, 20, 30), gif::RGB(1, 1, 1)});
    OptimiseFrameColours(*other->Frame(0), ptOptimized, palettes);
    EXPECT_EQ(other->Frame(2)->LocalTable().EntryCount(), 0);
}
