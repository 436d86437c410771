#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/cli_util.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/render/compose.h"
#include "gif/test_util.h"

using clitest::Quote;
using clitest::TempDir;

namespace {

// Three 6 x 4 frames: the second repeats the first, the third changes one corner; the
// second frame has a local table holding the global colours in another order.
void WriteSample(const std::filesystem::path& path) {
    gif::TGIFImage image;
    for (gif::TColor c : {gif::clBlack, gif::clWhite, gif::RGB(255, 0, 0), gif::RGB(0, 0, 255)})
        image.GlobalColorMap().AppendColor(c);
    std::vector<uint8_t> pixels(24);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i % 3);
    giftest::AddFrame(image, 0, 0, 6, 4, pixels);
    std::vector<uint8_t> swapped(pixels);
    for (uint8_t& p : swapped) p = uint8_t(3 - p);   // local table is the global one reversed
    gif::TGIFSubImage& second = giftest::AddFrame(image, 0, 0, 6, 4, swapped);
    for (gif::TColor c : {gif::RGB(0, 0, 255), gif::RGB(255, 0, 0), gif::clWhite, gif::clBlack})
        second.LocalTable().AppendColor(c);
    pixels[0] = 3;
    giftest::AddFrame(image, 0, 0, 6, 4, pixels);
    image.SaveToFile(path.string());
}

std::vector<std::vector<uint8_t>> Shown(gif::TGIFImage& image) {
    std::vector<std::vector<uint8_t>> out;
    for (auto& bitmap : gif::ComposeFrames(image, gif::RGB(7, 7, 7)))
        out.emplace_back(bitmap->Bits().begin(), bitmap->Bits().end());
    return out;
}

} // namespace

TEST(CliOptimize, AllPassesByDefault) {
    TempDir dir;
    WriteSample(dir / "in.gif");
    clitest::Result r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "out.gif"));
    ASSERT_EQ(r.Status, 0) << r.Output;
    auto before = std::filesystem::file_size(dir / "in.gif");
    auto after = std::filesystem::file_size(dir / "out.gif");
    EXPECT_LT(after, before);
    EXPECT_NE(r.Output.find("Size before: " + std::to_string(before) + " bytes, 3 frames"),
              std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("Size after: " + std::to_string(after) + " bytes, 2 frames"),
              std::string::npos) << r.Output;

    gif::TGIFImage in, out;
    in.LoadFromFile((dir / "in.gif").string());
    out.LoadFromFile((dir / "out.gif").string());
    ASSERT_EQ(out.FrameCount(), 2);
    EXPECT_EQ(out.Frame(1)->LocalTable().EntryCount(), 0);   // merged
    EXPECT_EQ(out.Frame(1)->FrameWidth() * out.Frame(1)->FrameHeight(), 1);
    auto shownBefore = Shown(in);
    auto shownAfter = Shown(out);
    // The repeated frame is gone; what remains shows the same pictures.
    ASSERT_EQ(shownAfter.size(), 2u);
    EXPECT_EQ(shownAfter[0], shownBefore[1]);
    EXPECT_EQ(shownAfter[1], shownBefore[2]);
}

TEST(CliOptimize, OnlyTheChosenPasses) {
    TempDir dir;
    WriteSample(dir / "in.gif");
    clitest::Result r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "sorted.gif") + " --sort");
    ASSERT_EQ(r.Status, 0) << r.Output;
    gif::TGIFImage sorted;
    sorted.LoadFromFile((dir / "sorted.gif").string());
    EXPECT_EQ(sorted.FrameCount(), 3);
    // The file marks the local table sorted; its unused entry (black) was dropped, so the
    // fourth entry is padding, and the frame draws with entries 0..2 only.
    EXPECT_TRUE(sorted.Frame(1)->DescriptorFlags() & gif::idSort);
    for (uint8_t p : sorted.Frame(1)->PixelData()) EXPECT_LT(p, 3);

    r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "merged.gif") + " --merge");
    ASSERT_EQ(r.Status, 0) << r.Output;
    gif::TGIFImage merged;
    merged.LoadFromFile((dir / "merged.gif").string());
    EXPECT_EQ(merged.FrameCount(), 3);
    EXPECT_EQ(merged.Frame(1)->LocalTable().EntryCount(), 0);
    EXPECT_FALSE(merged.Frame(1)->IsTransparent());   // no duplicate pass ran
}

TEST(CliOptimize, RefusesBadArguments) {
    TempDir dir;
    WriteSample(dir / "in.gif");
    clitest::Result r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "o.gif") + " --fast");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Output.find("unknown option \"--fast\""), std::string::npos) << r.Output;
    r = clitest::Run("optimize " + Quote(dir / "in.gif"));
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Output.find("Usage: loopwright-cli optimize"), std::string::npos) << r.Output;
    r = clitest::Run("optimize " + Quote(dir / "missing.gif") + " " + Quote(dir / "o.gif"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "o.gif"));
}

// A file written more tightly than the passes write it (code size 2 for an 8-colour table)
// goes out byte for byte; --best never grows it either, and shows the same.
TEST(CliOptimize, NeverLargerThanTheInput) {
    TempDir dir;
    gif::TGIFImage image;
    for (int i = 0; i < 8; ++i) image.GlobalColorMap().AppendColor(gif::RGB(uint8_t(i * 30), 0, 0));
    std::vector<uint8_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 7 + i / 13) % 3 == 0);
    giftest::AddFrame(image, 0, 0, 64, 64, pixels).SetCodeSizeHint(2);
    image.SaveToFile((dir / "in.gif").string());
    auto read = [](const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(file), {});
    };

    clitest::Result r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "trim.gif") + " --trim");
    ASSERT_EQ(r.Status, 0) << r.Output;
    EXPECT_EQ(read(dir / "trim.gif"), read(dir / "in.gif"));
    EXPECT_NE(r.Output.find("The input is kept as it is"), std::string::npos) << r.Output;

    r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "best.gif") + " --best");
    ASSERT_EQ(r.Status, 0) << r.Output;
    EXPECT_LE(std::filesystem::file_size(dir / "best.gif"), std::filesystem::file_size(dir / "in.gif"));
    gif::TGIFImage in, best;
    in.LoadFromFile((dir / "in.gif").string());
    best.LoadFromFile((dir / "best.gif").string());
    EXPECT_EQ(Shown(best), Shown(in));

    r = clitest::Run("optimize " + Quote(dir / "in.gif") + " " + Quote(dir / "o.gif") + " --best --trim");
    EXPECT_EQ(r.Status, 2);
}
