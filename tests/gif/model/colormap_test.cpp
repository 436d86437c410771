#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/test_util.h"

using namespace gif;
using giftest::WarningLog;

namespace {

TGIFColorMap& GlobalWith(TGIFImage& image, std::initializer_list<TColor> colors) {
    for (TColor c : colors) image.GlobalColorMap().AppendColor(c);
    return image.GlobalColorMap();
}

} // namespace

TEST(ColorMap, CapacityGrowsInSteps) {
    TGIFImage image;
    TGIFColorMap& map = image.GlobalColorMap();
    map.EnsureRoom(1);
    EXPECT_EQ(map.Capacity(), 16);
    map.EnsureRoom(16);
    EXPECT_EQ(map.Capacity(), 16);
    map.EnsureRoom(17);
    EXPECT_EQ(map.Capacity(), 32);
    map.EnsureRoom(33);
    EXPECT_EQ(map.Capacity(), 64);
    map.EnsureRoom(300);
    EXPECT_EQ(map.Capacity(), 256);

    TGIFImage other;
    other.GlobalColorMap().EnsureRoom(15);
    other.GlobalColorMap().EnsureRoom(15);
    EXPECT_EQ(other.GlobalColorMap().Capacity(), 16);
}

TEST(ColorMap, AppendStopsAt256) {
    TGIFImage image;
    TGIFColorMap& map = image.GlobalColorMap();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(map.AppendColor(RGB(uint8_t(i), 0, 0)), i);
    EXPECT_EQ(map.Capacity(), 256);
    EXPECT_THROW(
        {
            try {
                map.AppendColor(clWhite);
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Color table overflow");
                throw;
            }
        },
        GIFException);
    EXPECT_EQ(map.EntryCount(), 256);
}

TEST(ColorMap, FindColorDirectionDependsOnSortMark) {
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {clBlack, RGB(1, 2, 3), clWhite, RGB(1, 2, 3)});
    EXPECT_EQ(map.FindColor(RGB(1, 2, 3)), 3);
    EXPECT_EQ(map.FindColor(RGB(9, 9, 9)), -1);
    EXPECT_EQ(map.FindOrAppend(RGB(9, 9, 9)), 4);

    // Frame using entries so that sorting keeps the duplicate pair.
    giftest::AddFrame(image, 0, 0, 5, 1, {1, 1, 3, 3, 0});
    ASSERT_TRUE(map.SortByUse());
    ASSERT_TRUE(map.SortedByUse());
    // Both copies of (1,2,3) are used; a sorted table returns the first (most used) one.
    EXPECT_EQ(map.FindColor(RGB(1, 2, 3)), 0);
}

TEST(ColorMap, SortByUseCountsAndRenumbersLongRuns) {
    // Runs of one index longer than a word, mixed rows, and a tail shorter than a word.
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {clBlack, RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)});
    std::vector<uint8_t> pixels;
    pixels.insert(pixels.end(), 24, 2);             // 24 x index 2
    for (int i = 0; i < 10; ++i) pixels.push_back(uint8_t(i % 2 ? 1 : 3)); // 5 x 1, 5 x 3
    pixels.insert(pixels.end(), 9, 3);              // 14 x index 3 in all
    pixels.insert(pixels.end(), 3, 1);              // 8 x index 1 in all, 46 pixels
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 46, 1, pixels);
    ASSERT_TRUE(map.SortByUse());
    EXPECT_EQ(map.EntryCount(), 3); // index 0 is unused and dropped
    EXPECT_EQ(map.ColorAt(0), RGB(2, 2, 2));
    EXPECT_EQ(map.ColorAt(1), RGB(3, 3, 3));
    EXPECT_EQ(map.ColorAt(2), RGB(1, 1, 1));
    const std::vector<uint8_t> remap = {0xFF, 2, 0, 1};
    for (int x = 0; x < 46; ++x)
        EXPECT_EQ(frame.PixelAt(x, 0), remap[pixels[size_t(x)]]) << x;
}

TEST(ColorMap, ColorAtWarnsThenFallsBackOrFails) {
    TGIFImage image;
    WarningLog log;
    log.Attach(image);
    TGIFColorMap& map = image.GlobalColorMap();
    EXPECT_THROW(map.ColorAt(0), GIFException);
    ASSERT_EQ(log.Entries.size(), 1u);
    EXPECT_EQ(log.Entries[0].Message, "Invalid color index");
    EXPECT_EQ(log.Entries[0].Sender, "TGIFGlobalColorMap");
    EXPECT_EQ(log.Entries[0].Severity, 1);

    map.AppendColor(RGB(10, 20, 30));
    map.AppendColor(clWhite);
    EXPECT_EQ(map.ColorAt(5), RGB(10, 20, 30));
    EXPECT_EQ(map.ColorAt(1), clWhite);
    EXPECT_EQ(log.Entries.size(), 2u);
    EXPECT_THROW(map.SetColorAt(2, clBlack), GIFException);
    EXPECT_THROW(map.DeleteAt(-1), GIFException);
}

TEST(ColorMap, MarksAndDeletion) {
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {clBlack, clWhite, RGB(5, 5, 5)});
    giftest::AddFrame(image, 0, 0, 3, 1, {1, 1, 2});
    ASSERT_TRUE(map.SortByUse());
    map.SetColorAt(0, RGB(7, 7, 7));
    EXPECT_TRUE(map.SortedByUse());
    map.AppendColor(clBlack);
    EXPECT_FALSE(map.SortedByUse());
    ASSERT_TRUE(map.SortByUse());
    map.DeleteAt(0);
    EXPECT_FALSE(map.SortedByUse());
    EXPECT_EQ(map.ColorAt(0), RGB(5, 5, 5));
}

TEST(ColorMap, BitsNeededAndPaddedSave) {
    struct Case {
        int count;
        int bits;
        int written;
    } cases[] = {{0, 0, 0}, {1, 1, 2}, {2, 1, 2}, {3, 2, 4}, {5, 3, 8}, {16, 4, 16},
                 {17, 5, 32}, {64, 6, 64}, {65, 7, 128}, {129, 8, 256}, {256, 8, 256}};
    for (const Case& c : cases) {
        TGIFImage image;
        TGIFColorMap& map = image.GlobalColorMap();
        for (int i = 0; i < c.count; ++i) map.AppendColor(RGB(uint8_t(i), 1, 2));
        EXPECT_EQ(map.BitsNeeded(), c.bits) << c.count;
        TMemoryStream out;
        map.SaveToStream(out);
        ASSERT_EQ(out.Size(), c.written * 3) << c.count;
        for (int i = c.count * 3; i < c.written * 3; ++i) EXPECT_EQ(out.Bytes()[size_t(i)], 0);
        if (c.count) {
            EXPECT_EQ(out.Bytes()[0], 0);
            EXPECT_EQ(out.Bytes()[1], 1);
        }
    }
}

TEST(ColorMap, LoadReadsExactlyAndKeepsUnsorted) {
    TGIFImage image;
    TGIFColorMap& map = image.GlobalColorMap();
    TMemoryStream in(giftest::Bytes({1, 2, 3, 4, 5, 6, 7}));
    map.LoadFromStream(in, 2);
    EXPECT_EQ(map.EntryCount(), 2);
    EXPECT_EQ(map.ColorAt(1), RGB(4, 5, 6));
    EXPECT_EQ(in.Position(), 6);
    EXPECT_FALSE(map.SortedByUse());
    TMemoryStream shortStream(giftest::Bytes({1, 2, 3, 4}));
    EXPECT_THROW(map.LoadFromStream(shortStream, 2), GIFException);
}

TEST(ColorMap, ConversionsFromQuadsTriplesAndPalettes) {
    TGIFImage image;
    TGIFColorMap& map = image.GlobalColorMap();
    std::vector<uint8_t> quads = {30, 20, 10, 0, 3, 2, 1, 0};
    map.FromRgbQuads(quads, 2);
    EXPECT_EQ(map.ColorAt(0), RGB(10, 20, 30));
    EXPECT_EQ(map.ColorAt(1), RGB(1, 2, 3));
    HPALETTE palette = map.ToPaletteHandle();
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->Count(), 2);
    EXPECT_EQ(palette->Entries[0].peFlags, PC_NOCOLLAPSE);
    TGIFImage second;
    second.GlobalColorMap().FromPaletteHandle(palette);
    EXPECT_EQ(second.GlobalColorMap().ColorAt(1), RGB(1, 2, 3));
    std::array<TGIFColor, 256> triples{};
    triples[0] = {9, 8, 7};
    map.FromRgbTriples(triples, 1);
    EXPECT_EQ(map.EntryCount(), 1);
    EXPECT_EQ(map.ColorAt(0), RGB(9, 8, 7));
    map.RemoveAll();
    EXPECT_EQ(map.ToPaletteHandle(), nullptr);
}

TEST(ColorMapSort, ReordersByUseRemapsPixelsAndDropsUnused) {
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {RGB(0, 0, 0), RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)});
    // Entry 2 used 3 times, entry 0 twice, entry 3 once, entry 1 never.
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 6, 1, {2, 0, 2, 3, 0, 2});
    ASSERT_TRUE(map.SortByUse());
    ASSERT_EQ(map.EntryCount(), 3);
    EXPECT_EQ(map.ColorAt(0), RGB(2, 2, 2));
    EXPECT_EQ(map.ColorAt(1), RGB(0, 0, 0));
    EXPECT_EQ(map.ColorAt(2), RGB(3, 3, 3));
    std::vector<uint8_t> pixels(frame.Pixels(), frame.Pixels() + 6);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{0, 1, 0, 2, 1, 0}));
}

TEST(ColorMapSort, TransparentIndexFollowsItsColour) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 4, 1, {1, 1, 1, 0});
    TGIFColorMap& local = frame.LocalTable();
    local.AppendColor(RGB(200, 0, 0));   // transparent, used once
    local.AppendColor(RGB(0, 200, 0));   // used three times
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    gce->SetTransparentFlag(true);
    gce->SetTransparentIndex(0);
    frame.Blocks().Add(std::move(gce));
    ASSERT_TRUE(local.SortByUse());
    EXPECT_EQ(local.ColorAt(0), RGB(0, 200, 0));
    EXPECT_EQ(frame.ControlBlock()->TransparentIndex(), 1);
    EXPECT_EQ(frame.ControlBlock()->TransparentColorValue(), RGB(200, 0, 0));
    EXPECT_EQ(frame.PixelAt(3, 0), 1);
    EXPECT_EQ(frame.PixelAt(0, 0), 0);
}

TEST(ColorMapSort, AlreadyOrderedTableKeepsUnusedEntries) {
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {clBlack, clWhite, RGB(1, 1, 1)});
    giftest::AddFrame(image, 0, 0, 3, 1, {0, 0, 1});
    EXPECT_TRUE(map.SortByUse());
    EXPECT_TRUE(map.SortedByUse());
    EXPECT_EQ(map.EntryCount(), 3);
}

TEST(ColorMapSort, NothingToExamine) {
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {clBlack, clWhite});
    EXPECT_FALSE(map.SortByUse());   // global table of an image without frames
    EXPECT_FALSE(map.SortedByUse());
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 1, 1);
    frame.LocalTable().AppendColor(clBlack);
    EXPECT_FALSE(frame.LocalTable().SortByUse());   // one entry
    EXPECT_FALSE(frame.LocalTable().SortedByUse());
}

TEST(ColorMapSort, GlobalSortOnlyTouchesFramesThatUseIt) {
    TGIFImage image;
    TGIFColorMap& map = GlobalWith(image, {clBlack, clWhite});
    TGIFSubImage& user = giftest::AddFrame(image, 0, 0, 2, 1, {1, 1});
    TGIFSubImage& own = giftest::AddFrame(image, 0, 0, 2, 1, {1, 0});
    own.LocalTable().AppendColor(clBlack);
    own.LocalTable().AppendColor(clWhite);
    ASSERT_TRUE(map.SortByUse());
    EXPECT_EQ(map.ColorAt(0), clWhite);
    EXPECT_EQ(map.EntryCount(), 1);
    EXPECT_EQ(user.PixelAt(0, 0), 0);
    EXPECT_EQ(own.PixelAt(0, 0), 1);
}
