// The AVI export: flattening, the time scale, the file our writer makes (read back by our
// own header reader, by ffprobe and ffmpeg, and by the import), and the failures that must
// leave no file behind.
#include "io/avi/avi_export.h"
#include "io/avi/avi_messages.h"
#include "io/avi/avi_stream_info.h"
#include "io/video/video_import.h"

#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "video_test_util.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using iotest::AddFrame;
using iotest::TempDir;

const std::vector<gif::TColor> Colors = {gif::RGB(200, 30, 40), gif::RGB(20, 180, 60),
                                         gif::RGB(10, 40, 220), gif::RGB(250, 250, 250)};

// Three frames of 13 x 7 (rows not a multiple of 4), the later ones smaller and moving.
void MakeAnimation(gif::TGIFImage& image, int delay = 10) {
    AddFrame(image, 0, 0, 13, 7, Colors, [](int x, int y) { return uint8_t((x / 3 + y) % 4); },
             delay);
    AddFrame(image, 2, 1, 5, 4, {gif::RGB(0, 0, 0), gif::RGB(255, 255, 0)},
             [](int x, int) { return uint8_t(x & 1); }, delay);
    AddFrame(image, 10, 5, 6, 4, {gif::RGB(90, 0, 90)}, [](int, int) { return 0; }, delay);
}

// The colour of every pixel of every frame, row by row: what a player shows of the
// flattened animation.
std::vector<uint8_t> FlattenedRgb(gif::TGIFImage& image) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < image.FrameCount(); ++i) {
        gif::TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank()) continue;
        for (int p = 0; p < frame.PixelCount(); ++p) {
            const gif::TGIFColor c = frame.EffectiveTable().Entries()[frame.Pixels()[p]];
            rgb.insert(rgb.end(), {c.Red, c.Green, c.Blue});
        }
    }
    return rgb;
}

std::string Messages(const std::function<void()>& run) {
    try {
        run();
    } catch (const io::EAviError& e) {
        return e.what();
    }
    return "";
}

TEST(FlattenForAvi, CompositesWithoutDisposalTransparentPixelsInTheirColourCutToFrameZero) {
    gif::TGIFImage image;
    MakeAnimation(image);
    // Frame 1 is transparent where its index is 0: flattening draws those pixels black.
    image.Frame(1)->ControlBlock()->SetTransparentIndexUnchecked(0);
    image.Frame(1)->ControlBlock()->SetTransparentFlag(true);
    ASSERT_TRUE(io::FlattenForAvi(image, {}));
    for (int i = 0; i < 3; ++i) {
        const gif::TGIFSubImage& f = *image.Frame(i);
        EXPECT_EQ(f.BoundsRect(), gif::Rect(0, 0, 13, 7)) << i;
        EXPECT_FALSE(f.ControlBlock()->TransparentFlag());
    }
    auto color = [&](int frame, int x, int y) {
        gif::TGIFSubImage& f = *image.Frame(frame);
        const gif::TGIFColor c = f.EffectiveTable().Entries()[f.Pixels()[y * 13 + x]];
        return gif::RGB(c.Red, c.Green, c.Blue);
    };
    EXPECT_EQ(color(1, 2, 1), gif::RGB(0, 0, 0));       // transparent pixel, drawn black
    EXPECT_EQ(color(1, 3, 1), gif::RGB(255, 255, 0));
    EXPECT_EQ(color(1, 0, 0), Colors[0]);                // frame 0 shows through
    EXPECT_EQ(color(2, 3, 1), gif::RGB(255, 255, 0));   // no disposal: frame 1 stays
    EXPECT_EQ(color(2, 12, 6), gif::RGB(90, 0, 90));    // frame 2 cut at frame 0's edge
    EXPECT_EQ(color(2, 9, 6), color(0, 9, 6));
}

TEST(FlattenForAvi, StopsWhenTheStepSaysSoAndMergesTheTablesEitherWay) {
    gif::TGIFImage image;
    MakeAnimation(image);
    std::vector<int> steps;
    EXPECT_FALSE(io::FlattenForAvi(image, [&](int i) {
        steps.push_back(i);
        return i < 1;
    }));
    EXPECT_EQ(steps, (std::vector<int>{0, 1}));
    EXPECT_GT(image.GlobalColorMap().EntryCount(), 0);
    EXPECT_EQ(image.Frame(2)->FrameWidth(), 6); // never reached
}

TEST(AviTimeScale, TakesTheKeptDelayOrOne) {
    gif::TGIFImage tens;
    MakeAnimation(tens, 10);
    tens.OptimizeColorMaps(); // no local tables left: the scan runs to the last frame
    EXPECT_EQ(io::AviTimeScale(tens), 10u);

    gif::TGIFImage none;
    MakeAnimation(none, -1);
    EXPECT_EQ(io::AviTimeScale(none), 1u);

    // With local tables the scan stops at the first frame with a delay.
    gif::TGIFImage mixed;
    AddFrame(mixed, 0, 0, 2, 2, Colors, [](int, int) { return 1; }, 0);
    AddFrame(mixed, 0, 0, 2, 2, Colors, [](int, int) { return 1; }, 25);
    AddFrame(mixed, 0, 0, 2, 2, Colors, [](int, int) { return 1; }, 40);
    EXPECT_EQ(io::AviTimeScale(mixed), 25u);
    EXPECT_EQ(io::AviTimeScale(gif::TGIFImage()), 1u);
}

TEST(WriteAvi, WritesScaleTenRateSixtyFiveThatFfprobeAndFfmpegReadExactly) {
    TempDir dir;
    gif::TGIFImage image;
    MakeAnimation(image, 10);
    io::FlattenForAvi(image, {});
    const std::string path = dir / "out.avi";
    std::vector<int> positions;
    io::WriteAvi(path, image, {[&](int i) { positions.push_back(i); }, {}});
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2}));

    const std::vector<uint8_t> file = iotest::ReadBytes(path);
    const std::optional<io::TAviStreamInfo> info = io::ReadAviStreamInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Scale, 10u);
    EXPECT_EQ(info->Rate, 65u);
    EXPECT_EQ(info->Length, 3u);
    EXPECT_EQ(info->Handler, 0u);
    EXPECT_EQ(info->SuggestedBufferSize, 16u * 7); // rows of 13 padded to 16
    EXPECT_EQ(info->FrameRight, image.Width());
    EXPECT_EQ(info->FrameBottom, image.Height());
    // Every frame a key frame in the index.
    const size_t idx1 = iotest::FindId(file, "idx1");
    ASSERT_NE(idx1, std::string::npos);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(iotest::GetLe32(file, idx1 + 8 + 16 * i + 4), 0x10u);

    const std::string probe = iotest::Output(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames -of "
        "default=nw=1 " + iotest::Quote(path));
    EXPECT_NE(probe.find("codec_name=rawvideo"), std::string::npos) << probe;
    EXPECT_NE(probe.find("pix_fmt=pal8"), std::string::npos) << probe;
    EXPECT_NE(probe.find("width=13\nheight=7"), std::string::npos) << probe;
    EXPECT_NE(probe.find("r_frame_rate=13/2"), std::string::npos) << probe; // 65/10
    EXPECT_NE(probe.find("nb_read_frames=3"), std::string::npos) << probe;

    ASSERT_TRUE(iotest::Ffmpeg("-i " + iotest::Quote(path) + " -f rawvideo -pix_fmt rgb24 " +
                               iotest::Quote(dir / "frames.rgb")));
    EXPECT_EQ(iotest::ReadBytes(dir / "frames.rgb"), FlattenedRgb(image));
}

TEST(WriteAvi, TheImportReadsTheExportBackWithTheSameColoursAndDelay) {
    TempDir dir;
    gif::TGIFImage image;
    MakeAnimation(image, 10);
    io::FlattenForAvi(image, {});
    io::WriteAvi(dir / "out.avi", image, {});
    gif::TGIFImage back;
    io::ImportAvi(back, dir / "out.avi");
    ASSERT_EQ(back.FrameCount(), 3);
    EXPECT_EQ(FlattenedRgb(back), FlattenedRgb(image));
    // Ten hundredths per 65th of a second: 15 hundredths.
    EXPECT_EQ(back.Frame(1)->ControlBlock()->DelayTime(), 15);
}

TEST(WriteAvi, EmptyFramesLeaveTheirPositionWithoutPicture) {
    TempDir dir;
    gif::TGIFImage image;
    MakeAnimation(image, -1);
    // An empty frame between 1 and 2, and one at the end.
    auto blank = std::make_unique<gif::TGIFSubImage>(&image);
    image.Images().InsertAt(2, std::move(blank));
    image.AddFrame(std::make_unique<gif::TGIFSubImage>(&image));
    ASSERT_TRUE(image.Frame(2)->IsBlank());
    io::FlattenForAvi(image, {});
    EXPECT_EQ(io::AviTimeScale(image), 1u);
    std::vector<int> positions;
    io::WriteAvi(dir / "gaps.avi", image, {[&](int i) { positions.push_back(i); }, {}});
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3, 4}));
    const std::vector<uint8_t> file = iotest::ReadBytes(dir / "gaps.avi");
    const std::optional<io::TAviStreamInfo> info = io::ReadAviStreamInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Scale, 1u);
    EXPECT_EQ(info->Length, 4u); // the trailing empty frame is no position
    const size_t idx1 = iotest::FindId(file, "idx1");
    ASSERT_NE(idx1, std::string::npos);
    ASSERT_EQ(iotest::GetLe32(file, idx1 + 4), 4u * 16);
    const uint32_t sizes[4] = {112, 112, 0, 112};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(iotest::GetLe32(file, idx1 + 8 + 16 * i + 12), sizes[i]) << i;
        EXPECT_EQ(iotest::GetLe32(file, idx1 + 8 + 16 * i + 4), sizes[i] ? 0x10u : 0u);
    }
    const std::string probe = iotest::Output(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=nb_read_frames -of default=nw=1 " + iotest::Quote(dir / "gaps.avi"));
    EXPECT_NE(probe.find("nb_read_frames=3"), std::string::npos) << probe;
}

TEST(WriteAvi, FailuresAndStopsLeaveNoFileAndKeepAnOldOne) {
    TempDir dir;
    gif::TGIFImage image;
    MakeAnimation(image);
    io::FlattenForAvi(image, {});

    EXPECT_EQ(Messages([&] { io::WriteAvi(dir / "missing/out.avi", image, {}); }),
              io::avimsg::CreateFile);
    EXPECT_EQ(Messages([&] { io::WriteAvi(dir.Path.string(), image, {}); }),
              io::avimsg::CreateFile);

    const std::string target = dir / "keep.avi";
    iotest::WriteBytes(target, std::vector<uint8_t>{'o', 'l', 'd'});
    EXPECT_EQ(Messages([&] {
                  io::WriteAvi(target, image, {{}, [] { return true; }});
              }),
              io::avimsg::AddFrame);
    EXPECT_EQ(iotest::ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));

    gif::TGIFImage empty;
    EXPECT_EQ(Messages([&] { io::WriteAvi(dir / "empty.avi", empty, {}); }),
              io::avimsg::BitmapInfo);
    EXPECT_FALSE(fs::exists(dir / "empty.avi"));
    EXPECT_FALSE(fs::exists(dir / "out.avi"));
    // Nothing but the kept file: no temporary file stayed behind.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

} // namespace
