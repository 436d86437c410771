#include <gtest/gtest.h>

#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"

namespace gif {
namespace {

// A bitmap whose pixels differ from each other in every format.
TBitmap Pattern(int w, int h, TPixelFormat f) {
    TBitmap bmp(w, h, f);
    if (IsIndexedFormat(f) && f != pf1bit) {
        bmp.SetPalette(PaletteFromColors(std::vector<TColor>{
            RGB(1, 2, 3), RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200), RGB(90, 90, 9)}));
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixels(x, y, RGB(uint8_t(x * 40 + y * 7), uint8_t(y * 60), uint8_t(x * y * 5)));
    return bmp;
}

void ExpectSamePixels(const TBitmap& a, const TBitmap& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    ASSERT_EQ(a.PixelFormat(), b.PixelFormat());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(a.Pixels(x, y), b.Pixels(x, y)) << x << "," << y;
}

TEST(BmpFileTest, RoundTripsEveryFormatThroughFilesAndPackedDIBs) {
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(int(f));
        TBitmap src = Pattern(5, 3, f);
        TMemoryStream stream;
        src.SaveToStream(stream);
        stream.WriteByte(0xAA);   // data after the picture stays unread
        stream.SetPosition(0);
        TBitmap loaded;
        loaded.LoadFromStream(stream);
        ExpectSamePixels(src, loaded);
        EXPECT_EQ(stream.Position(), stream.Size() - 1);
        if (IsIndexedFormat(f)) {
            EXPECT_EQ(loaded.ColorTable()->Entries.size(), src.ColorTable()->Entries.size());
        }

        TBitmap fromDib;
        fromDib.LoadFromDIB(src.SaveToDIB());
        ExpectSamePixels(src, fromDib);
    }
}

TEST(BmpFileTest, WritesTheStandardHeaders) {
    TBitmap bmp(2, 2, pf24bit);
    bmp.SetPixels(0, 1, RGB(1, 2, 3));   // bottom row comes first in the file
    TMemoryStream s;
    bmp.SaveToStream(s);
    const auto& d = s.Bytes();
    ASSERT_EQ(d.size(), 14u + 40u + 16u);
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(d[2], 70);            // file size
    EXPECT_EQ(d[10], 54);           // pixel offset
    EXPECT_EQ(d[14], 40);           // header size
    EXPECT_EQ(d[22], 2);            // positive height: bottom-up
    EXPECT_EQ(d[28], 24);           // bits
    EXPECT_EQ(d[54], 3);            // first stored pixel: blue of (0, 1)
    EXPECT_EQ(d[56], 1);
}

// A packed DIB header for hand-made inputs.
std::vector<uint8_t> Header(int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                            uint32_t colorsUsed = 0) {
    std::vector<uint8_t> d(40, 0);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) d[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put(0, 40);
    put(4, uint32_t(w));
    put(8, uint32_t(h));
    d[12] = 1;
    d[14] = uint8_t(bits);
    put(16, compression);
    put(32, colorsUsed);
    return d;
}

void Append(std::vector<uint8_t>& d, std::initializer_list<uint8_t> bytes) {
    d.insert(d.end(), bytes.begin(), bytes.end());
}

TEST(BmpFileTest, ReadsTopDownAndBitfieldPictures) {
    // 1x2 top-down 24-bit: first stored row is the top row.
    auto d = Header(1, -2, 24, 0);
    Append(d, {3, 2, 1, 0, 6, 5, 4, 0});
    TBitmap bmp;
    bmp.LoadFromDIB(d);
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(bmp.Pixels(0, 1), RGB(4, 5, 6));

    // 16-bit 5-6-5 bit fields become pf16bit; odd masks are widened to 24 bits.
    auto f = Header(1, 1, 16, 3);
    Append(f, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0});
    Append(f, {0x1F, 0xF8, 0, 0});   // red 31, blue 31
    bmp.LoadFromDIB(f);
    EXPECT_EQ(bmp.PixelFormat(), pf16bit);
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(255, 0, 255));
    auto g = Header(1, 1, 32, 3);
    Append(g, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0});   // red low, blue high
    Append(g, {10, 20, 30, 0});
    bmp.LoadFromDIB(g);
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    EXPECT_EQ(bmp.Pixels(0, 0), RGB(10, 20, 30));
}

TEST(BmpFileTest, DecodesRunLengthPictures) {
    // 4x2 RLE8, two table entries: bottom row = run of 3 x index 1 then end of line;
    // top row = literal 0 1 0 1, end of bitmap.
    auto d = Header(4, 2, 8, 1, 2);
    Append(d, {0, 0, 0, 0, 255, 255, 255, 0});
    Append(d, {3, 1, 0, 0, 0, 4, 0, 1, 0, 1, 0, 1});
    TBitmap bmp;
    bmp.LoadFromDIB(d);
    EXPECT_EQ(bmp.PixelFormat(), pf8bit);
    EXPECT_EQ(bmp.PixelValue(0, 1), 1u);
    EXPECT_EQ(bmp.PixelValue(2, 1), 1u);
    EXPECT_EQ(bmp.PixelValue(3, 1), 0u);
    EXPECT_EQ(bmp.PixelValue(1, 0), 1u);
    EXPECT_EQ(bmp.PixelValue(2, 0), 0u);

    // RLE4: a run of 5 pixels alternating 2 and 3, end of line, a move right by 1, then a
    // run of 9 pixels of colour 4 that is clipped at the right edge.
    auto e = Header(5, 2, 4, 2, 16);
    e.resize(40 + 64, 0);
    Append(e, {5, 0x23, 0, 0, 0, 2, 1, 0, 9, 0x44, 0, 1});
    bmp.LoadFromDIB(e);
    EXPECT_EQ(bmp.PixelFormat(), pf4bit);
    EXPECT_EQ(bmp.PixelValue(0, 1), 2u);
    EXPECT_EQ(bmp.PixelValue(1, 1), 3u);
    EXPECT_EQ(bmp.PixelValue(4, 1), 2u);
    EXPECT_EQ(bmp.PixelValue(0, 0), 0u);
    EXPECT_EQ(bmp.PixelValue(1, 0), 4u);
    EXPECT_EQ(bmp.PixelValue(4, 0), 4u);
}

struct DamagedCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

TEST(BmpFileTest, RefusesDamagedPackedDIBs) {
    auto truncated = Header(4, 4, 24, 0);
    truncated.resize(40 + 4 * 12 - 1);
    auto zeroWidth = Header(0, 4, 24, 0);
    zeroWidth.resize(200);
    auto zeroHeight = Header(4, 0, 24, 0);
    zeroHeight.resize(200);
    auto huge = Header(65535, 65535, 24, 0);
    auto badBits = Header(1, 1, 7, 0);
    badBits.resize(100);
    auto badPlanes = Header(1, 1, 24, 0);
    badPlanes[12] = 2;
    badPlanes.resize(100);
    auto bigTable = Header(1, 1, 8, 0, 300);
    bigTable.resize(40 + 1200 + 4);
    auto shortTable = Header(1, 1, 8, 0);   // 256 entries announced, 2 present
    shortTable.resize(40 + 8 + 4);
    auto topDownRle = Header(2, -2, 8, 1);
    topDownRle.resize(40 + 1024 + 8);
    auto rleCut = Header(4, 1, 8, 1, 1);
    Append(rleCut, {0, 0, 0, 0, 0, 5, 1, 1});   // literal of 5 with 2 bytes left
    auto jpeg = Header(1, 1, 0, 4);
    auto tinyHeader = std::vector<uint8_t>{40, 0, 0};
    auto headerPastEnd = Header(1, 1, 24, 0);
    headerPastEnd[0] = 124;
    const DamagedCase cases[] = {
        {"truncated pixels", truncated},   {"zero width", zeroWidth},
        {"zero height", zeroHeight},       {"huge", huge},
        {"bad bit count", badBits},        {"two planes", badPlanes},
        {"table over 256", bigTable},      {"table past end", shortTable},
        {"top-down RLE", topDownRle},      {"RLE cut short", rleCut},
        {"JPEG inside", jpeg},             {"three bytes", tinyHeader},
        {"header past end", headerPastEnd},
    };
    for (const DamagedCase& c : cases) {
        TBitmap bmp(1, 1);
        EXPECT_THROW(bmp.LoadFromDIB(c.bytes), GIFException) << c.name;
        EXPECT_EQ(bmp.Width(), 1) << c.name;   // a refused file leaves the bitmap alone
    }
}

TEST(BmpFileTest, RefusesDamagedFileHeaders) {
    TBitmap good(2, 2, pf8bit);
    TMemoryStream s;
    good.SaveToStream(s);
    std::vector<uint8_t> base = s.Bytes();

    auto load = [](std::vector<uint8_t> bytes) {
        TMemoryStream in(std::move(bytes));
        TBitmap bmp;
        bmp.LoadFromStream(in);
    };
    auto badMagic = base;
    badMagic[0] = 'X';
    EXPECT_THROW(load(badMagic), GIFException);
    auto offsetPastEnd = base;
    offsetPastEnd[10] = 0xFF;
    offsetPastEnd[11] = 0xFF;
    EXPECT_THROW(load(offsetPastEnd), GIFException);
    auto offsetInHeader = base;
    offsetInHeader[10] = 20;
    offsetInHeader[11] = 0;
    EXPECT_THROW(load(offsetInHeader), GIFException);
    auto cut = base;
    cut.resize(cut.size() - 3);
    EXPECT_THROW(load(cut), GIFException);
    EXPECT_THROW(load({'B', 'M', 1, 2}), GIFException);
    EXPECT_NO_THROW(load(base));
}

} // namespace
} // namespace gif
