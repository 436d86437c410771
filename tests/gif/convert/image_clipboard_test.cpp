// The image's clipboard data: a packed DIB of what it shows and its GIF bytes.
#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/test_util.h"

using namespace gif;

namespace {

std::vector<TColor> ShownColors(TGIFImage& image) {
    TGIFSubImage& frame = *image.Frame(0);
    std::vector<TColor> colors;
    for (int y = 0; y < frame.FrameHeight(); ++y)
        for (int x = 0; x < frame.FrameWidth(); ++x)
            colors.push_back(frame.EffectiveTable().ColorAt(frame.PixelAt(x, y)));
    return colors;
}

} // namespace

TEST(Clipboard, EmptyImageGivesNothing) {
    TGIFImage image;
    TGIFImage::TClipboardData data = image.SaveToClipboardData();
    EXPECT_TRUE(data.Dib.empty());
    EXPECT_TRUE(data.Gif.empty());
}

TEST(Clipboard, RoundTripsThroughBothFormats) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 3, 2, {0, 1, 2, 2, 1, 0});
    frame.LocalTable().AppendColor(RGB(200, 0, 0));
    frame.LocalTable().AppendColor(RGB(0, 200, 0));
    frame.LocalTable().AppendColor(RGB(0, 0, 200));
    const std::vector<TColor> expected = ShownColors(image);

    TGIFImage::TClipboardData data = image.SaveToClipboardData();
    ASSERT_FALSE(data.Gif.empty());
    ASSERT_FALSE(data.Dib.empty());

    TGIFImage fromGif;
    fromGif.LoadFromClipboardData(TGIFImage::TClipboardFormat::cfGif, data.Gif);
    ASSERT_EQ(fromGif.FrameCount(), 1);
    EXPECT_EQ(ShownColors(fromGif), expected);

    TGIFImage fromDib;
    fromDib.LoadFromClipboardData(TGIFImage::TClipboardFormat::cfDib, data.Dib);
    ASSERT_EQ(fromDib.FrameCount(), 1);
    EXPECT_EQ(fromDib.Width(), 3);
    EXPECT_EQ(fromDib.Height(), 2);
    EXPECT_EQ(ShownColors(fromDib), expected);
}

TEST(Clipboard, LoadsTrueColorBitmaps) {
    TBitmap bitmap(2, 1, pf24bit);
    bitmap.SetPixels(0, 0, RGB(255, 255, 255));
    bitmap.SetPixels(1, 0, RGB(0, 0, 0));
    TGIFImage image;
    image.LoadFromClipboardData(TGIFImage::TClipboardFormat::cfDib, bitmap.SaveToDIB());
    EXPECT_EQ(ShownColors(image), (std::vector<TColor>{clWhite, clBlack}));
}

TEST(Clipboard, RefusesMissingDataAndUnknownFormats) {
    TGIFImage image;
    const std::vector<uint8_t> some = {1, 2, 3};
    for (auto [format, data] :
         {std::make_pair(TGIFImage::TClipboardFormat::cfGif, std::vector<uint8_t>{}),
          std::make_pair(TGIFImage::TClipboardFormat::cfDib, std::vector<uint8_t>{}),
          std::make_pair(TGIFImage::TClipboardFormat(7), some)}) {
        try {
            image.LoadFromClipboardData(format, data);
            FAIL() << "expected an error";
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "Unsupported clipboard format");
        }
    }
    EXPECT_THROW(image.LoadFromClipboardData(TGIFImage::TClipboardFormat::cfDib, some),
                 GIFException);
}
