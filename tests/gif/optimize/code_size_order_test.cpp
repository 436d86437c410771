// Numbering the global colours for small code sizes: frames show the same colours and
// holes, those that can are written with narrower codes, and the file gets smaller.
#include "gif/base/stream.h"
#include "gif/optimize/code_size_order.h"
#include "gif/optimize/compact_indices.h"
#include "gif/optimize/optimize_fixtures.h"

#include <gtest/gtest.h>
#include <optional>

using namespace gif;
using namespace opttest;

namespace {

// Each pixel's colour, or none where it is transparent.
std::vector<std::optional<TColor>> Look(const TGIFSubImage& frame) {
    std::vector<std::optional<TColor>> look;
    const TGIFColorMap& table = frame.EffectiveTable();
    for (uint8_t p : frame.PixelData()) {
        if (p == frame.TransparentIndex()) {
            look.emplace_back();
        } else {
            const TGIFColor& c = table.Entries()[p];
            look.emplace_back(RGB(c.Red, c.Green, c.Blue));
        }
    }
    return look;
}

// The minimum code size byte of each frame in a written file.
std::vector<int> CodeSizes(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    const std::vector<uint8_t>& gif = stream.Bytes();
    std::vector<int> sizes;
    size_t p = 13;
    if (gif[10] & 0x80) p += 3u * (2u << (gif[10] & 7));
    while (p < gif.size() && gif[p] != 0x3B) {
        if (gif[p] == 0x21) {
            for (p += 2; gif[p]; p += gif[p] + 1u) {
            }
            ++p;
            continue;
        }
        const uint8_t flags = gif[p + 9];
        p += 10;
        if (flags & 0x80) p += 3u * (2u << (flags & 7));
        sizes.push_back(gif[p++]);
        for (; gif[p]; p += gif[p] + 1u) {
        }
        ++p;
    }
    return sizes;
}

int64_t Size(TGIFImage& image) {
    TCountingStream counter;
    image.SaveToStream(counter);
    return counter.Size();
}

// Noise over `colors`, with every `holeEvery`-th pixel a hole (index `hole`) when given.
std::vector<uint8_t> Noise(const std::vector<int>& colors, size_t n, int hole, int holeEvery) {
    std::vector<uint8_t> pixels(n);
    uint32_t seed = uint32_t(colors.size() * 7919 + n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        pixels[i] = holeEvery > 0 && i % size_t(holeEvery) == 0
                        ? uint8_t(hole)
                        : uint8_t(colors[(seed >> 16) % colors.size()]);
    }
    return pixels;
}

std::vector<int> Range(int from, int to, int step = 1) {
    std::vector<int> values;
    for (int v = from; v < to; v += step)
        values.push_back(v);
    return values;
}

} // namespace

// Three frames with 40-90 colours scattered over a 256-colour table (one with holes, whose
// index is among the high entries), and a frame with its own table: after renumbering,
// every frame that fits 128 or 64 entries is written with 7- or 6-bit codes.
TEST(CodeSizeOrder, NarrowsTheCodesOfFramesWithFewColours) {
    TGIFImage image;
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back(RGB(i, (i * 7) & 255, 255 - i));
    SetColors(image.GlobalColorMap(), colors);
    giftest::AddFrame(image, 0, 0, 64, 64, Noise(Range(1, 256, 3), 64 * 64, 0, 0)); // 85
    TGIFSubImage& holes =
        giftest::AddFrame(image, 0, 0, 64, 64, Noise(Range(2, 256, 6), 64 * 64, 250, 5)); // 43
    Control(holes, dmNone, 5, 250);
    giftest::AddFrame(image, 0, 0, 64, 64, Noise(Range(0, 256, 5), 64 * 64, 0, 0)); // 52
    TGIFSubImage& local = giftest::AddFrame(image, 0, 0, 8, 8, Noise(Range(0, 4), 64, 0, 0));
    SetColors(local.LocalTable(), Four);

    std::vector<std::vector<std::optional<TColor>>> before;
    for (int i = 0; i < image.FrameCount(); ++i)
        before.push_back(Look(*image.Frame(i)));
    ASSERT_EQ(CodeSizes(image), (std::vector<int>{8, 8, 8, 2}));
    const int64_t sizeBefore = Size(image);

    ASSERT_TRUE(optimize::OrderColorsForCodeSizes(image));
    for (int i = 0; i < image.FrameCount(); ++i)
        EXPECT_EQ(Look(*image.Frame(i)), before[size_t(i)]) << i;
    const std::vector<int> sizes = CodeSizes(image);
    ASSERT_EQ(sizes.size(), 4u);
    EXPECT_LE(sizes[1], 6); // 43 colours and a hole fit 64 entries
    EXPECT_LE(std::max({sizes[0], sizes[1], sizes[2]}), 8);
    EXPECT_EQ(std::count(sizes.begin(), sizes.begin() + 3, 8), 1); // 85 + 52 > 128
    EXPECT_EQ(sizes[3], 2);
    EXPECT_LT(Size(image), sizeBefore);
}

// Nothing to gain: every frame already uses the lowest entries, or needs the whole table.
TEST(CodeSizeOrder, LeavesAnImageItCannotImprove) {
    for (const std::vector<int>& used : {Range(0, 100), Range(0, 256)}) {
        TGIFImage image;
        std::vector<TColor> colors;
        for (int i = 0; i < 256; ++i)
            colors.push_back(RGB(255 - i, i, i / 2));
        SetColors(image.GlobalColorMap(), colors);
        giftest::AddFrame(image, 0, 0, 32, 32, Noise(used, 32 * 32, 0, 0));
        if (used.size() < 256) image.Frame(0)->SetCodeSizeHint(7);
        TMemoryStream before;
        image.SaveToStream(before);
        EXPECT_FALSE(optimize::OrderColorsForCodeSizes(image)) << used.size();
        TMemoryStream after;
        image.SaveToStream(after);
        EXPECT_EQ(after.Bytes(), before.Bytes()) << used.size();
    }
}

// Entries past the last one a global frame draws with, a transparent index names or the
// background names are not written; a frame with its own table does not count. A
// background that no viewer can show (nothing restores to it, the first frame covers the
// screen) moves to entry 0 instead of keeping its entry.
TEST(CodeSizeOrder, DropsGlobalEntriesNoFrameUses) {
    struct Case {
        int background;
        int transparent; // of the second frame, whose pixels never use it
        int entries;     // expected afterwards
        bool restores;   // the first frame restores to the background
        int backgroundAfter;
    };
    for (const Case& c : {Case{1, -1, 4, false, 1}, Case{9, -1, 10, true, 9}, Case{9, -1, 4, false, 0},
                          Case{0, 12, 13, false, 0}, Case{0, 15, 16, false, 0}}) {
        TGIFImage image;
        std::vector<TColor> colors;
        for (int i = 0; i < 16; ++i)
            colors.push_back(RGB(i * 16, 255 - i * 16, 40));
        SetColors(image.GlobalColorMap(), colors);
        image.Header().SetBackgroundIndex(uint8_t(c.background));
        TGIFSubImage& first = giftest::AddFrame(image, 0, 0, 16, 16, Noise(Range(0, 4), 256, 0, 0));
        if (c.restores) Control(first, dmBackground, 5);
        Control(giftest::AddFrame(image, 0, 0, 16, 16, Noise(Range(1, 3), 256, 0, 0)), dmNone, 5,
                c.transparent);
        TGIFSubImage& local = giftest::AddFrame(image, 0, 0, 4, 4, Noise(Range(0, 14), 16, 0, 0));
        SetColors(local.LocalTable(), colors);
        const auto look = Look(*image.Frame(1));
        const int64_t size = Size(image);

        EXPECT_EQ(optimize::DropUnusedGlobalEntries(image), c.entries < 16) << c.background;
        EXPECT_EQ(image.GlobalColorMap().EntryCount(), c.entries) << c.background;
        EXPECT_EQ(Look(*image.Frame(1)), look);
        EXPECT_EQ(image.Header().BackgroundIndex(), c.backgroundAfter) << c.background;
        if (c.entries <= 8) {
            EXPECT_LT(Size(image), size);
        }
    }
}
