// The fast decoder against the step-by-step reference decoder: pixels, the warnings in
// order, the error and the stream position afterwards must all be the same, for valid
// data from both encoders and for damaged data of every kind.
#include "codec_test_util.h"
#include "gif/base/messages.h"
#include "reference/reference_decoder.h"

#include <gtest/gtest.h>

namespace giftest::codec {
namespace {

// Splits the sub-block payload of an encoding and cuts it again at random sizes
// (1..maxBlock); sizes of 1 make codes span several sub-blocks.
std::vector<uint8_t> Reblock(const std::vector<uint8_t>& encoded, std::mt19937& rng, int maxBlock) {
    std::vector<uint8_t> data;
    size_t i = 1;
    while (i < encoded.size() && encoded[i] != 0) {
        size_t n = encoded[i];
        data.insert(data.end(), encoded.begin() + long(i + 1),
                    encoded.begin() + long(std::min(encoded.size(), i + 1 + n)));
        i += 1 + n;
    }
    std::vector<uint8_t> out{encoded[0]};
    std::uniform_int_distribution<int> size(1, maxBlock);
    for (size_t j = 0; j < data.size();) {
        size_t n = std::min(size_t(size(rng)), data.size() - j);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(j), data.begin() + long(j + n));
        j += n;
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 7), byte(0, 255);
    auto at = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    int rounds = 1 + int(rng() % 3);
    for (int r = 0; r < rounds && !bytes.empty(); ++r) {
        switch (kind(rng)) {
        case 0:
            bytes[at(bytes.size())] = uint8_t(byte(rng));
            break;
        case 1:
            bytes[at(bytes.size())] ^= uint8_t(1 << (rng() % 8));
            break;
        case 2:
            bytes.resize(at(bytes.size()));
            break;
        case 3:
            bytes[0] = uint8_t(rng() % 13);
            break;
        case 4:
            bytes.insert(bytes.begin() + long(at(bytes.size())), uint8_t(byte(rng)));
            break;
        case 5:
            bytes.erase(bytes.begin() + long(at(bytes.size())));
            break;
        case 6: { // a run of random bytes somewhere in the data
            size_t from = at(bytes.size());
            for (size_t i = from; i < std::min(bytes.size(), from + 8); ++i)
                bytes[i] = uint8_t(byte(rng));
            break;
        }
        default:
            bytes[at(bytes.size())] = 0;
            break;
        }
    }
    return bytes;
}

// How often each outcome came up, so that a test can check its inputs reach them all.
struct Outcomes {
    int Circular = 0, Underrun = 0, Premature = 0, BadCodeSize = 0, Clean = 0;
    void Count(const DecodeResult& r) {
        if (r.Error == gif::msg::CircularTableEntry) ++Circular;
        if (r.Error == gif::msg::UnsupportedCodeSize) ++BadCodeSize;
        for (const std::string& w : r.Warnings) {
            if (w == gif::msg::BitBufferUnderrun) ++Underrun;
            if (w == gif::msg::PrematureEnd) ++Premature;
        }
        if (r.Error.empty() && r.Warnings.empty()) ++Clean;
    }
    void ExpectAllSeen() const {
        EXPECT_GT(Circular, 0);
        EXPECT_GT(Underrun, 0);
        EXPECT_GT(Premature, 0);
        EXPECT_GT(BadCodeSize, 0);
        EXPECT_GT(Clean, 0);
    }
};

void ExpectSameAsReference(const std::vector<uint8_t>& bytes, int width, int height,
                           bool interlaced, Outcomes* outcomes = nullptr) {
    DecodeResult expected =
        RunDecoder(giftest::ref::DecodeImageData, bytes, width, height, interlaced);
    DecodeResult fast = RunDecoder(gif::DecodeImageData, bytes, width, height, interlaced);
    PlainStream plain(bytes);
    DecodeResult viaReads = RunDecoder(gif::DecodeImageData, plain, width, height, interlaced);
    ASSERT_EQ(fast.Error, expected.Error);
    ASSERT_EQ(fast.Warnings, expected.Warnings);
    ASSERT_EQ(fast.Position, expected.Position);
    ASSERT_EQ(fast.Pixels, expected.Pixels);
    ASSERT_EQ(viaReads.Error, expected.Error);
    ASSERT_EQ(viaReads.Warnings, expected.Warnings);
    ASSERT_EQ(viaReads.Position, expected.Position);
    ASSERT_EQ(viaReads.Pixels, expected.Pixels);
    if (outcomes) outcomes->Count(expected);
}

std::vector<Frame> SmallFrames(std::mt19937& rng) {
    std::vector<Frame> frames;
    for (bool interlaced : {false, true})
        for (int bits : {1, 2, 3, 5, 8})
            for (int height : {1, 2, 3, 4, 5, 8, 13}) {
                int width = 1 + int(rng() % 40);
                frames.push_back(RandomFrame(rng, width, height, bits, interlaced));
                frames.push_back(RunsFrame(rng, width, height, bits, interlaced, 30));
            }
    frames.push_back(RandomFrame(rng, 200, 150, 8, false)); // past the 4095 table clear
    frames.push_back(RunsFrame(rng, 300, 100, 2, true, 200));
    frames.push_back(GradientFrame(128, 64, 8, false));
    return frames;
}

TEST(DecoderDifferential, ValidDataFromBothEncodersAndEveryBlockSize) {
    std::mt19937 rng(42);
    for (const Frame& f : SmallFrames(rng)) {
        for (gif::TEncodingMethod method : {gif::emLZW, gif::emRLE}) {
            SCOPED_TRACE(testing::Message() << f.Width << "x" << f.Height << " bits " << f.Bits
                                            << " method " << int(method));
            std::vector<uint8_t> bytes = Encode(f, method);
            ExpectSameAsReference(bytes, f.Width, f.Height, f.Interlaced);
            for (int maxBlock : {1, 2, 3, 255}) {
                std::vector<uint8_t> reblocked = Reblock(bytes, rng, maxBlock);
                DecodeResult r = Decode(reblocked, f.Width, f.Height, f.Interlaced);
                EXPECT_EQ(r.Pixels, f.Pixels);
                EXPECT_EQ(r.Position, int64_t(reblocked.size()));
                ExpectSameAsReference(reblocked, f.Width, f.Height, f.Interlaced);
            }
            // The next block of the file must stay unread.
            std::vector<uint8_t> followed = bytes;
            followed.insert(followed.end(), {0x21, 0xF9, 0x04, 0, 0, 0, 0, 0, 0x3B});
            EXPECT_EQ(Decode(followed, f.Width, f.Height, f.Interlaced).Position,
                      int64_t(bytes.size()));
            ExpectSameAsReference(followed, f.Width, f.Height, f.Interlaced);
        }
    }
}

TEST(DecoderDifferential, DamagedDataAndWrongFrameSizes) {
    std::mt19937 rng(7);
    std::vector<Frame> frames = SmallFrames(rng);
    Outcomes outcomes;
    for (int round = 0; round < 6000; ++round) {
        const Frame& f = frames[rng() % frames.size()];
        std::vector<uint8_t> bytes = Encode(f, rng() % 2 ? gif::emLZW : gif::emRLE);
        if (rng() % 3 == 0) bytes = Reblock(bytes, rng, 1 + int(rng() % 4));
        bytes = Mutate(bytes, rng);
        if (rng() % 2) bytes.insert(bytes.end(), {0x2C, 1, 2, 3, 0x3B});
        int width = f.Width, height = f.Height;
        bool interlaced = f.Interlaced;
        if (rng() % 4 == 0) {
            width = int(rng() % 50);
            height = int(rng() % 20);
            interlaced = rng() % 2;
        }
        SCOPED_TRACE(testing::Message() << "round " << round);
        ExpectSameAsReference(bytes, width, height, interlaced, &outcomes);
    }
    outcomes.ExpectAllSeen();
}

TEST(DecoderDifferential, RandomBytes) {
    std::mt19937 rng(99);
    Outcomes outcomes;
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bytes(rng() % 600);
        for (auto& b : bytes)
            b = uint8_t(rng());
        if (!bytes.empty()) bytes[0] = uint8_t(rng() % 12);
        // Plausible sub-block lengths most of the time.
        if (bytes.size() > 2 && rng() % 2)
            bytes[1] = uint8_t(std::min<size_t>(bytes.size() - 2, 255));
        int width = 1 + int(rng() % 64), height = 1 + int(rng() % 16);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ExpectSameAsReference(bytes, width, height, rng() % 2, &outcomes);
    }
    EXPECT_GT(outcomes.Circular, 0);
    EXPECT_GT(outcomes.Underrun, 0);
    EXPECT_GT(outcomes.Premature, 0);
}

// Clear codes every few codes among codes of every kind (literals, table codes, codes
// beyond the next free one): the table is reset each time, and what the broken codes
// read of it must be what a full reset leaves.
TEST(DecoderDifferential, ClearCodesEveryFewCodes) {
    std::mt19937 rng(5);
    Outcomes outcomes;
    for (int round = 0; round < 3000; ++round) {
        const int s = 2 + int(rng() % 3), clear = 1 << s;
        std::vector<uint8_t> data;
        uint32_t acc = 0;
        int count = 0, sinceClear = 0;
        const int interval = 1 + int(rng() % 4);
        for (int i = 0; i < 200; ++i) {
            // Few enough codes between clears that the code size stays s + 1.
            int code = sinceClear >= interval ? clear : int(rng() % unsigned(2 * clear));
            sinceClear = code == clear ? 0 : sinceClear + 1;
            acc |= uint32_t(code) << count;
            for (count += s + 1; count >= 8; count -= 8, acc >>= 8)
                data.push_back(uint8_t(acc));
        }
        std::vector<uint8_t> bytes = {uint8_t(s)};
        for (size_t i = 0; i < data.size(); i += 200) {
            size_t n = std::min<size_t>(200, data.size() - i);
            bytes.push_back(uint8_t(n));
            bytes.insert(bytes.end(), data.begin() + long(i), data.begin() + long(i + n));
        }
        bytes.push_back(0);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ExpectSameAsReference(bytes, 1 + int(rng() % 40), 1 + int(rng() % 10), rng() % 2,
                              &outcomes);
    }
    EXPECT_GT(outcomes.Circular + outcomes.Clean + outcomes.Underrun, 0);
}

// Clear codes in valid data may leave the old table entries in place; data that turns
// broken after a clear must still find every entry from the next free code up empty.
// Minimum code size 3: every code here has 4 bits.
TEST(DecoderDifferential, BrokenCodesAfterAClearSeeAnEmptyTable) {
    const std::vector<std::vector<int>> streams = {
        // Entries 10 and 11 made, a clear, then table code 10 straight after it and 11
        // walked through it.
        {8, 1, 2, 3, 8, 10, 11, 9},
        // The same entries, a clear, then a code past the next free one (11) and one
        // (12) that walks through it.
        {8, 1, 2, 3, 8, 1, 11, 12, 9},
        // Valid data with many clears first.
        {8, 1, 2, 3, 4, 8, 5, 6, 7, 8, 1, 2, 8, 1, 14, 15, 9},
    };
    for (const std::vector<int>& codes : streams) {
        std::vector<uint8_t> bytes = {3, uint8_t((codes.size() + 1) / 2)};
        for (size_t i = 0; i < codes.size(); i += 2)
            bytes.push_back(uint8_t(codes[i] | (i + 1 < codes.size() ? codes[i + 1] << 4 : 0)));
        bytes.push_back(0);
        SCOPED_TRACE(testing::Message() << "stream of " << codes.size() << " codes");
        ExpectSameAsReference(bytes, 24, 1, false);
    }
}

} // namespace
} // namespace giftest::codec
