// `import VIDEO -o OUT.gif` and `export-avi IN.gif OUT.avi`, run as a process.
#include "app/cli_util.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

#include <fstream>
#include <gtest/gtest.h>

#ifdef LOOPWRIGHT_WITH_IMAGING

namespace {

using clitest::Quote;


bool MakeClip(const std::filesystem::path& path, int frames, int rate) {
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=48x32:rate=" +
                                std::to_string(rate) + " -frames:v " + std::to_string(frames) +
                                " -pix_fmt yuv420p " + Quote(path) + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

TEST(CliVideo, ImportsAVideoWithTheChosenReductionAndDelay) {
    clitest::TempDir dir;
    ASSERT_TRUE(MakeClip(dir / "clip.mp4", 8, 15));
    clitest::Result r = clitest::Run("import " + Quote(dir / "clip.mp4") + " -o " + Quote(dir / "a.gif"));
    ASSERT_EQ(r.Status, 0) << r.Output;
    gif::TGIFImage image;
    image.LoadFromFile((dir / "a.gif").string());
    ASSERT_EQ(image.FrameCount(), 8);
    EXPECT_EQ(image.Frame(3)->ControlBlock()->DelayTime(), 7);

    r = clitest::Run("import " + Quote(dir / "clip.mp4") + " -o " + Quote(dir / "q.gif") +
            " --reduction quality --delay 20");
    ASSERT_EQ(r.Status, 0) << r.Output;
    gif::TGIFImage quality;
    quality.LoadFromFile((dir / "q.gif").string());
    ASSERT_EQ(quality.FrameCount(), 8);
    EXPECT_EQ(quality.Frame(7)->ControlBlock()->DelayTime(), 20);
    EXPECT_GT(quality.GlobalColorMap().EntryCount(), 16);
}

TEST(CliVideo, RefusesVideosMixedWithPicturesDamagedVideosAndNoReduction) {
    clitest::TempDir dir;
    ASSERT_TRUE(MakeClip(dir / "clip.avi", 3, 10));
    clitest::Result r = clitest::Run("import " + Quote(dir / "clip.avi") + " " + Quote(dir / "clip.avi") +
                            " -o " + Quote(dir / "x.gif"));
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Output.find("a video is imported on its own"), std::string::npos) << r.Output;
    r = clitest::Run("import " + Quote(dir / "clip.avi") + " -o " + Quote(dir / "x.gif") +
            " --reduction none");
    EXPECT_EQ(r.Status, 1);
    std::ofstream(dir / "bad.mp4") << "not a video";
    r = clitest::Run("import " + Quote(dir / "bad.mp4") + " -o " + Quote(dir / "x.gif"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Output.find("Failed to open AVI file"), std::string::npos) << r.Output;
    EXPECT_FALSE(std::filesystem::exists(dir / "x.gif"));
}

TEST(CliVideo, ExportsAnAviThatFfprobeReads) {
    clitest::TempDir dir;
    ASSERT_TRUE(MakeClip(dir / "clip.mp4", 5, 25));
    ASSERT_EQ(clitest::Run("import " + Quote(dir / "clip.mp4") + " -o " + Quote(dir / "a.gif")).Status, 0);
    clitest::Result r = clitest::Run("export-avi " + Quote(dir / "a.gif") + " " + Quote(dir / "a.avi"));
    ASSERT_EQ(r.Status, 0) << r.Output;
    clitest::Result probe = clitest::RunProgram(
        "ffprobe", "-v error -count_frames -show_entries stream=codec_name,nb_read_frames,"
                   "r_frame_rate -of default=nw=1 " + Quote(dir / "a.avi"));
    EXPECT_NE(probe.Output.find("codec_name=rawvideo"), std::string::npos) << probe.Output;
    EXPECT_NE(probe.Output.find("nb_read_frames=5"), std::string::npos) << probe.Output;
    EXPECT_NE(probe.Output.find("r_frame_rate=65/4"), std::string::npos) << probe.Output;

    r = clitest::Run("export-avi " + Quote(dir / "missing.gif") + " " + Quote(dir / "b.avi"));
    EXPECT_EQ(r.Status, 1);
    r = clitest::Run("export-avi " + Quote(dir / "a.gif") + " " + Quote(dir / "no/such/b.avi"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Output.find("Failed to create AVI file"), std::string::npos) << r.Output;
    EXPECT_EQ(clitest::Run("export-avi " + Quote(dir / "a.gif")).Status, 2);
}

} // namespace

#endif
