// The LZW encoder's string table where it can go wrong: strings whose probe is longer than
// a slot can record, and table generations (every clear code and every frame starts one)
// that wrap around or carry over from one writer's encoder to the next.
#include "codec_test_util.h"
#include "gif/codec/image_data_writer.h"
#include "gif/codec/lzw_encoder.h"
#include "reference/reference_encoders.h"

#include <algorithm>
#include <map>
#include <gtest/gtest.h>

namespace giftest::codec {
namespace {

gif::TEncodeSource SourceOf(const Frame& f) {
    return {f.Pixels.data(), f.Width, f.Height, f.Interlaced, f.Bits, 1 << f.Bits};
}

std::vector<uint8_t> ReferenceBytes(const Frame& f) {
    gif::TMemoryStream out;
    giftest::ref::EncodeImageData(out, SourceOf(f), gif::emLZW);
    return out.Bytes();
}

std::vector<uint8_t> EncoderBytes(gif::TLZWEncoder& encoder, const Frame& f) {
    gif::TMemoryStream out;
    encoder.Encode(out, SourceOf(f));
    return out.Bytes();
}

// Every single pixel followed by `v`: each pair is a new string of a single pixel and v.
// In flat frames (first-child arrays) the slot of such a string that is not the pixel's
// first child is the pixel XOR v's mix, so these fill a whole aligned block of 256 slots,
// the same block for every value whose mix shares its high byte.
void AppendPairsWith(std::vector<uint8_t>& pixels, uint8_t v) {
    for (int r = 0; r < 256; ++r) {
        pixels.push_back(uint8_t(r));
        pixels.push_back(v);
    }
}

// Pairs of pixels whose strings in noisy frames have their home slots in the few windows of
// 32 slots that most such strings fall into (about 32 each): about 600 strings whose probes
// pile up past the longest distance a slot records.
std::vector<uint8_t> CrowdedPairs() {
    std::map<int, std::vector<std::pair<uint8_t, uint8_t>>> windows;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            windows[gif::TLZWEncoder::PairSlot(uint8_t(a), uint8_t(b)) / 32].push_back(
                {uint8_t(a), uint8_t(b)});
    std::vector<const std::vector<std::pair<uint8_t, uint8_t>>*> fullest;
    for (const auto& [window, pairs] : windows)
        fullest.push_back(&pairs);
    std::sort(fullest.begin(), fullest.end(),
              [](const auto* x, const auto* y) { return x->size() > y->size(); });
    std::vector<uint8_t> pixels;
    for (size_t i = 0; i < fullest.size() && pixels.size() < 1200; ++i)
        for (auto [a, b] : *fullest[i]) {
            pixels.push_back(a);
            pixels.push_back(b);
        }
    return pixels;
}

TEST(LZWEncoderTable, StringsPastTheLongestProbeGoToTheOverflowMap) {
    // Flat frames: two pixel values whose strings after a single pixel land in the same block.
    int y = -1, z = -1;
    for (int a = 0; a < 256 && y < 0; ++a)
        for (int b = a + 1; b < 256 && y < 0; ++b)
            if (gif::TLZWEncoder::SlotMix(uint8_t(a)) >> 8 ==
                gif::TLZWEncoder::SlotMix(uint8_t(b)) >> 8)
                y = a, z = b;
    ASSERT_GE(y, 0);
    const uint8_t x = uint8_t(y == 0 ? (z == 1 ? 2 : 1) : 0); // the first children of flat frames
    std::vector<uint8_t> flat, noisy;
    const std::vector<uint8_t> crowded = CrowdedPairs();
    // More than a table generation's codes, so that the map is emptied by a clear too; the
    // strings found there are continued, and repeated strings grow past them.
    for (int round = 0; round < 4; ++round) {
        AppendPairsWith(flat, x);
        AppendPairsWith(flat, uint8_t(y));
        AppendPairsWith(flat, uint8_t(z));
        AppendPairsWith(flat, uint8_t(z));
        AppendPairsWith(flat, uint8_t(y));
    }
    for (int round = 0; round < 8; ++round)
        noisy.insert(noisy.end(), crowded.begin(), crowded.end());
    noisy.resize(noisy.size() / 16 * 16);
    struct Case {
        const char* Name;
        const std::vector<uint8_t>& Crafted;
        size_t Solid; // pixels of one value after the crafted ones: a flat frame
    };
    for (const Case& c : {Case{"noisy", noisy, 0}, Case{"flat", flat, 60000}}) {
        SCOPED_TRACE(c.Name);
        std::vector<uint8_t> pixels = c.Crafted;
        pixels.resize(c.Crafted.size() + c.Solid, uint8_t(7));
        const Frame f{int(pixels.size() / 16), 16, 8, false, pixels};
        gif::TLZWEncoder encoder;
        EXPECT_EQ(EncoderBytes(encoder, f), ReferenceBytes(f));
        EXPECT_GT(encoder.OverflowedStrings(), 100u);
        // A second frame: the map starts empty again.
        EXPECT_EQ(EncoderBytes(encoder, f), ReferenceBytes(f));
    }
}

// Frame 0 and frame `wrap` share a generation number (the table's generations run from 1 to
// `wrap`), and the frames between use other pixel values, so other slots: frame `wrap`
// probes where frame 0 left its strings, the same pairs of pixels at other codes. A table
// not emptied when the number wraps (or a spare table taken up with a wrong number) gives
// frame `wrap` other codes.
TEST(LZWEncoderTable, GenerationsWrapAroundAndCarryOverToTheNextWriter) {
    std::mt19937 rng(9);
    for (int maxRun : {1, 30}) { // noisy and flat frames
        SCOPED_TRACE(maxRun);
        Frame high = RunsFrame(rng, 40, 30, 8, false, maxRun), low = high;
        for (auto& p : high.Pixels)
            p |= 0x80;
        for (auto& p : low.Pixels)
            p = uint8_t(0x20 | (p & 0x5F));
        Frame rotated = high;
        std::rotate(rotated.Pixels.begin(), rotated.Pixels.begin() + 1, rotated.Pixels.end());
        // Many clears in one frame, each starting a generation as well, to begin at
        // another number in each round.
        const Frame clears = RandomFrame(rng, 300, 100, 8, false);
        const int wrap = int(gif::TLZWEncoder::TableGenerations());
        ASSERT_LT(wrap, 256);
        auto frame = [&](int i) -> const Frame& {
            return i == 0 ? high : i == wrap ? rotated : low;
        };
        std::vector<std::vector<uint8_t>> expected;
        for (int i = 0; i < 256; ++i)
            expected.push_back(ReferenceBytes(frame(i)));
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE(round);
            {
                gif::TLZWEncoder encoder;
                EncoderBytes(encoder, clears);
                for (int i = 0; i < 256; ++i)
                    ASSERT_EQ(EncoderBytes(encoder, frame(i)), expected[size_t(i)])
                        << "frame " << i;
            }
            // A writer at a time: each takes up the encoder, and the table, the last one left.
            for (int i = 0; i < 256; ++i) {
                gif::TMemoryStream out;
                gif::TImageDataWriter().Write(out, SourceOf(frame(i)), gif::emLZW);
                ASSERT_EQ(out.Bytes(), expected[size_t(i)]) << "writer " << i;
            }
        }
    }
}

} // namespace
} // namespace giftest::codec
