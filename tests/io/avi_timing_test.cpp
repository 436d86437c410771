// The frame timing of imported videos: the delay of a stream header's scale and rate, the
// header read from the bytes of an AVI file, and the carried delays of uneven timing.
#include "io/avi/avi_stream_info.h"
#include "io/avi/avi_writer.h"
#include "io/avi/frame_timing.h"

#include "gif/base/stream.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

using io::AviFrameDelay;

TEST(AviFrameDelay, RoundsScaleTimesHundredOverRateHalvesAwayFromZero) {
    EXPECT_EQ(AviFrameDelay(1, 15), 7);       // 6.67
    EXPECT_EQ(AviFrameDelay(1, 25), 4);
    EXPECT_EQ(AviFrameDelay(1, 30), 3);       // 3.33
    EXPECT_EQ(AviFrameDelay(1, 8), 13);       // 12.5 goes up
    EXPECT_EQ(AviFrameDelay(1, 200), 1);      // 0.5 goes up
    EXPECT_EQ(AviFrameDelay(1, 201), 0);
    EXPECT_EQ(AviFrameDelay(1001, 30000), 3); // NTSC
    EXPECT_EQ(AviFrameDelay(10, 65), 15);     // what the export writes for delay 10
}

TEST(AviFrameDelay, RateZeroDividesScaleByHundred) {
    EXPECT_EQ(AviFrameDelay(1000, 0), 10);
    EXPECT_EQ(AviFrameDelay(199, 0), 1);
    EXPECT_EQ(AviFrameDelay(0, 0), 0);
}

TEST(AviFrameDelay, StaysWithinWhatAGraphicControlBlockHolds) {
    EXPECT_EQ(AviFrameDelay(0x7FFFFFFF, 1), 0xFFFF);  // product beyond 32 bits
    EXPECT_EQ(AviFrameDelay(1000, 1), 0xFFFF);        // 100000 hundredths
    EXPECT_EQ(AviFrameDelay(0xFFFFFFFF, 15), 0);      // -1 as the signed field: negative
    EXPECT_EQ(AviFrameDelay(1, 0xFFFFFFFF), 0);
    EXPECT_EQ(AviFrameDelay(0x80000000u, 0), 0);
}

// An AVI file of our writer with the given header, two frames.
std::vector<uint8_t> SmallAvi(uint32_t scale, uint32_t rate) {
    io::TAviVideoLayout layout;
    layout.Info.Type = io::StreamTypeVideo;
    layout.Info.Scale = scale;
    layout.Info.Rate = rate;
    layout.Info.FrameRight = 4;
    layout.Info.FrameBottom = 2;
    layout.Format.assign(40 + 1024, 0);
    layout.Width = 4;
    layout.Height = 2;
    layout.SampleSize = 8;
    layout.Present = {true, false, true};
    gif::TMemoryStream out;
    io::WriteAviStream(out, layout, [](int, std::span<uint8_t> s) {
        std::fill(s.begin(), s.end(), 7);
        return true;
    });
    return out.TakeBytes();
}

TEST(ReadAviStreamInfo, FindsTheVideoStreamHeader) {
    const std::vector<uint8_t> file = SmallAvi(1000, 0);
    const std::optional<io::TAviStreamInfo> info = io::ReadAviStreamInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Type, io::StreamTypeVideo);
    EXPECT_EQ(info->Scale, 1000u);
    EXPECT_EQ(info->Rate, 0u);
    EXPECT_EQ(info->Length, 3u);
    EXPECT_EQ(info->FrameRight, 4);
    EXPECT_EQ(info->FrameBottom, 2);
    EXPECT_EQ(AviFrameDelay(info->Scale, info->Rate), 10);
}

TEST(ReadAviStreamInfo, SkipsStreamsThatAreNotVideo) {
    std::vector<uint8_t> file = SmallAvi(1, 15);
    // Make the only stream an audio stream: no video header remains.
    const size_t strh = std::search(file.begin(), file.end(), "strh", "strh" + 4) - file.begin();
    std::copy_n("auds", 4, file.begin() + long(strh) + 8);
    EXPECT_FALSE(io::ReadAviStreamInfo(file));
}

TEST(ReadAviStreamInfo, RefusesOtherFilesAndSurvivesEveryCutAndDamagedSize) {
    const std::vector<uint8_t> file = SmallAvi(1, 15);
    EXPECT_FALSE(io::ReadAviStreamInfo({}));
    const uint8_t wave[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(io::ReadAviStreamInfo(wave));
    // Every cut: either the header was whole before the cut, or nothing is found.
    for (size_t n = 0; n < file.size(); ++n) {
        std::optional<io::TAviStreamInfo> info =
            io::ReadAviStreamInfo(std::span<const uint8_t>(file.data(), n));
        if (info) {
            EXPECT_EQ(info->Rate, 15u);
        }
    }
    // Every size field set to huge and odd values: the walk stays inside the bytes.
    for (size_t at = 4; at + 4 <= 200; at += 4) {
        for (uint32_t size : {0xFFFFFFFFu, 0x7FFFFFFFu, 1u, 0u}) {
            std::vector<uint8_t> damaged = file;
            for (int b = 0; b < 4; ++b) damaged[at + size_t(b)] = uint8_t(size >> (8 * b));
            io::ReadAviStreamInfo(damaged);
        }
    }
}

TEST(CarriedDelays, KeepTheTotalTimeOfAConstantRateExact) {
    // 15 frames per second in ticks of 1/15360 s (a common MP4 time base).
    std::vector<int64_t> starts;
    for (int i = 0; i < 15; ++i) starts.push_back(i * 1024);
    const std::vector<uint16_t> delays = io::CarriedDelays(starts, 15 * 1024, 1.0 / 15360);
    ASSERT_EQ(delays.size(), 15u);
    EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), 100);
    for (uint16_t d : delays) EXPECT_TRUE(d == 6 || d == 7) << d;
    EXPECT_EQ(delays[0], 7);
    EXPECT_EQ(delays[1], 6);
}

TEST(CarriedDelays, EachFrameKeepsItsOwnDuration) {
    // 0.1 s, 0.5 s, 0.033 s, 1 s in milliseconds, starting at 5 s.
    const std::vector<int64_t> starts = {5000, 5100, 5600, 5633};
    const std::vector<uint16_t> delays = io::CarriedDelays(starts, 6633, 0.001);
    EXPECT_EQ(delays, (std::vector<uint16_t>{10, 50, 3, 100}));
}

TEST(CarriedDelays, TimesGoingBackLastNothingAndHugeTimesAreLimited) {
    const std::vector<int64_t> starts = {100, 50, 200, INT64_MAX / 2};
    const std::vector<uint16_t> delays = io::CarriedDelays(starts, INT64_MIN, 0.01);
    ASSERT_EQ(delays.size(), 4u);
    EXPECT_EQ(delays[0], 0);
    EXPECT_EQ(delays[1], 100);
    EXPECT_EQ(delays[2], 0xFFFF);
    EXPECT_EQ(delays[3], 0xFFFF);
    EXPECT_TRUE(io::CarriedDelays({}, 0, 0.01).empty());
}

TEST(IsConstantRate, AllowsOneTickOfRoundingOnly) {
    const std::vector<int64_t> even = {0, 33, 67, 100};
    EXPECT_TRUE(io::IsConstantRate(even, 133, 33));
    const std::vector<int64_t> uneven = {0, 33, 100, 133};
    EXPECT_FALSE(io::IsConstantRate(uneven, 166, 33));
    EXPECT_FALSE(io::IsConstantRate(even, 133, 0));
    const std::vector<int64_t> extreme = {INT64_MIN, INT64_MAX};
    EXPECT_FALSE(io::IsConstantRate(extreme, INT64_MAX, 1));
}

} // namespace
