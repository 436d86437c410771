// Frame bitmaps, masks and the palettes frames and images present.
#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/test_util.h"

using namespace gif;

namespace {

// A frame with the given local colours and pixels, added to `image`.
TGIFSubImage& ColoredFrame(TGIFImage& image, int width, int height, std::vector<TColor> colors,
                           const std::vector<uint8_t>& pixels) {
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, width, height, pixels);
    for (TColor c : colors) frame.LocalTable().AppendColor(c);
    return frame;
}

void MakeTransparent(TGIFSubImage& frame, uint8_t index) {
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetTransparentFlag(true);
    control->SetTransparentIndex(index);
    frame.Blocks().Add(std::move(control));
}

bool MaskBit(const TBitmap& mask, int x, int y) { return mask.PixelValue(x, y) != 0; }

struct ProgressCall {
    TProgressStage Stage;
    int Percent;
    std::string Message;
};

} // namespace

TEST(FrameBitmap, DirectBitmapHasIndicesPaletteAndMask) {
    TGIFImage image;
    TGIFSubImage& frame =
        ColoredFrame(image, 3, 2, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}, {0, 1, 2, 1, 1, 0});
    MakeTransparent(frame, 1);

    TBitmap* bitmap = frame.FrameBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
    EXPECT_EQ(bitmap->Width(), 3);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(bitmap->ScanLine(0)[2], 2);
    EXPECT_EQ(bitmap->ScanLine(1)[0], 1);
    EXPECT_EQ(bitmap->Pixels(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(bitmap->ColorTable()->Count(), 3);

    const TBitmap* mask = frame.MaskBitmap();
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->PixelFormat(), pf1bit);
    std::vector<bool> bits;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) bits.push_back(MaskBit(*mask, x, y));
    EXPECT_EQ(bits, (std::vector<bool>{false, true, false, true, true, false}));
    // Built once: asking again neither rebuilds the bitmap nor loses the mask.
    EXPECT_TRUE(frame.HasMaskBitmap());
    EXPECT_EQ(frame.FrameBitmap(), bitmap);
}

TEST(FrameBitmap, TransparentFrameWithoutTransparentPixelsHasNoMask) {
    TGIFImage image;
    TGIFSubImage& frame = ColoredFrame(image, 2, 1, {clBlack, clWhite}, {0, 0});
    MakeTransparent(frame, 1);
    ASSERT_NE(frame.FrameBitmap(), nullptr);
    EXPECT_EQ(frame.MaskBitmap(), nullptr);
    EXPECT_FALSE(frame.HasMaskBitmap());
}

TEST(FrameBitmap, ReportsRenderingEvery32Rows) {
    TGIFImage image;
    TGIFSubImage& frame = ColoredFrame(image, 1, 70, {clBlack}, std::vector<uint8_t>(70, 0));
    std::vector<ProgressCall> calls;
    image.OnProgress = [&](TObject* sender, TProgressStage stage, uint8_t percent, bool,
                           const TRect&, const std::string& message) {
        EXPECT_EQ(sender, &frame);
        calls.push_back({stage, percent, message});
    };
    frame.FrameBitmap();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].Stage, TProgressStage::psStarting);
    std::vector<int> running = {calls[1].Percent, calls[2].Percent, calls[3].Percent};
    EXPECT_EQ(running, (std::vector<int>{0, 32 * 100 / 70, 64 * 100 / 70}));
    EXPECT_EQ(calls[4].Stage, TProgressStage::psEnding);
    EXPECT_EQ(calls[4].Percent, 100);
    for (const ProgressCall& c : calls) EXPECT_EQ(c.Message, "Rendering...");
}

TEST(FrameBitmap, DitheredBitmapUsesWebPaletteInSerpentineOrder) {
    TGIFImage image;
    image.SetDrawOptions(doDither);   // dither always, not only on palette displays
    // Row 0 is exact black; row 1 walks right to left, so the 40-gray on the right passes
    // its error on to the 30-gray, which then rounds up to the first gray of the cube.
    TGIFSubImage& frame =
        ColoredFrame(image, 2, 2, {clBlack, RGB(30, 30, 30), RGB(40, 40, 40)}, {0, 0, 1, 2});
    TBitmap* bitmap = frame.FrameBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->ColorTable()->Count(), 216);
    EXPECT_EQ(bitmap->ColorTable()->ColorAt(43), RGB(51, 51, 51));
    EXPECT_EQ(bitmap->ScanLine(0)[0], 0);
    EXPECT_EQ(bitmap->ScanLine(1)[1], 0);
    EXPECT_EQ(bitmap->ScanLine(1)[0], 43);
    EXPECT_EQ(frame.FramePalette()->Count(), 216);
}

TEST(FrameBitmap, DitheringLeavesTransparentPixelsOutOfTheDiffusion) {
    auto build = [](bool transparent) {
        TGIFImage image;
        image.SetDrawOptions(doDither);
        // Alone the 30-gray is black; the 40-gray before it would push it to 51.
        TGIFSubImage& frame =
            ColoredFrame(image, 3, 1, {RGB(30, 30, 30), RGB(40, 40, 40), RGB(255, 0, 0)}, {1, 0, 2});
        if (transparent) MakeTransparent(frame, 1);
        TBitmap* bitmap = frame.FrameBitmap();
        std::vector<int> row(bitmap->ScanLine(0), bitmap->ScanLine(0) + 3);
        bool masked = frame.MaskBitmap() && MaskBit(*frame.MaskBitmap(), 0, 0);
        return std::make_pair(row, masked);
    };
    auto [opaqueRow, opaqueMasked] = build(false);
    EXPECT_EQ(opaqueRow, (std::vector<int>{0, 43, 180}));
    EXPECT_FALSE(opaqueMasked);
    auto [row, masked] = build(true);
    // The transparent pixel keeps the fill index (the cube's entry for its colour, black).
    EXPECT_EQ(row, (std::vector<int>{0, 0, 180}));
    EXPECT_TRUE(masked);
}

TEST(FrameBitmap, DitheredTransparentPixelsTakeTheFillOfTheTransparentColour) {
    TGIFImage image;
    image.SetDrawOptions(doDither);
    TGIFSubImage& frame = ColoredFrame(image, 2, 1, {RGB(255, 0, 0), RGB(0, 0, 255)}, {0, 1});
    MakeTransparent(frame, 0);
    TBitmap* bitmap = frame.FrameBitmap();
    EXPECT_EQ(bitmap->ScanLine(0)[0], 180);   // red in the cube
    EXPECT_EQ(bitmap->ScanLine(0)[1], 5);     // blue
}

TEST(FramePalette, ComesFromTheLocalTableElseTheImage) {
    TGIFImage image;
    image.GlobalColorMap().AppendColor(RGB(1, 2, 3));
    image.GlobalColorMap().AppendColor(RGB(4, 5, 6));
    TGIFSubImage& global = giftest::AddFrame(image, 0, 0, 1, 1);
    TGIFSubImage& local = ColoredFrame(image, 1, 1, {RGB(9, 9, 9)}, {0});
    ASSERT_NE(global.FramePalette(), nullptr);
    EXPECT_EQ(global.FramePalette()->Count(), 2);
    EXPECT_EQ(global.FramePalette(), image.ImagePalette());
    ASSERT_NE(local.FramePalette(), nullptr);
    EXPECT_EQ(local.FramePalette()->ColorAt(0), RGB(9, 9, 9));
    // A changed table gives a new palette and drops the bitmap built over the old one.
    local.FrameBitmap();
    int changes = 0;
    image.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &local);
        ++changes;
    };
    local.LocalTable().SetColorAt(0, RGB(7, 7, 7));
    EXPECT_FALSE(local.HasFrameBitmap());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(image.PaletteModified);
    EXPECT_EQ(local.FramePalette()->ColorAt(0), RGB(7, 7, 7));
}

TEST(ImagePalette, GlobalTableChangeRedrawsFramesThatUseIt) {
    TGIFImage image;
    image.GlobalColorMap().AppendColor(RGB(255, 0, 0));
    image.GlobalColorMap().AppendColor(RGB(0, 0, 255));
    TGIFSubImage& global = giftest::AddFrame(image, 0, 0, 2, 1, {0, 1});
    TGIFSubImage& local = ColoredFrame(image, 2, 1, {RGB(9, 9, 9)}, {0, 0});
    EXPECT_EQ(global.FrameBitmap()->Pixels(0, 0), RGB(255, 0, 0));
    local.FrameBitmap();
    image.GlobalColorMap().SetColorAt(0, RGB(0, 255, 0));
    EXPECT_EQ(global.FrameBitmap()->Pixels(0, 0), RGB(0, 255, 0));
    EXPECT_TRUE(local.HasFrameBitmap());   // its own table did not change
}

TEST(ImagePalette, NoneForAnEmptyImage) {
    TGIFImage image;
    EXPECT_EQ(image.ImagePalette(), nullptr);
    image.GlobalColorMap().AppendColor(RGB(10, 20, 30));
    ASSERT_NE(image.ImagePalette(), nullptr);
    EXPECT_EQ(image.ImagePalette()->ColorAt(0), RGB(10, 20, 30));
}

TEST(ImagePalette, ReentranceRaisesAndRecovers) {
    TGIFImage image;
    // Without any colour table the first frame asks the image back.
    giftest::AddFrame(image, 0, 0, 1, 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            image.ImagePalette();
            FAIL() << "expected an error";
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "No global or local color table defined");
        }
    }
    image.Frame(0)->LocalTable().AppendColor(RGB(1, 1, 1));
    ASSERT_NE(image.ImagePalette(), nullptr);
    EXPECT_EQ(image.ImagePalette()->ColorAt(0), RGB(1, 1, 1));
}
