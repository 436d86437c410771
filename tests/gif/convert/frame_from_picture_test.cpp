// Frames made from bitmaps, icons, metafiles, picture containers and other frames.
#include <gtest/gtest.h>


#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/icon.h"
#include "gif/graphics/metafile.h"
#include "gif/graphics/palettes.h"
#include "gif/graphics/picture.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"
#include "gif/test_util.h"

using namespace gif;

namespace {

constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Green = RGB(0, 255, 0);
constexpr TColor Blue = RGB(0, 0, 255);

TBitmap TrueColor(int width, int height, const std::vector<TColor>& pixels) {
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap.SetPixels(x, y, pixels[size_t(y * width + x)]);
    return bitmap;
}

// The colour frame pixel (x, y) shows.
TColor ShownColor(TGIFSubImage& frame, int x, int y) {
    return frame.EffectiveTable().ColorAt(frame.PixelAt(x, y));
}

std::vector<TColor> TableColors(TGIFSubImage& frame) {
    std::vector<TColor> colors;
    for (int i = 0; i < frame.LocalTable().EntryCount(); ++i)
        colors.push_back(frame.LocalTable().ColorAt(i));
    return colors;
}

TGIFSubImage& Import(TGIFImage& image, const TPersistent& picture) {
    return *image.Frame(image.AddFrame(&picture));
}

} // namespace

TEST(FrameFromBitmap, OneBitBitmapKeepsTwoEntriesAndItsBits) {
    TGIFImage image;
    TBitmap bitmap(10, 2, pf1bit);
    bitmap.SetPixels(3, 0, clWhite);
    bitmap.SetPixels(9, 1, clWhite);
    TGIFSubImage& frame = Import(image, bitmap);
    EXPECT_EQ(TableColors(frame), (std::vector<TColor>{clBlack, clWhite}));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(frame.PixelAt(x, y), (x == 3 && y == 0) || (x == 9 && y == 1) ? 1 : 0);
    EXPECT_TRUE(frame.Blocks().ItemCount() == 0);
    // The bitmap shows the frame until the frame's colours change.
    EXPECT_TRUE(frame.HasFrameBitmap());
    frame.LocalTable().SetColorAt(1, Red);
    EXPECT_FALSE(frame.HasFrameBitmap());
    EXPECT_EQ(frame.FrameBitmap()->Pixels(3, 0), Red);
}

TEST(FrameFromBitmap, IndexedRowsKeepTheirIndices) {
    TGIFImage image;
    TBitmap fourBit(3, 1, pf4bit);
    fourBit.ScanLine(0)[0] = 0x5A;   // the high nibble is the left pixel
    fourBit.ScanLine(0)[1] = 0xC0;
    TGIFSubImage& nibbles = Import(image, fourBit);
    EXPECT_EQ(nibbles.LocalTable().EntryCount(), 16);
    EXPECT_EQ((std::vector<int>{nibbles.PixelAt(0, 0), nibbles.PixelAt(1, 0), nibbles.PixelAt(2, 0)}),
              (std::vector<int>{5, 10, 12}));

    // An 8-bit bitmap whose table is shorter than its indices: those pixels show black.
    TBitmap eightBit(2, 1, pf8bit);
    eightBit.SetPalette(PaletteFromColors(std::vector<TColor>{Red, Green}));
    eightBit.ScanLine(0)[0] = 1;
    eightBit.ScanLine(0)[1] = 4;
    TGIFSubImage& bytes = Import(image, eightBit);
    EXPECT_EQ(TableColors(bytes), (std::vector<TColor>{Red, Green, clBlack, clBlack, clBlack}));
    EXPECT_EQ(bytes.PixelAt(0, 0), 1);
    EXPECT_EQ(bytes.PixelAt(1, 0), 4);
}

TEST(FrameFromBitmap, TransparentTrueColorBitmapGetsBlackEntryAndControlBlock) {
    TGIFImage image;
    // The transparent colour of a bitmap is its bottom-left pixel's: red.
    TBitmap bitmap = TrueColor(4, 2, {Red, Blue, Blue, Red, Red, Red, Green, Red});
    bitmap.SetTransparent(true);
    TGIFSubImage& frame = Import(image, bitmap);

    // Sorted by use (red 5, blue 2, green 1), then the black entry for transparency.
    EXPECT_EQ(TableColors(frame), (std::vector<TColor>{Red, Blue, Green, clBlack}));
    ASSERT_NE(frame.ControlBlock(), nullptr);
    EXPECT_TRUE(frame.IsTransparent());
    EXPECT_TRUE(frame.ControlBlock()->TransparentFlag());
    EXPECT_EQ(frame.ControlBlock()->TransparentIndex(), 3);
    EXPECT_EQ(frame.Blocks().ItemCount(), 1);
    std::vector<int> pixels(frame.PixelData().begin(), frame.PixelData().end());
    EXPECT_EQ(pixels, (std::vector<int>{3, 1, 1, 3, 3, 3, 2, 3}));
    // The frame's bitmap is built with the mask when first asked for.
    EXPECT_FALSE(frame.HasFrameBitmap());
    EXPECT_TRUE(frame.HasMaskBitmap());
    EXPECT_NE(frame.MaskBitmap()->PixelValue(0, 0), 0u);
    EXPECT_EQ(frame.MaskBitmap()->PixelValue(1, 0), 0u);
}

TEST(FrameFromBitmap, FullColorTableGetsNoTransparency) {
    TGIFImage image;
    TBitmap bitmap(16, 16, pf8bit);
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i) colors.push_back(RGB(uint8_t(i), uint8_t(255 - i), 7));
    bitmap.SetPalette(PaletteFromColors(colors));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) bitmap.ScanLine(y)[x] = uint8_t(y * 16 + x);
    bitmap.SetTransparent(true);
    TGIFSubImage& frame = Import(image, bitmap);
    EXPECT_EQ(frame.LocalTable().EntryCount(), 256);
    EXPECT_EQ(frame.Blocks().ItemCount(), 0);
    EXPECT_FALSE(frame.IsTransparent());
}

TEST(FrameFromBitmap, MaskMarkingNothingAddsNothing) {
    TGIFImage image;
    TBitmap bitmap = TrueColor(3, 1, {Red, Blue, Red});
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(Green);   // not in the picture
    TGIFSubImage& frame = Import(image, bitmap);
    EXPECT_EQ(frame.Blocks().ItemCount(), 0);
    EXPECT_EQ(frame.ControlBlock(), nullptr);
    // The table was sorted (dropping the unused cube colours) but has no extra entry.
    EXPECT_EQ(TableColors(frame), (std::vector<TColor>{Red, Blue}));
    EXPECT_EQ(ShownColor(frame, 1, 0), Blue);
}

TEST(FrameFromBitmap, ReductionFollowsTheImageSettings) {
    TGIFImage image;
    TBitmap bitmap = TrueColor(3, 1, {RGB(47, 47, 47), RGB(48, 48, 48), RGB(10, 200, 90)});
    // The web cube: its 216 colours, not the padding of a 256-entry bitmap table.
    TGIFSubImage& web = Import(image, bitmap);
    EXPECT_EQ(web.LocalTable().EntryCount(), 216);
    EXPECT_EQ(ShownColor(web, 1, 0), RGB(51, 51, 51));

    // The quantizer's palette: exactly the colours found.
    image.ReductionMethod = crOptimized;
    TGIFSubImage& optimized = Import(image, bitmap);
    EXPECT_EQ(optimized.LocalTable().EntryCount(), 3);
    EXPECT_EQ(ShownColor(optimized, 2, 0), RGB(10, 200, 90));

    image.ReductionMethod = crCustom;   // without a palette to reduce to
    EXPECT_THROW(image.AddFrame(&bitmap), GIFException);
    EXPECT_EQ(image.FrameCount(), 2);
}

TEST(FrameFromBitmap, WithoutReductionColorsAreCollectedInOrder) {
    TGIFImage image;
    image.ReductionMethod = crNone;
    TGIFSubImage& frame = Import(image, TrueColor(4, 1, {Blue, Red, Blue, Green}));
    EXPECT_EQ(TableColors(frame), (std::vector<TColor>{Blue, Red, Green}));
    std::vector<int> pixels(frame.PixelData().begin(), frame.PixelData().end());
    EXPECT_EQ(pixels, (std::vector<int>{0, 1, 0, 2}));

    // 257 colours do not fit: nothing is added, and a frame assigned directly is left empty.
    std::vector<TColor> many;
    for (int i = 0; i < 257; ++i) many.push_back(RGB(uint8_t(i), uint8_t(i >> 8), 0));
    TBitmap tooMany = TrueColor(257, 1, many);
    try {
        image.AddFrame(&tooMany);
        FAIL() << "expected an overflow";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_THROW(frame.Assign(&tooMany), GIFException);
    EXPECT_TRUE(frame.IsBlank());
    EXPECT_EQ(frame.LocalTable().EntryCount(), 0);
}

TEST(FrameFromBitmap, ReportsConvertingEvery32Rows) {
    TGIFImage image;
    std::vector<std::pair<TProgressStage, int>> calls;
    image.OnProgress = [&](TObject*, TProgressStage stage, uint8_t percent, bool, const TRect&,
                           const std::string& message) {
        EXPECT_EQ(message, "Converting...");
        calls.push_back({stage, percent});
    };
    Import(image, TrueColor(1, 40, std::vector<TColor>(40, Red)));
    using P = std::pair<TProgressStage, int>;
    EXPECT_EQ(calls, (std::vector<P>{{TProgressStage::psStarting, 0},
                                     {TProgressStage::psRunning, 0},
                                     {TProgressStage::psRunning, 80},
                                     {TProgressStage::psEnding, 100}}));
}

TEST(FrameFromPicture, IconMaskBecomesTransparency) {
    TGIFImage image;
    TIcon icon;
    TBitmap mask(2, 2, pf1bit);
    mask.SetPixels(1, 0, clWhite);   // set bits are transparent
    icon.SetImage(TrueColor(2, 2, {Red, Green, Blue, clWhite}), &mask);
    TGIFSubImage& frame = Import(image, icon);
    ASSERT_TRUE(frame.IsTransparent());
    int t = frame.ControlBlock()->TransparentIndex();
    EXPECT_EQ(frame.PixelAt(1, 0), t);
    EXPECT_EQ(ShownColor(frame, 0, 0), Red);
    EXPECT_EQ(ShownColor(frame, 0, 1), Blue);
    EXPECT_EQ(ShownColor(frame, 1, 1), clWhite);
}

TEST(FrameFromPicture, MetafileBackgroundBecomesTransparent) {
    TGIFImage image;
    TMetafile metafile;
    metafile.SetWidth(4);
    metafile.SetHeight(2);
    metafile.AddFillRect(Rect(0, 0, 2, 2), Red);
    metafile.AddPixel(3, 1, clWhite);   // white on white is still painted
    metafile.AddPixel(2, 1, clBlack);   // and black on black
    TGIFSubImage& frame = Import(image, metafile);
    ASSERT_TRUE(frame.IsTransparent());
    int t = frame.ControlBlock()->TransparentIndex();
    EXPECT_EQ(frame.PixelAt(2, 0), t);
    EXPECT_EQ(frame.PixelAt(3, 0), t);
    EXPECT_NE(frame.PixelAt(2, 1), t);
    EXPECT_NE(frame.PixelAt(3, 1), t);
    EXPECT_EQ(ShownColor(frame, 0, 1), Red);
    EXPECT_EQ(ShownColor(frame, 3, 1), clWhite);
    EXPECT_EQ(ShownColor(frame, 2, 1), clBlack);
}

TEST(FrameFromPicture, PictureContainersAndOtherObjects) {
    TGIFImage image;
    TPicture picture;
    picture.SetGraphic(std::make_unique<TBitmap>(TrueColor(2, 1, {Red, Blue})));
    TGIFSubImage& frame = Import(image, picture);
    EXPECT_EQ(ShownColor(frame, 1, 0), Blue);

    TPicture empty;
    frame.Assign(&empty);
    EXPECT_TRUE(frame.IsBlank());

    try {
        image.AddFrame(&image.GlobalColorMap());
        FAIL() << "expected an error";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Object type not supported for operation");
    }
    EXPECT_EQ(image.FrameCount(), 1);
    try {
        frame.Assign(&image.GlobalColorMap());
        FAIL() << "expected an error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TGIFGlobalColorMap to a TGIFSubImage");
    }
}

TEST(FrameFromFrame, CopyHasItsOwnExtensionBlocks) {
    TGIFImage image;
    TGIFSubImage& source = giftest::AddFrame(image, 1, 2, 2, 1, {0, 1});
    source.LocalTable().AppendColor(Red);
    source.LocalTable().AppendColor(Blue);
    auto control = std::make_unique<TGIFGraphicControlExtension>(&source);
    control->SetDelayTime(7);
    control->SetTransparentFlag(true);
    control->SetTransparentIndex(1);
    source.Blocks().Add(std::move(control));
    source.FrameBitmap();

    auto copy = std::make_unique<TGIFSubImage>(&image);
    copy->Assign(&source);
    ASSERT_NE(copy->ControlBlock(), nullptr);
    EXPECT_NE(copy->ControlBlock(), source.ControlBlock());
    EXPECT_EQ(copy->ControlBlock()->OwnerFrame(), copy.get());
    EXPECT_EQ(copy->ControlBlock()->DelayTime(), 7);
    EXPECT_TRUE(copy->IsTransparent());
    EXPECT_EQ(copy->TransparentIndex(), 1);
    EXPECT_EQ(copy->FrameLeft(), 1);
    EXPECT_EQ(copy->FrameTop(), 2);
    EXPECT_EQ(copy->PixelAt(1, 0), 1);
    EXPECT_EQ(copy->LocalTable().EntryCount(), 2);
    EXPECT_TRUE(copy->HasFrameBitmap());

    // The copy outlives the source's blocks.
    image.Images().DeleteAt(0);
    copy->ControlBlock()->SetDelayTime(9);
    EXPECT_TRUE(copy->IsTransparent());
}
