#include <fstream>
#include <gtest/gtest.h>

#include "app/cli_util.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/test_util.h"

using clitest::Quote;
using clitest::TempDir;

namespace {

// A two-frame animation with a comment, a transparent frame and a loop block.
void WriteSample(const std::filesystem::path& path) {
    gif::TGIFImage image;
    image.GlobalColorMap().AppendColor(gif::clBlack);
    image.GlobalColorMap().AppendColor(gif::clWhite);
    image.GlobalColorMap().AppendColor(gif::RGB(255, 0, 0));
    gif::TGIFSubImage& first = giftest::AddFrame(image, 0, 0, 3, 2, {0, 1, 2, 2, 1, 0});
    auto comment = std::make_unique<gif::TGIFCommentExtension>(&first);
    comment->CommentLines().push_back("made in a test");
    first.Blocks().Add(std::move(comment));
    gif::TGIFSubImage& second = giftest::AddFrame(image, 1, 1, 2, 1, {2, 0});
    auto gce = std::make_unique<gif::TGIFGraphicControlExtension>(&second);
    gce->SetDelayTime(50);
    gce->SetDisposalCode(2);
    gce->SetTransparentFlag(true);
    second.Blocks().Add(std::move(gce));
    second.SetInterlaced(true);
    image.SaveToFile(path.string());
}

} // namespace

TEST(CliInfo, DescribesFramesAndBlocks) {
    TempDir dir;
    WriteSample(dir / "sample.gif");
    clitest::Result r = clitest::Run("info " + Quote(dir / "sample.gif"));
    EXPECT_EQ(r.Status, 0) << r.Output;
    EXPECT_NE(r.Output.find("version: GIF89a"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("logical screen: 3 x 2"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("global color table: 4 entries"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("frame 1: 2 x 1 at 1,1"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("interlaced"), std::string::npos);
    EXPECT_NE(r.Output.find("comment: made in a test"), std::string::npos);
    EXPECT_NE(r.Output.find("delay 50, disposal 2 (background)"), std::string::npos) << r.Output;
}

TEST(CliInfo, ShowsWarnings) {
    TempDir dir;
    giftest::GifBuilder gif(2, 1, {0, 0xFFFFFF});
    gif.Image(0, 0, 2, 1, {1, 0}).Raw({0x42});
    std::ofstream(dir / "odd.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.Bytes.data()), std::streamsize(gif.Bytes.size()));
    clitest::Result r = clitest::Run("info " + Quote(dir / "odd.gif"));
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Output.find("warning: Invalid Image trailer"), std::string::npos) << r.Output;
}

TEST(CliCopy, WritesAnEquivalentFileInBothEncodings) {
    TempDir dir;
    WriteSample(dir / "in.gif");
    for (const char* option : {"", " --rle"}) {
        clitest::Result r = clitest::Run("copy " + Quote(dir / "in.gif") + " " + Quote(dir / "out.gif") + option);
        ASSERT_EQ(r.Status, 0) << r.Output;
        gif::TGIFImage a, b;
        a.LoadFromFile((dir / "in.gif").string());
        b.LoadFromFile((dir / "out.gif").string());
        ASSERT_EQ(b.FrameCount(), 2);
        for (int i = 0; i < 2; ++i) {
            auto pa = a.Frame(i)->PixelData();
            auto pb = b.Frame(i)->PixelData();
            EXPECT_TRUE(std::equal(pa.begin(), pa.end(), pb.begin(), pb.end())) << option;
        }
        EXPECT_EQ(b.Frame(1)->ControlBlock()->DelayTime(), 50);
    }
}

TEST(CliErrors, UnreadableInputGivesOneLineAndStatusOne) {
    TempDir dir;
    std::ofstream(dir / "junk.gif") << "this is not a picture";
    for (const std::string& command :
         {"info " + Quote(dir / "junk.gif"), "info " + Quote(dir / "missing.gif"),
          "copy " + Quote(dir / "junk.gif") + " " + Quote(dir / "out.gif")}) {
        clitest::Result r = clitest::Run(command);
        EXPECT_EQ(r.Status, 1) << command;
        EXPECT_EQ(std::count(r.Output.begin(), r.Output.end(), '\n'), 1) << r.Output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gif"));
    EXPECT_EQ(clitest::Run("frobnicate").Status, 2);
}
