// Encode -> decode round trips for both encoders over many kinds of frames.
#include "codec_test_util.h"

#include <gtest/gtest.h>

namespace giftest::codec {
namespace {

std::vector<Frame> Frames() {
    std::mt19937 rng(1234);
    std::vector<Frame> frames;
    for (bool interlaced : {false, true}) {
        for (int bits : {1, 2, 4, 8}) {
            for (int height : {1, 2, 3, 4, 5, 9, 17}) {
                for (int width : {1, 2, 7, 64}) {
                    frames.push_back(RandomFrame(rng, width, height, bits, interlaced));
                    frames.push_back(RunsFrame(rng, width, height, bits, interlaced, 40));
                }
            }
            frames.push_back(RandomFrame(rng, 300, 200, bits, interlaced));
            frames.push_back(RunsFrame(rng, 300, 200, bits, interlaced, 5000));
            frames.push_back(GradientFrame(256, 256, bits, interlaced));
            Frame flat{500, 400, bits, interlaced, std::vector<uint8_t>(200000, 1)};
            frames.push_back(flat);
        }
    }
    return frames;
}

TEST(CodecRoundTrip, LZWAndRLEDecodeToTheSamePixels) {
    for (gif::TEncodingMethod method : {gif::emLZW, gif::emRLE}) {
        for (const Frame& f : Frames()) {
            SCOPED_TRACE(testing::Message()
                         << "method " << int(method) << " " << f.Width << "x" << f.Height
                         << " bits " << f.Bits << " interlaced " << f.Interlaced);
            std::vector<uint8_t> bytes = Encode(f, method);
            DecodeResult r = Decode(bytes, f.Width, f.Height, f.Interlaced);
            EXPECT_EQ(r.Error, "");
            EXPECT_TRUE(r.Warnings.empty());
            EXPECT_EQ(r.Position, int64_t(bytes.size()));
            ASSERT_EQ(r.Pixels, f.Pixels);
        }
    }
}

} // namespace
} // namespace giftest::codec
