// The video import on clips made by the ffmpeg program: the delays of the stream header,
// crafted and damaged AVI files, and other containers.
#include "io/avi/avi_messages.h"
#include "io/video/video_import.h"

#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "video_test_util.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

using iotest::TempDir;

const std::vector<std::string> ImportMessages = {
    io::avimsg::OpenFile,       io::avimsg::OpenStream,    io::avimsg::StreamInfo,
    io::avimsg::FormatSize,     io::avimsg::Format,        io::avimsg::BeginStreaming,
    io::avimsg::Decompressor,   io::avimsg::DecompressFrame};

// The import's message, or "" when it succeeded.
std::string ImportError(const std::string& path, gif::TGIFImage* into = nullptr) {
    gif::TGIFImage scratch;
    try {
        io::ImportAvi(into ? *into : scratch, path);
    } catch (const io::EAviError& e) {
        return e.what();
    }
    return "";
}

std::vector<int> Delays(const gif::TGIFImage& image) {
    std::vector<int> delays;
    for (int i = 0; i < image.FrameCount(); ++i)
        delays.push_back(image.Frame(i)->ControlBlock() ? image.Frame(i)->ControlBlock()->DelayTime()
                                                        : -1);
    return delays;
}

class VideoImport : public testing::Test {
  protected:
    TempDir dir;
};

TEST_F(VideoImport, FifteenFramesPerSecondGiveDelaySevenWithLoopAndComment) {
    const std::string clip = dir / "clip15.avi";
    ASSERT_TRUE(iotest::MakeClip(clip, 6, "15"));
    gif::TGIFImage image;
    io::ImportAvi(image, clip);
    ASSERT_EQ(image.FrameCount(), 6);
    EXPECT_EQ(Delays(image), std::vector<int>(6, 7));
    EXPECT_EQ(image.Width(), 64);
    EXPECT_EQ(image.Height(), 48);
    // One table for all frames, the looping block on frame 0 only, then the comment.
    EXPECT_GT(image.GlobalColorMap().EntryCount(), 0);
    bool loop = false, comment = false;
    for (int b = 0; b < image.Frame(0)->Blocks().ItemCount(); ++b) {
        auto* block = image.Frame(0)->Blocks().Extensions(b);
        if (auto* l = dynamic_cast<gif::TGIFAppExtNSLoop*>(block)) loop = l->LoopCount == 0;
        if (auto* c = dynamic_cast<gif::TGIFCommentExtension*>(block))
            comment = c->CommentLines() == gif::TLineList{io::CreatedWithComment};
    }
    EXPECT_TRUE(loop);
    EXPECT_TRUE(comment);
    for (int b = 0; b < image.Frame(1)->Blocks().ItemCount(); ++b)
        EXPECT_FALSE(dynamic_cast<gif::TGIFAppExtNSLoop*>(image.Frame(1)->Blocks().Extensions(b)));
}

TEST_F(VideoImport, TwentyFiveFramesPerSecondGiveDelayFour) {
    const std::string clip = dir / "clip25.avi";
    ASSERT_TRUE(iotest::MakeClip(clip, 5, "25", "32x24", "mjpeg"));
    gif::TGIFImage image;
    io::ImportAvi(image, clip);
    EXPECT_EQ(Delays(image), std::vector<int>(5, 4));
}

TEST_F(VideoImport, TheFileHeaderNotFfmpegsGuessGivesTheTiming) {
    const std::string clip = dir / "clip.avi";
    ASSERT_TRUE(iotest::MakeClip(clip, 3, "25", "32x24"));
    std::vector<uint8_t> bytes = iotest::ReadBytes(clip);
    const size_t strh = iotest::FindId(bytes, "strh");
    ASSERT_NE(strh, std::string::npos);
    iotest::PutLe32(bytes, strh + 8 + 20, 1000); // scale
    iotest::PutLe32(bytes, strh + 8 + 24, 0);    // rate
    iotest::WriteBytes(dir / "rate0.avi", bytes);
    gif::TGIFImage image;
    io::ImportAvi(image, dir / "rate0.avi");
    EXPECT_EQ(Delays(image), std::vector<int>(3, 10));

    // A stream of length 0 has no positions: the image stays empty.
    iotest::PutLe32(bytes, strh + 8 + 32, 0);
    iotest::WriteBytes(dir / "length0.avi", bytes);
    gif::TGIFImage empty;
    io::ImportAvi(empty, dir / "length0.avi");
    EXPECT_TRUE(empty.Empty());
}

TEST_F(VideoImport, DamagedFilesGiveOneOfTheStepMessages) {
    const std::string clip = dir / "clip.avi";
    ASSERT_TRUE(iotest::MakeClip(clip, 8, "10"));
    const std::vector<uint8_t> bytes = iotest::ReadBytes(clip);

    EXPECT_EQ(ImportError(dir / "none.avi"), io::avimsg::OpenFile);
    iotest::WriteBytes(dir / "text.avi", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(ImportError(dir / "text.avi"), io::avimsg::OpenFile);

    auto isStepMessage = [](const std::string& message) {
        return std::find(ImportMessages.begin(), ImportMessages.end(), message) !=
               ImportMessages.end();
    };
    // Cut in the middle of the frames: FFmpeg may refuse the file or run out of frames
    // before the header's length.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(bytes.size() / 2));
    iotest::WriteBytes(dir / "cut.avi", cut);
    EXPECT_TRUE(isStepMessage(ImportError(dir / "cut.avi"))) << ImportError(dir / "cut.avi");
    // Cut at the end of the frames, before the index: the frames are all there.
    const size_t idx1 = iotest::FindId(bytes, "idx1");
    ASSERT_NE(idx1, std::string::npos);
    iotest::WriteBytes(dir / "noindex.avi", std::span(bytes.data(), idx1));
    gif::TGIFImage whole;
    EXPECT_EQ(ImportError(dir / "noindex.avi", &whole), "");
    EXPECT_EQ(whole.FrameCount(), 8);

    // The stream type flipped: no video stream left.
    std::vector<uint8_t> flipped = bytes;
    const size_t vids = iotest::FindId(flipped, "vids");
    ASSERT_NE(vids, std::string::npos);
    flipped[vids] ^= 0x04;
    iotest::WriteBytes(dir / "flipped.avi", flipped);
    const std::string message = ImportError(dir / "flipped.avi");
    EXPECT_NE(std::find(ImportMessages.begin(), ImportMessages.end(), message),
              ImportMessages.end())
        << message;

    // Single bits flipped all over the headers and the first frame: an image or a step's
    // message, never another error or a crash.
    for (size_t at = 0; at < std::min<size_t>(bytes.size(), 6000); at += 23) {
        std::vector<uint8_t> damaged = bytes;
        damaged[at] ^= uint8_t(1u << (at % 8));
        iotest::WriteBytes(dir / "bit.avi", damaged);
        std::string result;
        try {
            result = ImportError(dir / "bit.avi");
        } catch (const std::exception& e) {
            ADD_FAILURE() << "byte " << at << ": " << e.what();
            continue;
        }
        if (!result.empty()) {
            EXPECT_NE(std::find(ImportMessages.begin(), ImportMessages.end(), result),
                      ImportMessages.end())
                << "byte " << at << ": " << result;
        }
    }
}

TEST_F(VideoImport, OtherContainersImportWithTheirFrameCount) {
    ASSERT_TRUE(iotest::MakeClip(dir / "clip.mp4", 12, "24", "64x48", "libx264"));
    gif::TGIFImage mp4;
    io::ImportAvi(mp4, dir / "clip.mp4");
    EXPECT_EQ(mp4.FrameCount(), 12);
    // 24 frames per second: 4.17 hundredths each, carried so that 12 frames take 50.
    EXPECT_EQ(Delays(mp4), std::vector<int>(12, 4));

    ASSERT_TRUE(iotest::MakeClip(dir / "clip.webm", 9, "30", "48x32", "libvpx-vp9"));
    gif::TGIFImage webm;
    io::ImportAvi(webm, dir / "clip.webm");
    EXPECT_EQ(webm.FrameCount(), 9);
    EXPECT_EQ(webm.Width(), 48);
    EXPECT_EQ(Delays(webm), std::vector<int>(9, 3));
}

TEST_F(VideoImport, UnevenTimingKeepsEachFramesDurationAndTheTotal) {
    // Frame i shown at i * i / 10 seconds: 0, 0.1, 0.4, 0.9, 1.6, 2.5 (the last one 0.1 s).
    ASSERT_TRUE(iotest::Ffmpeg("-f lavfi -i testsrc2=size=32x24:rate=10 -frames:v 6 "
                               "-vf setpts='N*N/10/TB' -fps_mode passthrough -c:v ffv1 " +
                               iotest::Quote(dir / "vfr.mkv")));
    gif::TGIFImage image;
    io::ImportAvi(image, dir / "vfr.mkv");
    ASSERT_EQ(image.FrameCount(), 6);
    const std::vector<int> delays = Delays(image);
    EXPECT_EQ(std::vector<int>(delays.begin(), delays.end() - 1),
              (std::vector<int>{10, 30, 50, 70, 90}));
}

TEST_F(VideoImport, QualityPaletteIsOneTableAndKeepsStillPixelsStill) {
    // A still clip: every frame the same picture, so every frame must get the same indices.
    ASSERT_TRUE(iotest::Ffmpeg("-f lavfi -i testsrc2=size=48x32:rate=10 -vf "
                               "trim=end_frame=1,loop=loop=5:size=1:start=0 -frames:v 6 -c:v "
                               "ffv1 " + iotest::Quote(dir / "still.mkv")));
    io::TVideoImportOptions options;
    options.SharedPalette = true;
    options.Dither = gif::dtClampedFloydSteinberg;
    gif::TGIFImage image;
    io::ImportAvi(image, dir / "still.mkv", options);
    ASSERT_EQ(image.FrameCount(), 6);
    for (int i = 1; i < 6; ++i) {
        const auto a = image.Frame(0)->PixelData();
        const auto b = image.Frame(i)->PixelData();
        EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << i;
    }
}

TEST(IsVideoFileName, KnowsTheVideoKindsWithoutCase) {
    for (const char* name : {"a.avi", "b.MP4", "/x/c.webm", "d.mkv", "e.Mov", "f.apng"})
        EXPECT_TRUE(io::IsVideoFileName(name)) << name;
    for (const char* name : {"a.gif", "mp4", "/x.mp4/file", "noext", "b.png", ""})
        EXPECT_FALSE(io::IsVideoFileName(name)) << name;
}

} // namespace
