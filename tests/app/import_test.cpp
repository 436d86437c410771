// loopwright-cli import: bitmap files become the frames of a new animation.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "cli_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

using namespace gif;
using clitest::Quote;
using clitest::TempDir;

namespace {

// Writes a 24-bit bitmap file of one row of the given colours.
std::string WriteRow(const TempDir& dir, const std::string& name, const std::vector<TColor>& row,
                     int height = 1) {
    TBitmap bitmap(int(row.size()), height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (size_t x = 0; x < row.size(); ++x) bitmap.SetPixels(int(x), y, row[x]);
    std::string path = (dir / name).string();
    bitmap.SaveToFile(path);
    return path;
}

// The colours the first row of frame `index` shows.
std::vector<TColor> ShownRow(TGIFImage& image, int index = 0) {
    TGIFSubImage& frame = *image.Frame(index);
    std::vector<TColor> colors;
    for (int x = 0; x < frame.FrameWidth(); ++x)
        colors.push_back(frame.EffectiveTable().ColorAt(frame.PixelAt(x, 0)));
    return colors;
}

struct Imported {
    clitest::Result Result;
    std::unique_ptr<TGIFImage> Image;
};

Imported Import(const TempDir& dir, const std::string& inputs, const std::string& options = "") {
    std::string out = (dir / "out.gif").string();
    std::filesystem::remove(out);
    Imported imported;
    imported.Result = clitest::Run("import " + inputs + " -o " + Quote(out) + " " + options);
    if (imported.Result.Status == 0) {
        imported.Image = std::make_unique<TGIFImage>();
        imported.Image->LoadFromFile(out);
    }
    return imported;
}

} // namespace

TEST(ImportCommand, MidGraysSplitUnderMonochrome) {
    TempDir dir;
    std::string in = WriteRow(dir, "grays.bmp", {RGB(127, 127, 127), RGB(128, 128, 128)});
    Imported result = Import(dir, Quote(in), "--reduction monochrome");
    ASSERT_EQ(result.Result.Status, 0) << result.Result.Output;
    EXPECT_EQ(ShownRow(*result.Image), (std::vector<TColor>{clBlack, clWhite}));
}

TEST(ImportCommand, WebCubeRoundsAtTheMidpoint) {
    TempDir dir;
    std::string in = WriteRow(dir, "grays.bmp", {RGB(47, 47, 47), RGB(48, 48, 48)});
    // web216 is what a new image reduces with.
    for (const std::string& options : {std::string(), std::string("--reduction web216")}) {
        Imported result = Import(dir, Quote(in), options);
        ASSERT_EQ(result.Result.Status, 0) << result.Result.Output;
        TGIFSubImage& frame = *result.Image->Frame(0);
        EXPECT_EQ(frame.PixelAt(0, 0), 0);
        EXPECT_EQ(frame.PixelAt(1, 0), 43);
        EXPECT_EQ(ShownRow(*result.Image), (std::vector<TColor>{clBlack, RGB(51, 51, 51)}));
    }
}

TEST(ImportCommand, OptimizedPaletteHasExactlyTheColorsFound) {
    TempDir dir;
    const std::vector<TColor> colors = {RGB(10, 20, 30), RGB(200, 100, 0), RGB(0, 255, 128),
                                        RGB(90, 90, 90)};
    std::string in = WriteRow(dir, "four.bmp", colors, 3);
    for (const char* depth : {"8", "3"}) {
        Imported result = Import(dir, Quote(in), std::string("--reduction optimized --depth ") + depth);
        ASSERT_EQ(result.Result.Status, 0) << result.Result.Output;
        EXPECT_EQ(result.Image->Frame(0)->LocalTable().EntryCount(), 4);
        EXPECT_EQ(ShownRow(*result.Image), colors);
    }
}

TEST(ImportCommand, OnePixelGivesTheNearestColorUnderEveryDitherer) {
    TempDir dir;
    std::string in = WriteRow(dir, "one.bmp", {RGB(100, 150, 200)});
    for (const char* dither : {"nearest", "floyd-steinberg", "stucki", "sierra",
                               "jarvis-judice-ninke", "stevenson-arce", "burkes"}) {
        Imported result = Import(dir, Quote(in), std::string("--dither ") + dither);
        ASSERT_EQ(result.Result.Status, 0) << dither << ": " << result.Result.Output;
        EXPECT_EQ(ShownRow(*result.Image), (std::vector<TColor>{RGB(102, 153, 153)})) << dither;
    }
}

TEST(ImportCommand, EveryPictureBecomesAFrameWithTheDelay) {
    TempDir dir;
    std::string a = WriteRow(dir, "a.bmp", {RGB(255, 0, 0), RGB(0, 0, 255)});
    std::string b = WriteRow(dir, "b.bmp", std::vector<TColor>(3, RGB(120, 130, 140)), 2);
    Imported result = Import(dir, Quote(a) + " " + Quote(b), "--delay 25 --reduction gray4");
    ASSERT_EQ(result.Result.Status, 0) << result.Result.Output;
    TGIFImage& image = *result.Image;
    ASSERT_EQ(image.FrameCount(), 2);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(image.Frame(i)->ControlBlock(), nullptr);
        EXPECT_EQ(image.Frame(i)->ControlBlock()->DelayTime(), 25);
        EXPECT_EQ(image.Frame(i)->Blocks().ItemCount(), 1);
    }
    // gray4: the nearest of 0, 128, 192 and 255.
    EXPECT_EQ(image.Frame(0)->LocalTable().EntryCount(), 4);
    EXPECT_EQ(ShownRow(image, 1), std::vector<TColor>(3, RGB(128, 128, 128)));

    Imported plain = Import(dir, Quote(a));
    ASSERT_EQ(plain.Result.Status, 0) << plain.Result.Output;
    EXPECT_EQ(plain.Image->Frame(0)->ControlBlock(), nullptr);
}

TEST(ImportCommand, UnreadableInputFailsWithOneLine) {
    TempDir dir;
    std::string good = WriteRow(dir, "good.bmp", {clWhite});
    std::string junk = (dir / "junk.bmp").string();
    std::ofstream(junk) << "not a bitmap at all, just some text";
    for (const std::string& bad : {junk, (dir / "missing.bmp").string()}) {
        Imported result = Import(dir, Quote(good) + " " + Quote(bad));
        EXPECT_EQ(result.Result.Status, 1) << bad;
        EXPECT_EQ(std::count(result.Result.Output.begin(), result.Result.Output.end(), '\n'), 1)
            << result.Result.Output;
        EXPECT_NE(result.Result.Output.find(bad), std::string::npos) << result.Result.Output;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.gif"));
    }
}

TEST(ImportCommand, RefusesBadArguments) {
    TempDir dir;
    std::string in = WriteRow(dir, "in.bmp", {clWhite});
    for (const std::string& args :
         {"import " + Quote(in), "import -o " + Quote(dir / "x.gif"),
          "import " + Quote(in) + " -o " + Quote(dir / "x.gif") + " --reduction sepia",
          "import " + Quote(in) + " -o " + Quote(dir / "x.gif") + " --dither bayer",
          "import " + Quote(in) + " -o " + Quote(dir / "x.gif") + " --depth 9",
          "import " + Quote(in) + " -o " + Quote(dir / "x.gif") + " --delay 70000",
          "import " + Quote(in) + " -o " + Quote(dir / "x.gif") + " --delay"}) {
        clitest::Result result = clitest::Run(args);
        EXPECT_EQ(result.Status, 2) << args << "\n" << result.Output;
        EXPECT_FALSE(std::filesystem::exists(dir / "x.gif")) << args;
    }
}

TEST(ImportCommand, QualityReductionSharesOnePaletteAndKeepsStillPixels) {
    TempDir dir;
    // Two frames of 300 distinct colours each; the second differs only at x 100..109.
    std::vector<TColor> row;
    for (int x = 0; x < 300; ++x)
        row.push_back(RGB(uint8_t(x), uint8_t(x * 7), uint8_t(255 - x / 2)));
    std::string a = WriteRow(dir, "a.bmp", row, 4);
    for (int x = 100; x < 110; ++x)
        row[size_t(x)] = RGB(255, 0, 0);
    std::string b = WriteRow(dir, "b.bmp", row, 4);
    for (const char* dither : {"", "--dither ordered", "--dither nearest"}) {
        Imported result =
            Import(dir, Quote(a) + " " + Quote(b), std::string("--reduction quality ") + dither);
        ASSERT_EQ(result.Result.Status, 0) << result.Result.Output;
        TGIFImage& image = *result.Image;
        ASSERT_EQ(image.FrameCount(), 2);
        EXPECT_GT(image.GlobalColorMap().EntryCount(), 0);
        for (int x = 0; x < 300; ++x) {
            if (x >= 100 && x < 110) continue;
            EXPECT_EQ(image.Frame(1)->PixelAt(x, 1), image.Frame(0)->PixelAt(x, 1))
                << dither << " at " << x;
        }
        TColor red = ShownRow(image, 1)[105]; // a colour only the second frame has
        EXPECT_GT(GetRValue(red), 230) << dither;
        EXPECT_LT(GetGValue(red) + GetBValue(red), 40) << dither;
    }
}

TEST(ImportCommand, QualityReductionKeepsFewColoursExactly) {
    TempDir dir;
    const std::vector<TColor> colors = {RGB(10, 20, 30), RGB(200, 100, 0), RGB(0, 255, 128)};
    std::string in = WriteRow(dir, "three.bmp", colors, 2);
    Imported result =
        Import(dir, Quote(in), "--reduction quality --dither clamped-floyd-steinberg");
    ASSERT_EQ(result.Result.Status, 0) << result.Result.Output;
    EXPECT_EQ(ShownRow(*result.Image), colors);
}
