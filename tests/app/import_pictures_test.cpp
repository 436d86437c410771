// loopwright-cli import: pictures of the kinds the imaging control reads become frames.
#include "cli_util.h"
#include "gif/model/image.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

using namespace gif;
using clitest::Quote;
using clitest::TempDir;

namespace {

class ImportPictures : public testing::Test {
  protected:
    void SetUp() override {
#ifndef LOOPWRIGHT_WITH_IMAGING
        GTEST_SKIP() << "built without the imaging control";
#endif
    }

    // Writes a picture of one colour, or of another of ImageMagick's built-in sources, with
    // its convert (not the stand-in on PATH).
    std::string Make(const std::string& name, const std::string& color,
                     const std::string& size = "6x4") {
        std::string path = (dir_ / name).string();
        std::string source = color.ends_with(":") ? color : "xc:'" + color + "'";
        std::string command =
            "/usr/bin/convert -size " + size + " " + source + " " + Quote(path) + " 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }

    clitest::Result Import(const std::string& inputs) {
        return clitest::Run("import " + inputs + " -o " + Quote(Output()) +
                            " --reduction optimized");
    }
    std::string Output() const {
        return (dir_ / "out.gif").string();
    }

    TempDir dir_;
};

TColor Shown(TGIFImage& image, int index, int x = 0, int y = 0) {
    TGIFSubImage& frame = *image.Frame(index);
    return frame.EffectiveTable().ColorAt(frame.PixelAt(x, y));
}

TEST_F(ImportPictures, EveryKindBecomesAFrameWithItsColour) {
    struct TKind {
        const char* File;
        const char* Color;
        TColor Expected;
        int Tolerance;
    };
    const TKind kinds[] = {
        {"a.png", "rgb(200,10,10)", RGB(200, 10, 10), 0},
        {"b.jpg", "rgb(10,200,10)", RGB(10, 200, 10), 6},
        {"c.tif", "rgb(10,10,200)", RGB(10, 10, 200), 0},
        {"d.pcx", "rgb(200,200,10)", RGB(200, 200, 10), 0},
        {"e.tga", "rgb(10,200,200)", RGB(10, 200, 200), 0},
        {"f.ppm", "rgb(200,10,200)", RGB(200, 10, 200), 0},
        {"g.ico", "rgb(90,90,90)", RGB(90, 90, 90), 0},     // bitmap icon: the library's
        {"h.bmp", "rgb(150,100,50)", RGB(150, 100, 50), 0}, // the library's own reader
    };
    std::string inputs;
    for (const TKind& kind : kinds)
        inputs += Quote(Make(kind.File, kind.Color)) + " ";
    clitest::Result result = Import(inputs);
    ASSERT_EQ(result.Status, 0) << result.Output;

    TGIFImage image;
    image.LoadFromFile(Output());
    ASSERT_EQ(image.FrameCount(), int(std::size(kinds)));
    for (int i = 0; i < image.FrameCount(); ++i) {
        EXPECT_EQ(image.Frame(i)->FrameWidth(), 6) << kinds[i].File;
        EXPECT_EQ(image.Frame(i)->FrameHeight(), 4) << kinds[i].File;
        TColor got = Shown(image, i, 5, 3), want = kinds[i].Expected;
        EXPECT_NEAR(GetRValue(got), GetRValue(want), kinds[i].Tolerance) << kinds[i].File;
        EXPECT_NEAR(GetGValue(got), GetGValue(want), kinds[i].Tolerance) << kinds[i].File;
        EXPECT_NEAR(GetBValue(got), GetBValue(want), kinds[i].Tolerance) << kinds[i].File;
    }
}

TEST_F(ImportPictures, IconHoldingPngGoesToTheImagingControl) {
    // ImageMagick stores a 256-pixel icon as PNG, which the library's icon reader refuses.
    std::string icon = Make("big.ico", "rgb(30,60,90)", "256x256");
    clitest::Result result = Import(Quote(icon));
    ASSERT_EQ(result.Status, 0) << result.Output;
    TGIFImage image;
    image.LoadFromFile(Output());
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Frame(0)->FrameWidth(), 256);
    EXPECT_EQ(Shown(image, 0, 100, 100), RGB(30, 60, 90));
}

TEST_F(ImportPictures, UnreadablePictureFailsWithOneLine) {
    std::string good = Make("good.png", "white");
    std::string cut = Make("cut.jpg", "plasma:", "64x64");
    {
        std::ifstream in(cut, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        in.close();
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    std::string text = (dir_ / "text.png").string();
    std::ofstream(text) << "not a picture\n";
    std::string script = (dir_ / "drawing.svg").string();
    std::ofstream(script) << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"/>";
    for (const std::string& bad : {cut, text, script, (dir_ / "missing.tga").string()}) {
        std::filesystem::remove(Output());
        clitest::Result result = Import(Quote(good) + " " + Quote(bad));
        EXPECT_EQ(result.Status, 1) << bad;
        EXPECT_EQ(std::count(result.Output.begin(), result.Output.end(), '\n'), 1) << result.Output;
        EXPECT_NE(result.Output.find(bad), std::string::npos) << result.Output;
        EXPECT_FALSE(std::filesystem::exists(Output())) << bad;
    }
}

#ifdef LOOPWRIGHT_WITH_EDITOR_CORE

// The editor's stored palette settings, in a settings folder of the test's own.
class ImportWithStoredPalette : public ImportPictures {
  protected:
    void Store(const std::string& settings) {
        std::filesystem::path folder = dir_.Path / "config" / "Quillmark Software";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "GIF Loopwright 3.0.ini") << "[Settings]\n" << settings;
    }
    void SetUp() override {
        ImportPictures::SetUp();
        setenv("XDG_CONFIG_HOME", (dir_.Path / "config").c_str(), 1); // the tool inherits it
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    clitest::Result ImportStored(const std::string& inputs) {
        return clitest::Run("import " + inputs + " -o " + Quote(Output()) + " --palette-settings");
    }
    // A picture of far more than 256 colours: the kind the palette settings are for.
    std::string Photo() {
        std::string path = (dir_ / "photo.png").string();
        std::string command = "/usr/bin/convert -seed 7 -size 32x32 plasma: " + Quote(path);
        EXPECT_EQ(std::system(command.c_str()), 0);
        return path;
    }
};

int DistinctColours(TGIFImage& image, int index) {
    TGIFSubImage& frame = *image.Frame(index);
    std::vector<TColor> seen;
    for (int y = 0; y < frame.FrameHeight(); ++y)
        for (int x = 0; x < frame.FrameWidth(); ++x) {
            TColor c = Shown(image, index, x, y);
            if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
        }
    return int(seen.size());
}

TEST_F(ImportWithStoredPalette, MaxColourCountLimitsTheOptimisedPalette) {
    std::string photo = Photo();
    Store("MaxColorCount=8\n");
    clitest::Result result = ImportStored(Quote(photo));
    ASSERT_EQ(result.Status, 0) << result.Output;
    TGIFImage image;
    image.LoadFromFile(Output());
    EXPECT_LE(DistinctColours(image, 0), 8);

    Store("MaxColorCount=256\n");
    result = ImportStored(Quote(photo));
    ASSERT_EQ(result.Status, 0) << result.Output;
    image.LoadFromFile(Output());
    EXPECT_GT(DistinctColours(image, 0), 64);
}

TEST_F(ImportWithStoredPalette, PaletteTypeDecidesBetweenOneTableAndLocalOnes) {
    std::string a = Make("a.png", "rgb(200,10,10)");
    std::string b = Make("b.png", "rgb(10,10,200)");
    for (int type : {0, 2, 3}) {
        Store("PaletteType=" + std::to_string(type) + "\n");
        clitest::Result result = ImportStored(Quote(a) + " " + Quote(b));
        ASSERT_EQ(result.Status, 0) << result.Output;
        TGIFImage image;
        image.LoadFromFile(Output());
        ASSERT_EQ(image.FrameCount(), 2);
        EXPECT_GT(image.GlobalColorMap().EntryCount(), 0) << type;
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(image.Frame(i)->LocalTable().EntryCount() > 0, type == 2) << type;
        EXPECT_EQ(Shown(image, 0), RGB(200, 10, 10));
        EXPECT_EQ(Shown(image, 1), RGB(10, 10, 200));
    }
}

TEST_F(ImportWithStoredPalette, QualityPaletteKeepsAPhotoCloserThanTheOctree) {
    std::string photo = Photo();
    auto error = [&](int type) {
        Store("PaletteType=" + std::to_string(type) + "\nMaxColorCount=16\nDitherMethod=0\n");
        clitest::Result result = ImportStored(Quote(photo));
        EXPECT_EQ(result.Status, 0) << result.Output;
        std::string png = (dir_ / "mse.txt").string();
        std::string compare = "/usr/bin/compare -metric MSE " + Quote(photo) + " " +
                              Quote(Output()) + " null: 2>" + Quote(png);
        std::system(compare.c_str());
        std::ifstream in(png);
        double mse = -1;
        in >> mse;
        return mse;
    };
    const double octree = error(0), quality = error(3);
    ASSERT_GT(octree, 0);
    ASSERT_GE(quality, 0);
    EXPECT_LT(quality, octree);
}

TEST_F(ImportWithStoredPalette, TakesThePlaceOfTheReductionOptions) {
    std::string a = Make("a.png", "white");
    clitest::Result result = clitest::Run("import " + Quote(a) + " -o " + Quote(Output()) +
                                          " --palette-settings --reduction web216");
    EXPECT_EQ(result.Status, 2) << result.Output;
    EXPECT_FALSE(std::filesystem::exists(Output()));
}

#endif

} // namespace
