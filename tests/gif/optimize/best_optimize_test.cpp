// The best-effort optimiser: smaller where an alternative is smaller, never a different
// picture or timing, never larger.
#include "gif/base/exception.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/optimize/best_optimize.h"
#include "gif/optimize/display_check.h"
#include "gif/optimize/encoding_choice.h"
#include "gif/optimize/optimize_fixtures.h"
#include "gif/render/compose.h"
#include "gif/render/timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "gif/model/application_extension.h"

using namespace gif;
using namespace opttest;

namespace {

constexpr TColor Underneath = RGB(250, 0, 250); // in no palette below

// Every picture shown and how long, as the renderer composes them; a picture that stays
// over several frames counts once, with the time of them all. Every frame stays at least
// the minimum delay, so two animations give the same list exactly when they show the same
// picture at every moment, whatever frames they are made of.
std::vector<std::pair<std::vector<uint8_t>, int>> Shown(TGIFImage& image) {
    std::vector<std::pair<std::vector<uint8_t>, int>> shown;
    auto pictures = ComposeFrames(image, Underneath);
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::vector<uint8_t> bits(pictures[i]->Bits().begin(), pictures[i]->Bits().end());
        const int delay = FrameDelayUnits(*image.Frame(int(i)), true);
        if (!shown.empty() && shown.back().first == bits) shown.back().second += delay;
        else shown.emplace_back(std::move(bits), delay);
    }
    return shown;
}

// The picture at every delay unit (1/100 s) of one play: an index into the distinct
// pictures, which come back in `pictures`.
std::vector<size_t> Moments(TGIFImage& image, std::vector<std::vector<uint8_t>>& pictures) {
    std::vector<size_t> moments;
    auto composed = ComposeFrames(image, Underneath);
    for (size_t i = 0; i < composed.size(); ++i) {
        std::vector<uint8_t> bits(composed[i]->Bits().begin(), composed[i]->Bits().end());
        auto found = std::find(pictures.begin(), pictures.end(), bits);
        const size_t id = size_t(found - pictures.begin());
        if (found == pictures.end()) pictures.push_back(std::move(bits));
        moments.insert(moments.end(), size_t(FrameDelayUnits(*image.Frame(int(i)), true)), id);
    }
    return moments;
}

std::vector<uint8_t> Saved(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

// Runs the optimiser and checks what must always hold: the result is what the image now
// writes, no larger than before, and shows the same pictures for the same time; and it
// still does after a write and a read.
TBestOptimizeResult OptimizeAndCheck(TGIFImage& image) {
    const auto before = Shown(image);
    const int64_t sizeBefore = int64_t(Saved(image).size());
    std::vector<uint8_t> written;
    TBestOptimizeResult result = OptimizeBest(image, &written);
    EXPECT_EQ(written, Saved(image));
    if (result.Changed) {
        EXPECT_LE(result.BytesBefore, sizeBefore);
    } else {
        EXPECT_EQ(result.BytesBefore, sizeBefore);
    }
    std::vector<uint8_t> bytes = Saved(image);
    EXPECT_EQ(result.BytesAfter, int64_t(bytes.size()));
    EXPECT_LE(result.BytesAfter, result.BytesBefore);
    if (result.Changed) {
        EXPECT_LT(result.BytesAfter, sizeBefore);
    }
    EXPECT_EQ(Shown(image), before);
    TGIFImage reread;
    TMemoryStream stream(bytes);
    reread.LoadFromStream(stream);
    EXPECT_EQ(Shown(reread), before);
    return result;
}

// Black, red, green and blue as the global table; the screen grows with the frames.
void FourColourScreen(TGIFImage& image) {
    SetColors(image.GlobalColorMap(), Four);
}

int TransparentPixels(const TGIFSubImage& frame) {
    int t = frame.TransparentIndex();
    return t < 0 ? 0
                 : int(std::count(frame.PixelData().begin(), frame.PixelData().end(), uint8_t(t)));
}

// The minimum code size byte of each frame's image data in a written file.
std::vector<int> CodeSizes(const std::vector<uint8_t>& gif) {
    std::vector<int> sizes;
    size_t p = 13;
    if (gif[10] & 0x80) p += 3u * (2u << (gif[10] & 7));
    while (p < gif.size() && gif[p] != 0x3B) {
        if (gif[p] == 0x21) {
            p += 2;
            while (gif[p])
                p += gif[p] + 1u;
            ++p;
            continue;
        }
        uint8_t flags = gif[p + 9];
        p += 10;
        if (flags & 0x80) p += 3u * (2u << (flags & 7));
        sizes.push_back(gif[p++]);
        while (gif[p])
            p += gif[p] + 1u;
        ++p;
    }
    return sizes;
}

} // namespace

// A two-colour cellular animation: half the pixels change each frame, so holes for the
// unchanged half only add a third symbol to the noise. The frame becomes opaque.
TEST(OptimizeBest, DropsTransparencyWhereColoursCompressBetter) {
    TGIFImage image;
    FourColourScreen(image);
    Random random(3);
    std::vector<uint8_t> first(48 * 48), second(48 * 48), written(48 * 48);
    for (size_t i = 0; i < first.size(); ++i) {
        first[i] = uint8_t(random.Next(2));
        second[i] = uint8_t(random.Next(2));
        written[i] = second[i] == first[i] ? 3 : second[i]; // 3: transparent
    }
    Control(giftest::AddFrame(image, 0, 0, 48, 48, first), dmNone, 5);
    Control(giftest::AddFrame(image, 0, 0, 48, 48, written), dmNone, 5, 3);
    TBestOptimizeResult result = OptimizeAndCheck(image);
    EXPECT_TRUE(result.Changed);
    EXPECT_LT(result.BytesAfter, result.BytesBefore);
    EXPECT_EQ(TransparentPixels(*image.Frame(image.FrameCount() - 1)), 0);
}

// Noise that stays, with a sparse line drawn across it: transparency for the unchanged
// pixels is far smaller than the noise again, so it stays.
TEST(OptimizeBest, KeepsTransparencyWhereItPays) {
    TGIFImage image;
    FourColourScreen(image);
    Random random(5);
    std::vector<uint8_t> noise(48 * 48), line(48 * 48, 3);
    for (uint8_t& p : noise)
        p = uint8_t(random.Next(3));
    for (int i = 0; i < 48; ++i)
        line[size_t(i) * 48 + size_t(i)] = uint8_t((noise[size_t(i) * 49] + 1) % 3);
    Control(giftest::AddFrame(image, 0, 0, 48, 48, noise), dmNone, 5);
    Control(giftest::AddFrame(image, 0, 0, 48, 48, line), dmNone, 5, 3);
    OptimizeAndCheck(image);
    const TGIFSubImage& last = *image.Frame(image.FrameCount() - 1);
    EXPECT_GT(TransparentPixels(last), 48 * 48 / 2);
}

TEST(OptimizeBest, WritesInterlacedFramesStraightWhenThatIsSmaller) {
    TGIFImage image;
    FourColourScreen(image);
    for (int f = 0; f < 3; ++f) {
        std::vector<uint8_t> pixels(40 * 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                pixels[size_t(y) * 40 + size_t(x)] = uint8_t((x / 5 + y / 3 + f) % 4);
        TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 40, 40, pixels);
        frame.SetInterlaced(true);
        Control(frame, dmNone, 7);
    }
    TBestOptimizeResult result = OptimizeAndCheck(image);
    EXPECT_LT(result.BytesAfter, result.BytesBefore);
    for (int i = 0; i < image.FrameCount(); ++i)
        EXPECT_FALSE(image.Frame(i)->IsInterlaced()) << i;
}

// Sprites on whole-screen transparent frames that restore to the background: the frames
// after the first shrink to their sprite and still clear it afterwards.
TEST(OptimizeBest, TrimsFramesThatRestoreToTheBackground) {
    TGIFImage image;
    FourColourScreen(image);
    const int spots[][2] = {{4, 4}, {20, 20}, {8, 20}, {20, 6}};
    for (auto [sx, sy] : spots) {
        std::vector<uint8_t> pixels(32 * 32, 3);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                pixels[size_t(sy + y) * 32 + size_t(sx + x)] = uint8_t(1 + (x + y) % 2);
        Control(giftest::AddFrame(image, 0, 0, 32, 32, pixels), dmBackground, 6, 3);
    }
    TBestOptimizeResult result = OptimizeAndCheck(image);
    EXPECT_LT(result.BytesAfter, result.BytesBefore);
    ASSERT_EQ(image.FrameCount(), 4);
    for (int i = 1; i < 4; ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        EXPECT_EQ(frame.BoundsRect(),
                  (TRect{spots[i][0], spots[i][1], spots[i][0] + 4, spots[i][1] + 4}))
            << i;
        int disposal = frame.ControlBlock()->DisposalCode();
        EXPECT_TRUE(disposal == dmBackground || disposal == dmPrevious) << i;
    }
}

// A frame of a 256-colour animation that draws with three of them is written with
// minimum code size 2; a code size its pixels do not fit is not taken.
TEST(OptimizeBest, WritesTheSmallestCodeSizeAFrameNeeds) {
    TGIFImage image;
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back(RGB(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)));
    SetColors(image.GlobalColorMap(), colors);
    std::vector<uint8_t> all(64 * 4);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = uint8_t(i);
    Control(giftest::AddFrame(image, 0, 0, 64, 4, all), dmNone, 5);
    std::vector<uint8_t> few(64 * 4);
    for (size_t i = 0; i < few.size(); ++i)
        few[i] = uint8_t(100 + i % 3);
    Control(giftest::AddFrame(image, 0, 0, 64, 4, few), dmNone, 5);
    OptimizeAndCheck(image);
    std::vector<int> sizes = CodeSizes(Saved(image));
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], 8);
    EXPECT_EQ(sizes[1], 2);

    // An edit that draws a higher index outgrows the hint: the table's size is written.
    TGIFSubImage& second = *image.Frame(1);
    second.SetCodeSizeHint(2);
    second.Pixels()[0] = 200;
    EXPECT_EQ(CodeSizes(Saved(image))[1], 8);
}

// A screen too large to check is not touched (a 35-byte file could otherwise ask for
// gigabytes): it stays exactly as it was. A one-pixel picture gains only the byte that
// would hold nothing but its end code.
TEST(OptimizeBest, AnImageThatCannotShrinkStaysAsItIs) {
    for (int screen : {1, 60000}) {
        TGIFImage image;
        SetColors(image.GlobalColorMap(), {RGB(1, 2, 3), RGB(4, 5, 6)});
        giftest::AddFrame(image, 0, 0, 1, 1, {1});
        if (screen > 1) giftest::AddFrame(image, screen - 1, screen - 1, 1, 1, {0});
        const std::vector<uint8_t> before = Saved(image);
        TBestOptimizeResult result = screen > 1 ? OptimizeBest(image) : OptimizeAndCheck(image);
        if (screen > 1) {
            EXPECT_FALSE(result.Changed);
            EXPECT_EQ(result.BytesAfter, result.BytesBefore);
            EXPECT_EQ(Saved(image), before);
        } else {
            EXPECT_GE(result.BytesAfter, result.BytesBefore - 1);
            EXPECT_LE(result.BytesAfter, result.BytesBefore);
        }
    }
}

// A looping animation that starts its loop at frame 1 over an all-red intro: frame 1 is
// a checkerboard of red and holes in its bottom half, all red in the first pass. In later
// passes the holes show the green that frame 2 left, so they must stay holes. Playing the
// optimised frames from the loop point once more must show what the input shows then.
TEST(OptimizeBest, LaterPassesOfALoopShowTheSame) {
    auto build = [](TGIFImage& image, int passes) {
        SetColors(image.GlobalColorMap(), Four);
        Control(giftest::AddFrame(image, 0, 0, 16, 16, std::vector<uint8_t>(256, 1)), dmNone, 5);
        for (int pass = 0; pass < passes; ++pass) {
            std::vector<uint8_t> checks(256, 3); // top half blue, bottom red and holes
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    checks[size_t(y) * 16 + size_t(x)] = y < 8 ? 3 : (x + y) % 2 ? 1 : 0;
            Control(giftest::AddFrame(image, 0, 0, 16, 16, checks), dmNone, 5, 0);
            std::vector<uint8_t> green(256, 3); // 3 is blue
            std::fill(green.begin() + 128, green.end(), 2);
            Control(giftest::AddFrame(image, 0, 0, 16, 16, green), dmNone, 5);
        }
        AddLoop(*image.Frame(1), 0);
    };
    TGIFImage once, twice;
    build(once, 1);
    build(twice, 2);
    OptimizeAndCheck(once);
    ASSERT_EQ(once.FrameCount(), 3);
    TGIFImage replay;
    replay.Assign(&once);
    for (int i = 1; i < once.FrameCount(); ++i)
        replay.AddFrame(once.Frame(i));
    EXPECT_EQ(Shown(replay), Shown(twice));
}

// Merging tables past 256 colours maps a dropped colour to the nearest kept one: pure red
// goes to dark red, not to pure blue (whose red + green + blue sum is the same).
TEST(OptimizeBest, ScreenOfACopyHoldsFramesPlacedOffTheScreen) {
    // A file may place a frame far off its screen: the reader keeps the screen it states,
    // but the optimiser's copies grow theirs to hold the frame, and are that large to play.
    TGIFImage written;
    SetColors(written.GlobalColorMap(), Four);
    giftest::AddFrame(written, 0, 0, 3, 2, {1, 2, 3, 0, 1, 2});
    giftest::AddFrame(written, 1, 1, 2, 2, {3, 3, 3, 3});
    std::vector<uint8_t> bytes = Saved(written);
    // The second frame's descriptor moves it to (30000, 20000); the screen stays 3 x 3. It
    // follows the header, the table of four colours, the first descriptor, the code size and
    // the first frame's sub-blocks.
    size_t second = 13 + 4 * 3;
    ASSERT_EQ(bytes[second], 0x2C);
    second += 10 + 1;
    while (bytes[second] != 0)
        second += 1 + bytes[second];
    ++second;
    ASSERT_EQ(bytes[second], 0x2C);
    const auto put = [&bytes](size_t at, int value) {
        bytes[at] = uint8_t(value);
        bytes[at + 1] = uint8_t(value >> 8);
    };
    put(second + 1, 30000);
    put(second + 3, 20000);
    TGIFImage image;
    image.WarningHandler = [](TObject*, uint8_t, const std::string&) {};
    TMemoryStream stream(bytes);
    image.LoadFromStream(stream);
    ASSERT_EQ(image.FrameCount(), 2);
    ASSERT_EQ(image.Frame(1)->FrameLeft(), 30000);
    EXPECT_EQ(int64_t(image.Width()) * image.Height(), 9);
    EXPECT_EQ(optimize::CopiedScreenPixels(image), int64_t(30002) * 20002);
    TGIFImage copy;
    copy.WarningHandler = image.WarningHandler;
    copy.Assign(&image);
    EXPECT_EQ(int64_t(copy.Width()) * copy.Height(), optimize::CopiedScreenPixels(image));
}

TEST(OptimizeBest, FramesWhosePixelsNoTableHoldsKeepTheirEncoding) {
    // Without any colour table every pixel is outside it: the writer refuses such frames,
    // and the choice of row order and parse must leave them alone rather than measure
    // values its code size cannot hold.
    TGIFImage image;
    image.WarningHandler = [](TObject*, uint8_t, const std::string&) {};
    std::vector<uint8_t> pixels(40 * 20);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i / 7 % 126);
    giftest::AddFrame(image, 0, 0, 40, 20, pixels);
    giftest::AddFrame(image, 0, 0, 40, 20, pixels).SetInterlaced(true);
    EXPECT_FALSE(optimize::ChooseFrameEncodings(image));
    EXPECT_FALSE(image.Frame(0)->IsInterlaced());
    EXPECT_TRUE(image.Frame(1)->IsInterlaced());
    EXPECT_EQ(image.Frame(0)->LookaheadHint(), -1);
    EXPECT_THROW(Saved(image), GIFException);
}

TEST(ColorMapMerge, DroppedColourGoesToTheNearestByDistance) {
    TGIFImage image;
    // Frame 0: blue, dark red and 128 greens, each used twice; frame 1: red once, 126 greens twice.
    std::vector<TColor> first = {RGB(0, 0, 255), RGB(200, 0, 0)};
    for (int i = 0; i < 128; ++i)
        first.push_back(RGB(0, 255, uint8_t(i)));
    std::vector<TColor> second = {RGB(255, 0, 0)};
    for (int i = 128; i < 254; ++i)
        second.push_back(RGB(0, 255, uint8_t(i)));
    std::vector<uint8_t> pixels0, pixels1{0};
    for (size_t i = 0; i < first.size(); ++i)
        pixels0.insert(pixels0.end(), 2, uint8_t(i));
    for (size_t i = 1; i < second.size(); ++i)
        pixels1.insert(pixels1.end(), 2, uint8_t(i));
    SetColors(giftest::AddFrame(image, 0, 0, int(pixels0.size()), 1, pixels0).LocalTable(), first);
    SetColors(giftest::AddFrame(image, 0, 0, int(pixels1.size()), 1, pixels1).LocalTable(), second);
    image.OptimizeColorMaps();
    ASSERT_EQ(image.GlobalColorMap().EntryCount(), 256);
    EXPECT_EQ(image.GlobalColorMap().ColorAt(image.Frame(1)->PixelAt(0, 0)), RGB(200, 0, 0));
}

// A looping animation whose first frame covers the screen: what the last frame leaves is
// never seen, so it need not clear the whole screen it was written over, only draw its
// sprite. When the first frame has a hole where the sprite is, the next loop shows what
// the last frame left there, so it must still clear it. Two passes of the result show
// what two passes of the input show.
TEST(OptimizeBest, LastFrameClearsOnlyWhatTheNextLoopShows) {
    for (bool covering : {true, false}) {
        auto build = [covering](TGIFImage& image, int passes) {
            FourColourScreen(image);
            std::vector<uint8_t> ground(24 * 24, 1), sprite(24 * 24, 3);
            for (int y = 4; y < 8; ++y)
                for (int x = 4; x < 8; ++x) {
                    sprite[size_t(y) * 24 + size_t(x)] = 2;
                    if (!covering) ground[size_t(y) * 24 + size_t(x)] = 3;
                }
            for (int pass = 0; pass < passes; ++pass) {
                Control(giftest::AddFrame(image, 0, 0, 24, 24, ground), dmNone, 5,
                        covering ? -1 : 3);
                Control(giftest::AddFrame(image, 0, 0, 24, 24, sprite), dmBackground, 5, 3);
            }
            AddLoop(*image.Frame(0), 0);
        };
        TGIFImage once, twice;
        build(once, 1);
        build(twice, 2);
        OptimizeAndCheck(once);
        ASSERT_EQ(once.FrameCount(), 2) << covering;
        TGIFImage replay;
        replay.Assign(&once);
        for (int i = 0; i < once.FrameCount(); ++i)
            replay.AddFrame(once.Frame(i));
        EXPECT_EQ(Shown(replay), Shown(twice)) << covering;
        const TGIFSubImage& last = *once.Frame(1);
        if (covering) {
            EXPECT_EQ(last.BoundsRect(), (TRect{4, 4, 8, 8}));
        } else {
            EXPECT_EQ(last.ControlBlock()->DisposalCode(), dmBackground);
        }
    }
}

// A smooth 256-colour gradient that no pass can shrink: ending some LZW strings early lets
// the next ones reach further (OptimizeAndCheck reads the file back).
TEST(OptimizeBest, EndsLzwStringsEarlyWhereThatIsSmaller) {
    TGIFImage image;
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back(RGB(uint8_t(i), uint8_t(i / 2), uint8_t(255 - i)));
    SetColors(image.GlobalColorMap(), colors);
    std::vector<uint8_t> pixels(320 * 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            pixels[size_t(y) * 320 + size_t(x)] = uint8_t((x + y) * 256 / 560);
    giftest::AddFrame(image, 0, 0, 320, 240, pixels);
    TBestOptimizeResult result = OptimizeAndCheck(image);
    EXPECT_TRUE(result.Changed);
    EXPECT_GE(image.Frame(0)->LookaheadHint(), 0);
}

// 256-colour noise about as long as fills the LZW table, then the same noise three times
// more: kept full for a while it matches the repeats in pairs where a fresh
// table starts from single pixels. The clear is put off, the file read back shows the same,
// and it is smaller than with the clear at once.
TEST(OptimizeBest, PutsOffTheClearWhereAFullTableStillServes) {
    TGIFImage image;
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back(RGB(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)));
    SetColors(image.GlobalColorMap(), colors);
    Random random(3);
    std::vector<uint8_t> block(100 * 42), pixels;
    for (uint8_t& p : block)
        p = uint8_t(random.Next(256));
    for (int k = 0; k < 4; ++k)
        pixels.insert(pixels.end(), block.begin(), block.end());
    giftest::AddFrame(image, 0, 0, 100, 168, pixels);
    OptimizeAndCheck(image);
    ASSERT_GT(image.Frame(0)->ClearDelayHint(), 0);
    const size_t withDelay = Saved(image).size();
    image.Frame(0)->SetClearDelayHint(0);
    EXPECT_LT(withDelay * 100, Saved(image).size() * 97);
}

// Even rows repeat one noisy row, odd rows another: interlaced, the even rows come first
// and then the odd ones, each a long repetition LZW takes in ever longer strings.
TEST(OptimizeBest, InterlacesAFrameWhoseRowsCompressBetterSo) {
    TGIFImage image;
    FourColourScreen(image);
    Random random(11);
    std::vector<uint8_t> even(64), odd(64), pixels;
    for (size_t x = 0; x < 64; ++x) {
        even[x] = uint8_t(random.Next(4));
        odd[x] = uint8_t(random.Next(4));
    }
    for (int y = 0; y < 64; ++y)
        pixels.insert(pixels.end(), (y % 2 ? odd : even).begin(), (y % 2 ? odd : even).end());
    giftest::AddFrame(image, 0, 0, 64, 64, pixels);
    TBestOptimizeResult result = OptimizeAndCheck(image);
    EXPECT_TRUE(result.Changed);
    EXPECT_TRUE(image.Frame(0)->IsInterlaced());
}

// Colour bars that stand still: every frame the same full picture, with a table of 256
// entries, so that the repeats cannot simply turn transparent in their own tables.
void StillBars(TGIFImage& image, int frames, int delay) {
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back(RGB(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)));
    SetColors(image.GlobalColorMap(), colors);
    std::vector<uint8_t> pixels(48 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x)
            pixels[size_t(y) * 48 + size_t(x)] = uint8_t(x / 6 * 31 + (y > 12 ? 5 : 0));
    for (int f = 0; f < frames; ++f)
        Control(giftest::AddFrame(image, 0, 0, 48, 16, pixels), dmNone, delay);
}

TEST(OptimizeBest, FramesShowingTheSameBecomeOneWithTheirTimeSummed) {
    TGIFImage image;
    StillBars(image, 100, 4);
    AddLoop(*image.Frame(0), 0);
    image.Header().SetBackgroundIndex(200); // a colour no pixel shows, and no viewer either
    std::vector<std::vector<uint8_t>> pictures;
    const std::vector<size_t> before = Moments(image, pictures);
    ASSERT_EQ(before.size(), 400u);
    OptimizeAndCheck(image);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(Delay(*image.Frame(0)), 400);
    EXPECT_EQ(Moments(image, pictures), before); // the same picture at every 1/100 s
    // Every used colour and no more: the table shrinks to the smallest power of two.
    EXPECT_EQ(image.GlobalColorMap().EntryCount(), 16);
    EXPECT_LT(image.Header().BackgroundIndex(), 16);
}

TEST(OptimizeBest, SummedTimeBeyondTheLongestDelayIsSplit) {
    TGIFImage image;
    StillBars(image, 3, 40000);
    std::vector<std::vector<uint8_t>> pictures;
    const std::vector<size_t> before = Moments(image, pictures);
    OptimizeAndCheck(image);
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(Delay(*image.Frame(0)), 65535);
    EXPECT_EQ(Delay(*image.Frame(1)), 120000 - 65535);
    EXPECT_EQ(Moments(image, pictures), before);
}

TEST(OptimizeBest, ZeroDelaysAreSummedAsPlayed) {
    TGIFImage image;
    StillBars(image, 3, 0); // each plays for the fallback delay
    OptimizeAndCheck(image);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(Delay(*image.Frame(0)), 3 * FallbackDelay);
}

TEST(OptimizeBest, FramesWithCommentsOrApplicationBlocksAreNotMerged) {
    for (int kind = 0; kind < 2; ++kind) {
        TGIFImage image;
        StillBars(image, 4, 5);
        if (kind == 0) {
            AddComment(*image.Frame(2), "keep me");
        } else {
            auto block = std::make_unique<TGIFUnknownAppExtension>(image.Frame(2));
            block->AppIdentifier = MakeAppIdentifier("MYAPPLIC1.0");
            image.Frame(2)->Blocks().Add(std::move(block));
        }
        OptimizeAndCheck(image);
        // Frames 0 and 1 may join; frame 2 stays, with its block, and so does the time
        // before it.
        ASSERT_GE(image.FrameCount(), 2) << kind;
        int withBlock = -1;
        for (int i = 0; i < image.FrameCount(); ++i)
            if (image.Frame(i)->Blocks().ItemCount() > (image.Frame(i)->ControlBlock() ? 1 : 0))
                withBlock = i;
        ASSERT_GE(withBlock, 1) << kind;
        int before = 0;
        for (int i = 0; i < withBlock; ++i)
            before += Delay(*image.Frame(i));
        EXPECT_EQ(before, 10) << kind;
    }
}
