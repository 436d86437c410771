// The fast encoders against the step-by-step reference encoders: the same bytes for
// every kind of frame, and the same bytes in the stream when a pixel is out of range.
#include "codec_test_util.h"
#include "gif/base/messages.h"
#include "reference/reference_encoders.h"

#include <gtest/gtest.h>

namespace giftest::codec {
namespace {

struct EncodeResult {
    std::vector<uint8_t> Bytes;
    std::string Error;
    bool operator==(const EncodeResult&) const = default;
};

template <typename EncodeFn>
EncodeResult RunEncoder(EncodeFn encode, const Frame& f, gif::TEncodingMethod method, int limit,
                        bool blank = false) {
    gif::TMemoryStream out;
    gif::TEncodeSource source{
        blank ? nullptr : f.Pixels.data(), f.Width, f.Height, f.Interlaced, f.Bits, limit};
    EncodeResult r;
    try {
        encode(out, source, method);
    } catch (const gif::GIFException& e) {
        r.Error = e.what();
    }
    r.Bytes = out.Bytes();
    return r;
}

void ExpectSameBytes(const Frame& f, int limit, bool blank = false) {
    for (gif::TEncodingMethod method : {gif::emLZW, gif::emRLE}) {
        SCOPED_TRACE(testing::Message()
                     << f.Width << "x" << f.Height << " bits " << f.Bits << " interlaced "
                     << f.Interlaced << " method " << int(method) << " limit " << limit);
        EncodeResult expected = RunEncoder(giftest::ref::EncodeImageData, f, method, limit, blank);
        EncodeResult fast = RunEncoder(gif::EncodeImageData, f, method, limit, blank);
        ASSERT_EQ(fast.Error, expected.Error);
        ASSERT_EQ(fast.Bytes, expected.Bytes);
    }
}

TEST(EncoderDifferential, SameBytesForEveryKindOfFrame) {
    std::mt19937 rng(2024);
    for (bool interlaced : {false, true}) {
        for (int bits : {1, 2, 3, 4, 5, 6, 7, 8}) {
            for (int height : {1, 2, 3, 4, 5, 6, 9}) {
                for (int width : {1, 2, 3, 17, 100}) {
                    ExpectSameBytes(RandomFrame(rng, width, height, bits, interlaced), 1 << bits);
                    ExpectSameBytes(RunsFrame(rng, width, height, bits, interlaced, 60), 1 << bits);
                }
            }
            ExpectSameBytes(RandomFrame(rng, 400, 300, bits, interlaced), 1 << bits);
            ExpectSameBytes(GradientFrame(300, 200, bits, interlaced), 1 << bits);
            // Long runs drive the run-length encoder through its table reuse and clears.
            for (int maxRun : {3, 20, 300, 5000, 100000})
                ExpectSameBytes(RunsFrame(rng, 500, 200, bits, interlaced, maxRun), 1 << bits);
            Frame flat{1000, 700, bits, interlaced,
                       std::vector<uint8_t>(700000, uint8_t(bits - 1))};
            ExpectSameBytes(flat, 1 << bits);
            ExpectSameBytes(flat, 1 << bits, /*blank=*/true);
        }
    }
}

// Frames using 17 to 32 values of a larger table take a direct table while small and the
// string table when large: noisy frames on both sides of that size give out every code
// up to the clear (past 2047, where a row number no longer fits 16 bits).
TEST(EncoderDifferential, FewValuesOfALargeTable) {
    std::mt19937 rng(31);
    for (int values : {17, 24, 32}) {
        for (int bits : {5, 8}) {
            for (auto [width, height] : {std::pair{256, 512}, {257, 511}, {256, 513}, {40, 30}}) {
                for (bool interlaced : {false, true}) {
                    Frame noisy = RandomFrame(rng, width, height, bits, interlaced);
                    for (auto& p : noisy.Pixels)
                        p = uint8_t(p % values);
                    noisy.Pixels[0] = uint8_t(values - 1);
                    ExpectSameBytes(noisy, 1 << bits);
                    Frame runs = RunsFrame(rng, width, height, bits, interlaced, 40);
                    for (auto& p : runs.Pixels)
                        p = uint8_t(p % values);
                    ExpectSameBytes(runs, 1 << bits);
                }
            }
        }
    }
}

TEST(EncoderDifferential, PixelOutsideTheColorTable) {
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        int bits = 1 + int(rng() % 8);
        Frame f =
            rng() % 2
                ? RandomFrame(rng, 1 + int(rng() % 300), 1 + int(rng() % 40), bits, rng() % 2)
                : RunsFrame(rng, 1 + int(rng() % 300), 1 + int(rng() % 40), bits, rng() % 2, 50);
        const int colors = 1 << bits;
        int limit = 1 + int(rng() % (colors - 1));
        // One bad pixel somewhere, sometimes far enough in that sub-blocks went out.
        for (auto& p : f.Pixels)
            if (p >= limit && rng() % 4 == 0) p = uint8_t(rng() % limit);
        f.Pixels[rng() % f.Pixels.size()] = uint8_t(limit + int(rng() % (colors - limit)));
        ExpectSameBytes(f, limit);
        EncodeResult r = RunEncoder(gif::EncodeImageData, f, gif::emLZW, limit);
        EXPECT_EQ(r.Error, gif::msg::ColorNotInTable);
    }
}

// One writer for frame after frame (as an image is saved): its tables carry over from
// frame to frame, of every size and number of colours, and past a frame that failed.
TEST(EncoderDifferential, OneWriterForManyFrames) {
    std::mt19937 rng(77);
    gif::TImageDataWriter writer;
    for (int round = 0; round < 300; ++round) {
        const int bits = 1 + int(rng() % 8);
        const int width = 1 + int(rng() % (round % 7 == 0 ? 600 : 40));
        const int height = 1 + int(rng() % 30);
        Frame f = rng() % 3 == 0   ? RandomFrame(rng, width, height, bits, rng() % 2)
                  : rng() % 2 == 0 ? RunsFrame(rng, width, height, bits, rng() % 2, 80)
                                   : GradientFrame(width, height, bits, rng() % 2);
        // Sometimes only a few of the colours, sometimes a pixel outside the table.
        if (rng() % 4 == 0)
            for (auto& p : f.Pixels) p = uint8_t(p % (1 + rng() % 3));
        int limit = 1 << bits;
        if (bits > 1 && rng() % 8 == 0) {
            limit = 1 + int(rng() % unsigned(limit - 1));
            f.Pixels[rng() % f.Pixels.size()] = uint8_t(limit);
        }
        const auto method = rng() % 5 == 0 ? gif::emRLE : gif::emLZW;
        SCOPED_TRACE(testing::Message() << "round " << round);
        EncodeResult expected = RunEncoder(giftest::ref::EncodeImageData, f, method, limit);
        EncodeResult reused = RunEncoder(
            [&](gif::TStream& out, const gif::TEncodeSource& source, gif::TEncodingMethod m) {
                writer.Write(out, source, m);
            },
            f, method, limit);
        ASSERT_EQ(reused, expected);
    }
}

// Frames of 32 and more values take the first-child arrays or the string table alone by a
// sample of their pixel pairs, the count of pairs only from 16384 pixels. Frames of the kinds
// that decide it, on both sides of that size, through one writer, so that the two uses of
// the string table follow each other from frame to frame (and across clears within one):
// dithered flat colours (few pairs, few equal neighbours), dithered shading (many pairs,
// about half equal), one colour, a ramp (many pairs, edges repeated row after row), noise.
TEST(EncoderDifferential, DitheredFramesOfEveryKindThroughOneWriter) {
    std::mt19937 rng(12);
    auto make = [&](int kind, int width, int height, bool interlaced) {
        Frame f{width, height, 8, interlaced, std::vector<uint8_t>(size_t(width) * height)};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int jitter = int(rng() % 3);
                int v = 0;
                switch (kind) {
                case 0: { // ten bars of two colours each, in a pattern that drifts
                    const int bar = x * 10 / width;
                    v = 40 + 17 * bar + ((x + 3 * y + jitter) % 5 < 2 ? 3 : 0);
                    break;
                }
                case 1: // a shaded field of about 200 values, dithered
                    v = 40 + (x * 150 / width + y * 50 / height + jitter) % 210;
                    break;
                case 2:
                    v = 200;
                    break;
                case 3: // a ramp: runs whose edges every row repeats
                    v = 32 + (x / 4) % 224;
                    break;
                default:
                    v = int(rng() % 256);
                }
                f.Pixels[size_t(y) * width + x] = uint8_t(v);
            }
        }
        return f;
    };
    gif::TImageDataWriter writer;
    for (auto [width, height] : {std::pair{320, 240}, {128, 127}, {129, 128}}) {
        for (bool interlaced : {false, true}) {
            for (int kind : {0, 1, 0, 2, 1, 4, 3, 1, 3}) {
                SCOPED_TRACE(testing::Message() << width << "x" << height << " interlaced "
                                                << interlaced << " kind " << kind);
                const Frame f = make(kind, width, height, interlaced);
                EncodeResult expected =
                    RunEncoder(giftest::ref::EncodeImageData, f, gif::emLZW, 256);
                EncodeResult reused = RunEncoder(
                    [&](gif::TStream& out, const gif::TEncodeSource& source,
                        gif::TEncodingMethod m) { writer.Write(out, source, m); },
                    f, gif::emLZW, 256);
                ASSERT_EQ(reused, expected);
            }
        }
    }
}

// Flat frames walk a string two or four pixels at a time where its first children know the
// way. Patterns repeated row after row make long strings along first children; a pattern
// that shifts now and then, and a stray pixel, leave a step part-way. Spans of one to five
// pixels (interlaced rows) end inside a step, large frames clear the table, and one writer
// takes frames of three code sizes in turn, so that each finds the others' codes in its
// arrays. Frames from 16384 pixels take the arrays for few pixel pairs, smaller ones for
// runs of equal pixels.
TEST(EncoderDifferential, LongStringsAlongFirstChildren) {
    std::mt19937 rng(41);
    auto pattern = [&](int width, int height, int bits, bool interlaced, int period) {
        Frame f{width, height, bits, interlaced, std::vector<uint8_t>(size_t(width) * height)};
        const int base = 1 << (bits - 1); // 32 and more: not the direct table
        const int run = f.Pixels.size() < 16384 ? 3 : 1;
        int shift = 0;
        for (int y = 0; y < height; ++y) {
            if (rng() % 16 == 0) shift = int(rng() % 64);
            for (int x = 0; x < width; ++x) {
                const int step = ((x + shift) / run) % period;
                int v = base + (step * 5) % base;
                if (rng() % 64 == 0) v = base + int(rng() % unsigned(base));
                f.Pixels[size_t(y) * width + x] = uint8_t(v);
            }
        }
        return f;
    };
    gif::TImageDataWriter writer;
    for (auto [width, height] : {std::pair{1000, 100}, {3, 6000}, {5, 900}, {1, 3000}, {64, 64}}) {
        for (bool interlaced : {false, true}) {
            for (int period : {2, 3, 7, 30}) {
                for (int bits : {8, 6, 7}) {
                    SCOPED_TRACE(testing::Message() << width << "x" << height << " interlaced "
                                                    << interlaced << " period " << period
                                                    << " bits " << bits);
                    const Frame f = pattern(width, height, bits, interlaced, period);
                    EncodeResult expected =
                        RunEncoder(giftest::ref::EncodeImageData, f, gif::emLZW, 1 << bits);
                    EncodeResult reused = RunEncoder(
                        [&](gif::TStream& out, const gif::TEncodeSource& source,
                            gif::TEncodingMethod m) { writer.Write(out, source, m); },
                        f, gif::emLZW, 1 << bits);
                    ASSERT_EQ(reused, expected);
                }
            }
        }
    }
}

} // namespace
} // namespace giftest::codec
