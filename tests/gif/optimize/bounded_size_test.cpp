// Sizes measured only up to a limit: exact below it, above it when passed, and an encoder
// left mid-frame spoils nothing measured or written afterwards.
#include "gif/base/stream.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/optimize_fixtures.h"

#include <gtest/gtest.h>

using namespace gif;
using namespace opttest;

namespace {

// Noise over 200 colours: tens of kilobytes, so the writer hands over several batches.
std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
    std::vector<uint8_t> pixels(n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        pixels[i] = uint8_t((seed >> 24) % 200);
    }
    return pixels;
}

int64_t FullSize(const TEncodeSource& source) {
    TCountingStream counter;
    EncodeImageData(counter, source, emLZW);
    return counter.Size();
}

} // namespace

TEST(BoundedSize, ExactUpToTheLimitAboveItOtherwise) {
    const std::vector<uint8_t> noise = Noise(300 * 200, 7);
    const TEncodeSource source{noise.data(), 300, 200, false, 8, 256};
    const int64_t full = FullSize(source);
    ASSERT_GT(full, 20000);
    for (int64_t limit :
         {int64_t(0), int64_t(1), int64_t(100), full / 2, full - 1, full, full + 1, full * 3}) {
        const int64_t measured = optimize::EncodedSizeUpTo(source, emLZW, limit);
        if (limit >= full)
            EXPECT_EQ(measured, full) << limit;
        else
            EXPECT_GT(measured, limit) << limit;
        // Stopping in the middle leaves nothing behind for the next encoding.
        EXPECT_EQ(FullSize(source), full) << limit;
    }
}

TEST(BoundedSize, WholeImageStopsEarlyAndStaysWritable) {
    TGIFImage image;
    std::vector<TColor> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back(RGB(i, 255 - i, i / 2));
    SetColors(image.GlobalColorMap(), colors);
    for (uint32_t k = 0; k < 3; ++k)
        giftest::AddFrame(image, 0, 0, 200, 150, Noise(200 * 150, k + 1));
    TMemoryStream written;
    image.SaveToStream(written);
    const int64_t full = written.Size();
    EXPECT_EQ(optimize::SavedSizeUpTo(image, full), full);
    EXPECT_GT(optimize::SavedSizeUpTo(image, full / 3), full / 3);
    TMemoryStream again;
    image.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), written.Bytes());
}
