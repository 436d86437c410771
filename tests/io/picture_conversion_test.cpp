// Decoded pictures into bitmaps: every layout gives the same colours, palette pictures keep
// their table, and views that do not add up are refused instead of read past their end.
#include "io/avi/avi_messages.h"
#include "io/avi/picture_conversion.h"

#include "gif/graphics/bitmap.h"

#include <gtest/gtest.h>

namespace {

using io::TPictureLayout;
using io::TPictureView;

// 3 x 2 pixels: red, green, blue / white, black, grey; rows `stride` bytes apart.
std::vector<uint8_t> Pixels(TPictureLayout layout, size_t stride) {
    const uint8_t rgb[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                               {255, 255, 255}, {0, 0, 0}, {128, 128, 128}};
    const int bytes = io::LayoutBytes(layout);
    std::vector<uint8_t> out(stride * 2, 0xEE);
    for (int i = 0; i < 6; ++i) {
        uint8_t* p = &out[size_t(i / 3) * stride + size_t(i % 3 * bytes)];
        const uint8_t* c = rgb[i];
        switch (layout) {
        case TPictureLayout::Bgr24: p[0] = c[2], p[1] = c[1], p[2] = c[0]; break;
        case TPictureLayout::Rgb24: p[0] = c[0], p[1] = c[1], p[2] = c[2]; break;
        case TPictureLayout::Bgra32: p[0] = c[2], p[1] = c[1], p[2] = c[0], p[3] = 9; break;
        case TPictureLayout::Rgba32: p[0] = c[0], p[1] = c[1], p[2] = c[2], p[3] = 9; break;
        case TPictureLayout::Gray8: p[0] = c[0]; break;
        case TPictureLayout::Pal8: p[0] = uint8_t(i); break;
        }
    }
    return out;
}

TPictureView View(TPictureLayout layout, const std::vector<uint8_t>& bytes, size_t stride) {
    TPictureView view;
    view.Width = 3;
    view.Height = 2;
    view.Layout = layout;
    view.Pixels = bytes.data();
    view.Stride = stride;
    view.Size = bytes.size();
    return view;
}

TEST(ConvertPicture, EveryTrueColourLayoutGivesTheSameColours) {
    const gif::TColor expected[6] = {gif::RGB(255, 0, 0),     gif::RGB(0, 255, 0),
                                     gif::RGB(0, 0, 255),     gif::RGB(255, 255, 255),
                                     gif::RGB(0, 0, 0),       gif::RGB(128, 128, 128)};
    for (TPictureLayout layout : {TPictureLayout::Bgr24, TPictureLayout::Rgb24,
                                  TPictureLayout::Bgra32, TPictureLayout::Rgba32}) {
        const size_t stride = 3 * size_t(io::LayoutBytes(layout)) + 5; // padded rows
        const std::vector<uint8_t> bytes = Pixels(layout, stride);
        gif::TBitmap bitmap;
        io::ConvertPicture(View(layout, bytes, stride), bitmap);
        ASSERT_EQ(bitmap.PixelFormat(), gif::pf24bit);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(bitmap.Pixels(i % 3, i / 3), expected[i]) << int(layout) << " pixel " << i;
    }
    const std::vector<uint8_t> grey = Pixels(TPictureLayout::Gray8, 4);
    gif::TBitmap bitmap;
    io::ConvertPicture(View(TPictureLayout::Gray8, grey, 4), bitmap);
    EXPECT_EQ(bitmap.Pixels(0, 0), gif::RGB(255, 255, 255));
    EXPECT_EQ(bitmap.Pixels(2, 1), gif::RGB(128, 128, 128));
}

TEST(ConvertPicture, PalettePicturesKeepTheirTableAndIndices) {
    const std::vector<uint8_t> bytes = Pixels(TPictureLayout::Pal8, 3);
    // Five entries given: index 5 lies past the table and reads as black.
    const uint32_t table[5] = {0xFF102030, 0x00405060, 0x00708090, 0x00A0B0C0, 0x00D0E0F0};
    TPictureView view = View(TPictureLayout::Pal8, bytes, 3);
    view.Palette = table;
    gif::TBitmap bitmap;
    io::ConvertPicture(view, bitmap);
    ASSERT_EQ(bitmap.PixelFormat(), gif::pf8bit);
    EXPECT_EQ(bitmap.PixelValue(1, 1), 4u);
    EXPECT_EQ(bitmap.Pixels(0, 0), gif::RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(bitmap.Pixels(1, 1), gif::RGB(0xD0, 0xE0, 0xF0));
    EXPECT_EQ(bitmap.Pixels(2, 1), gif::RGB(0, 0, 0));
}

TEST(ConvertPicture, RefusesViewsThatDoNotAddUp) {
    const std::vector<uint8_t> bytes = Pixels(TPictureLayout::Bgr24, 9);
    auto refused = [](TPictureView view) {
        gif::TBitmap bitmap;
        try {
            io::ConvertPicture(view, bitmap);
        } catch (const io::EAviError& e) {
            return std::string(e.what()) == io::avimsg::DecompressFrame;
        }
        return false;
    };
    TPictureView good = View(TPictureLayout::Bgr24, bytes, 9);
    TPictureView v = good;
    v.Stride = 8; // shorter than a row
    EXPECT_TRUE(refused(v));
    v = good;
    v.Size = 9 + 8; // the last row is one byte short
    EXPECT_TRUE(refused(v));
    v = good;
    v.Size = 9 + 9; // exactly enough: no padding needed after the last row
    EXPECT_FALSE(refused(v));
    v = good;
    v.Pixels = nullptr;
    EXPECT_TRUE(refused(v));
    for (auto [w, h] : {std::pair{0, 2}, {3, 0}, {-3, 2}, {70000, 1}, {30000, 30000}}) {
        v = good;
        v.Width = w;
        v.Height = h;
        EXPECT_TRUE(refused(v)) << w << "x" << h;
    }
    v = good;
    v.Layout = TPictureLayout(99);
    EXPECT_TRUE(refused(v));
}

} // namespace
