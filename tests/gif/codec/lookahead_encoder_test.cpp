// The look-ahead LZW encoder: without a bias it is the classic encoder byte for byte; with
// one, every decoder reads back the same pixels, and on smooth pictures it writes fewer
// bytes.
#include "codec_test_util.h"
#include "gif/base/messages.h"
#include "gif/codec/lzw_lookahead_encoder.h"
#include "reference/reference_decoder.h"
#include "reference/reference_encoders.h"

#include <gtest/gtest.h>

namespace giftest::codec {
namespace {

std::vector<uint8_t> EncodeLookahead(const Frame& f, int bias) {
    gif::TMemoryStream out;
    gif::TEncodeSource source{f.Pixels.data(), f.Width, f.Height, f.Interlaced,
                              f.Bits,          1 << f.Bits, bias};
    gif::EncodeImageData(out, source, gif::emLZW);
    return out.Bytes();
}

std::vector<Frame> Frames() {
    std::mt19937 rng(77);
    std::vector<Frame> frames;
    for (bool interlaced : {false, true}) {
        for (int bits : {1, 2, 5, 8}) {
            for (auto [width, height] : {std::pair{1, 1}, {3, 2}, {17, 9}, {100, 5}}) {
                frames.push_back(RandomFrame(rng, width, height, bits, interlaced));
                frames.push_back(RunsFrame(rng, width, height, bits, interlaced, 7));
            }
            // Large enough to fill the table several times over: clears and every code size.
            frames.push_back(RandomFrame(rng, 400, 300, bits, interlaced));
            frames.push_back(RunsFrame(rng, 400, 300, bits, interlaced, 12));
            frames.push_back(RunsFrame(rng, 500, 200, bits, interlaced, 3000));
            frames.push_back(GradientFrame(300, 200, bits, interlaced));
            frames.push_back(Frame{700, 500, bits, interlaced, std::vector<uint8_t>(350000, 1)});
        }
    }
    return frames;
}

std::string Describe(const Frame& f) {
    return std::to_string(f.Width) + "x" + std::to_string(f.Height) + " bits " +
           std::to_string(f.Bits) + (f.Interlaced ? " interlaced" : "");
}

// The code stream of image data: the sub-blocks' bytes, joined.
std::vector<uint8_t> CodeStream(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> codes;
    for (size_t at = 1; at < bytes.size() && bytes[at] != 0; at += size_t(bytes[at]) + 1)
        codes.insert(codes.end(), bytes.begin() + long(at) + 1,
                     bytes.begin() + long(at) + 1 + bytes[at]);
    return codes;
}

// The classic encoder's codes, but for the bytes that would hold nothing but the end code
// (one or two), which the look-ahead encoder leaves out. Such data still decodes to every
// pixel without a warning.
TEST(LookaheadEncoder, WithoutBiasWritesTheClassicCodes) {
    int shorter = 0;
    for (const Frame& f : Frames()) {
        SCOPED_TRACE(Describe(f));
        gif::TMemoryStream classic, lookahead;
        gif::TEncodeSource source{f.Pixels.data(), f.Width, f.Height, f.Interlaced,
                                  f.Bits,          1 << f.Bits};
        giftest::ref::EncodeImageData(classic, source, gif::emLZW);
        gif::TLZWLookaheadEncoder encoder;
        encoder.SetBias(-1);
        encoder.Encode(lookahead, source);
        std::vector<uint8_t> expected = CodeStream(classic.Bytes());
        const std::vector<uint8_t> got = CodeStream(lookahead.Bytes());
        if (got.size() < expected.size()) {
            ASSERT_LE(expected.size() - got.size(), 2u);
            expected.resize(got.size());
            ++shorter;
            const std::vector<uint8_t> bytes = lookahead.Bytes();
            const DecodeResult fast = Decode(bytes, f.Width, f.Height, f.Interlaced);
            ASSERT_TRUE(fast.Warnings.empty());
            ASSERT_EQ(fast.Pixels, f.Pixels);
            ASSERT_EQ(RunDecoder(giftest::ref::DecodeImageData, bytes, f.Width, f.Height,
                                 f.Interlaced),
                      fast);
        }
        ASSERT_EQ(got, expected);
        ASSERT_EQ(lookahead.Bytes()[0], classic.Bytes()[0]);
    }
    EXPECT_GT(shorter, 0); // some frames end on a byte boundary
}

TEST(LookaheadEncoder, EveryBiasDecodesToThePixels) {
    for (const Frame& f : Frames()) {
        for (int bias : {0, 1, 3}) {
            SCOPED_TRACE(Describe(f) + " bias " + std::to_string(bias));
            const std::vector<uint8_t> bytes = EncodeLookahead(f, bias);
            const DecodeResult fast = Decode(bytes, f.Width, f.Height, f.Interlaced);
            const DecodeResult plain =
                RunDecoder(giftest::ref::DecodeImageData, bytes, f.Width, f.Height, f.Interlaced);
            ASSERT_EQ(fast.Error, "");
            ASSERT_TRUE(fast.Warnings.empty());
            ASSERT_EQ(fast.Pixels, f.Pixels);
            ASSERT_EQ(plain, fast);
        }
    }
}

TEST(LookaheadEncoder, SmallerOnSmoothPicturesAndOneEncoderServesManyFrames) {
    // One writer for frames of different code sizes: the table must be empty for each.
    gif::TImageDataWriter writer;
    auto write = [&writer](const Frame& f, int bias) {
        gif::TMemoryStream out;
        writer.Write(out,
                     gif::TEncodeSource{f.Pixels.data(), f.Width, f.Height, f.Interlaced, f.Bits,
                                        1 << f.Bits, bias},
                     gif::emLZW);
        return out.Bytes();
    };
    std::mt19937 rng(5);
    for (int bits : {8, 2, 6}) {
        const Frame gradient = GradientFrame(640, 480, bits, false);
        const Frame noise = RandomFrame(rng, 64, 64, bits, false);
        const std::vector<uint8_t> smooth = write(gradient, 2);
        write(noise, 0);
        // Wide bands of four colours are not smooth: there the longest match is best.
        if (bits > 2) {
            EXPECT_LT(smooth.size(), Encode(gradient, gif::emLZW).size()) << bits;
        }
        EXPECT_EQ(Decode(smooth, 640, 480, false).Pixels, gradient.Pixels);
        EXPECT_EQ(write(gradient, 2), smooth) << "a table left over from the frame before";
    }
}

// A full table kept for some codes before the clear: both decoders read the pixels back
// for any parse, one code at a full table or thousands (the decoder's table, one entry
// ahead of the encoder's, must stop growing at the same moment); and on data that repeats
// what filled the table, keeping it is smaller.
TEST(LookaheadEncoder, ClearDelayDecodesToThePixelsAndPaysOnRepeats) {
    auto encode = [](const Frame& f, int bias, int delay) {
        gif::TMemoryStream out;
        gif::TEncodeSource source{f.Pixels.data(), f.Width, f.Height, f.Interlaced,
                                  f.Bits,          1 << f.Bits, bias, delay};
        gif::EncodeImageData(out, source, gif::emLZW);
        return out.Bytes();
    };
    for (const Frame& f : Frames()) {
        if (f.Pixels.size() < 5000) continue; // the table never fills
        for (int bias : {-1, 2}) {
            for (int delay : {1, 700, 100000}) {
                SCOPED_TRACE(Describe(f) + " bias " + std::to_string(bias) + " delay " +
                             std::to_string(delay));
                const std::vector<uint8_t> bytes = encode(f, bias, delay);
                const DecodeResult fast = Decode(bytes, f.Width, f.Height, f.Interlaced);
                ASSERT_EQ(fast.Error, "");
                ASSERT_TRUE(fast.Warnings.empty());
                ASSERT_EQ(fast.Pixels, f.Pixels);
                ASSERT_EQ(RunDecoder(giftest::ref::DecodeImageData, bytes, f.Width, f.Height,
                                     f.Interlaced),
                          fast);
            }
        }
    }
    // Noise about as long as fills the table, then the same noise again: the full table
    // holds its pairs, a fresh one none.
    std::mt19937 rng(21);
    const Frame block = RandomFrame(rng, 100, 42, 8, false);
    Frame repeated{100, 168, 8, false, {}};
    for (int k = 0; k < 4; ++k)
        repeated.Pixels.insert(repeated.Pixels.end(), block.Pixels.begin(), block.Pixels.end());
    const std::vector<uint8_t> kept = encode(repeated, -1, 2000);
    EXPECT_LT(kept.size() * 100, encode(repeated, -1, 0).size() * 95);
    EXPECT_EQ(Decode(kept, 100, 168, false).Pixels, repeated.Pixels);
}

TEST(LookaheadEncoder, PixelOutsideTheTableIsRefusedAndTheEncoderServesOn) {
    std::mt19937 rng(9);
    Frame f = RunsFrame(rng, 200, 100, 4, false, 5);
    for (auto& p : f.Pixels)
        p = uint8_t(p % 12);
    f.Pixels[15000] = 12; // after the table has filled with strings
    gif::TImageDataWriter writer;
    auto write = [&writer, &f] {
        gif::TMemoryStream out;
        writer.Write(out, gif::TEncodeSource{f.Pixels.data(), 200, 100, false, 4, 12, 0},
                     gif::emLZW);
        return out.Bytes();
    };
    try {
        write();
        FAIL() << "no error";
    } catch (const gif::GIFException& e) {
        EXPECT_STREQ(e.what(), gif::msg::ColorNotInTable);
    }
    // The strings of the broken frame are gone when the same encoder writes the next one.
    f.Pixels[15000] = 11;
    EXPECT_EQ(Decode(write(), 200, 100, false).Pixels, f.Pixels);
}

} // namespace
} // namespace giftest::codec
