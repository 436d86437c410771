// Hand-made image data for the decoder's and encoders' edge cases, and the small parts
// (sub-block writer, string table, run cost arithmetic).
#include "codec_test_util.h"
#include "gif/base/messages.h"
#include "gif/codec/hash_table.h"
#include "gif/codec/run_cost.h"
#include "gif/codec/sub_block_writer.h"

#include <cmath>
#include <gtest/gtest.h>

namespace giftest::codec {
namespace {

using Codes = std::vector<std::pair<int, int>>;
const std::vector<std::string> kNoWarnings;

// The codes of encoded image data, read with the decoder's code size rules.
std::vector<int> ParseCodes(const std::vector<uint8_t>& encoded) {
    std::vector<uint8_t> data;
    for (size_t i = 1; i < encoded.size() && encoded[i] != 0; i += 1 + encoded[i])
        data.insert(data.end(), encoded.begin() + long(i + 1),
                    encoded.begin() + long(i + 1 + encoded[i]));
    const int s = encoded[0], K = 1 << s;
    int n = s + 1, F = K + 2;
    bool afterClear = true;
    std::vector<int> codes;
    for (size_t bit = 0; bit + size_t(n) <= data.size() * 8;) {
        int code = 0;
        for (int b = 0; b < n; ++b, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << b;
        codes.push_back(code);
        if (code == K + 1) break;
        if (code == K) {
            n = s + 1;
            F = K + 2;
            afterClear = true;
            continue;
        }
        if (!afterClear && F <= 4095 && ++F >= (1 << n) && n < 12) ++n;
        afterClear = false;
    }
    return codes;
}

TEST(SubBlockWriter, SixHundredBytesMakeThreeSubBlocks) {
    gif::TMemoryStream out;
    {
        gif::TGIFWriter writer(out);
        std::vector<uint8_t> bytes(600);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = uint8_t(i);
        // In pieces that straddle the block boundaries.
        writer.Write(bytes.data(), 100);
        writer.Write(bytes.data() + 100, 400);
        writer.Write(bytes.data() + 500, 100);
        writer.Close();
    }
    const std::vector<uint8_t>& b = out.Bytes();
    ASSERT_EQ(b.size(), 603u);
    EXPECT_EQ(b[0], 255);
    EXPECT_EQ(b[256], 255);
    EXPECT_EQ(b[512], 90);
    EXPECT_EQ(b[513], uint8_t(510));
    EXPECT_EQ(b[602], uint8_t(599));

    // A whole number of sub-blocks leaves no empty one behind.
    gif::TMemoryStream exact;
    gif::TGIFWriter writer(exact);
    std::vector<uint8_t> bytes(510, 7);
    writer.Write(bytes.data(), bytes.size());
    writer.Close();
    EXPECT_EQ(exact.Bytes().size(), 512u);

    // Reading or seeking through it is refused.
    uint8_t byte;
    EXPECT_THROW(writer.Read(&byte, 1), gif::GIFException);
    EXPECT_THROW(writer.Seek(0, gif::TSeekOrigin::soBeginning), gif::GIFException);
    gif::TGIFStream plain(exact);
    EXPECT_THROW(plain.Write(&byte, 1), gif::GIFException);
}

TEST(EncodeImageData, CodeSizeByteAndBlankFrames) {
    Frame twoColors{4, 1, 1, false, {0, 1, 1, 0}};
    std::vector<uint8_t> bytes = Encode(twoColors, gif::emLZW);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(Encode(twoColors, gif::emRLE)[0], 2);
    Frame colors16{4, 1, 4, false, {0, 15, 1, 0}};
    EXPECT_EQ(Encode(colors16, gif::emLZW)[0], 4);

    // A frame without pixels holds only the end code.
    gif::TMemoryStream out;
    gif::EncodeImageData(out, {nullptr, 10, 10, false, 8, 256}, gif::emLZW);
    EXPECT_EQ(out.Bytes(), Bytes({8, 2, 0x01, 0x01, 0}));
}

TEST(EncodeImageData, LZWClearsWhenTheNextCodeReaches4095) {
    std::mt19937 rng(3);
    Frame f = RandomFrame(rng, 300, 300, 8, false);
    std::vector<int> codes = ParseCodes(Encode(f, gif::emLZW));
    ASSERT_EQ(codes.back(), 257);
    std::vector<size_t> clears;
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_LE(codes[i], 4094);
        if (codes[i] == 256) clears.push_back(i);
    }
    ASSERT_GE(clears.size(), 3u);
    EXPECT_EQ(clears[0], 0u);
    // Codes K + 2 .. 4094 are assigned, one per code sent, then the next code sent clears.
    for (size_t i = 1; i < clears.size(); ++i)
        EXPECT_EQ(clears[i] - clears[i - 1] - 1, size_t(4094 - 256));
    EXPECT_EQ(Decode(Encode(f, gif::emLZW), 300, 300, false).Pixels, f.Pixels);
}

TEST(EncodeImageData, RunLengthOutputUsesRunCodes) {
    Frame flat{400, 300, 8, false, std::vector<uint8_t>(120000, 9)};
    std::vector<uint8_t> bytes = Encode(flat, gif::emRLE);
    std::vector<int> codes = ParseCodes(bytes);
    // About sqrt(2 * 120000) codes per clear cycle, far fewer than pixels.
    EXPECT_LT(codes.size(), 2000u);
    EXPECT_EQ(Decode(bytes, 400, 300, false).Pixels, flat.Pixels);
}

TEST(DecodeImageData, EndCodeBeforeTheLastPixel) {
    // K 1 E at 3 bits: one pixel, then the end; the next block of the file stays unread.
    std::vector<uint8_t> bytes = ImageData(2, PackCodes({{4, 3}, {1, 3}, {5, 3}}));
    const size_t end = bytes.size();
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});
    DecodeResult r = Decode(bytes, 2, 2, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(r.Warnings, kNoWarnings);
    EXPECT_EQ(r.Position, int64_t(end));

    // The end code in a sub-block with more after it: the rest is skipped to the terminator.
    std::vector<uint8_t> data = PackCodes({{4, 3}, {2, 3}, {5, 3}});
    data.insert(data.end(), {0xAA, 0xBB, 0xCC});
    bytes = ImageData(2, data, 2);
    bytes.push_back(0x3B);
    r = Decode(bytes, 3, 3, true);
    EXPECT_EQ(r.Pixels[0], 2);
    EXPECT_EQ(r.Pixels[1], 0xEE);
    EXPECT_EQ(r.Position, int64_t(bytes.size() - 1));
}

TEST(DecodeImageData, DataWithoutClearCodeOrTerminator) {
    // 1, 2, then code 6 = "1 2" (defined by the second code), then 4-bit codes.
    std::vector<uint8_t> bytes = ImageData(2, PackCodes({{1, 3}, {2, 3}, {6, 3}, {3, 4}, {5, 4}}));
    DecodeResult r = Decode(bytes, 5, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 2, 1, 2, 3}));
    EXPECT_EQ(r.Warnings, kNoWarnings);
    EXPECT_EQ(r.Position, int64_t(bytes.size()));

    // Without the terminator the data just ends; nothing is read past it, and the end
    // of the stream where the terminator belonged is told.
    bytes = ImageData(2, PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}}), 255, /*terminator=*/false);
    ASSERT_EQ(bytes.size(), 4u);
    r = Decode(bytes, 5, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 2, 3, 0xEE, 0xEE}));
    EXPECT_EQ(r.Warnings, std::vector<std::string>{gif::msg::MissingBlockTerminator});
    EXPECT_EQ(r.Position, int64_t(bytes.size()));
}

TEST(DecodeImageData, FullTableWithoutClearKeeps12BitCodes) {
    // Literals only: each new code after the first defines entry F = (previous, this).
    std::mt19937 rng(11);
    Codes codes{{4, 3}};
    std::vector<uint8_t> expected;
    std::vector<int> literals;
    int n = 3, F = 6;
    for (int i = 0; i < 4200; ++i) {
        int c = int(rng() % 4);
        codes.push_back({c, n});
        literals.push_back(c);
        expected.push_back(uint8_t(c));
        if (i > 0 && F <= 4095 && ++F >= (1 << n) && n < 12) ++n;
    }
    ASSERT_EQ(n, 12);
    ASSERT_EQ(F, 4096);
    // Entry 4095 was defined by literal number 4095 - 6 + 1 and its predecessor.
    const int at = 4095 - 6 + 1;
    codes.push_back({4095, 12});
    expected.push_back(uint8_t(literals[at - 1]));
    expected.push_back(uint8_t(literals[at]));
    codes.push_back({5, 12});
    std::vector<uint8_t> bytes = ImageData(2, PackCodes(codes));
    DecodeResult r = Decode(bytes, int(expected.size()), 1, false);
    EXPECT_EQ(r.Pixels, expected);
    EXPECT_EQ(r.Warnings, kNoWarnings);
    EXPECT_EQ(r.Position, int64_t(bytes.size()));
}

TEST(DecodeImageData, UnderrunAndShortSubBlock) {
    // K 1 and then the terminator while pixels are still wanted.
    std::vector<uint8_t> bytes = ImageData(2, PackCodes({{4, 3}, {1, 3}}));
    DecodeResult r = Decode(bytes, 4, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(r.Warnings, std::vector<std::string>(2, gif::msg::BitBufferUnderrun));
    EXPECT_EQ(r.Position, int64_t(bytes.size()));

    // A sub-block that promises 10 bytes and holds 2: the two are used.
    std::vector<uint8_t> data = PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 4}});
    ASSERT_EQ(data.size(), 2u);
    bytes = {2, 10, data[0], data[1]};
    r = Decode(bytes, 4, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 2, 3, 0xEE}));
    EXPECT_EQ(r.Warnings, (std::vector<std::string>{gif::msg::PrematureEnd,
                                                    gif::msg::MissingBlockTerminator}));
    EXPECT_EQ(r.Position, 4);
}

// Data that stops right after the last pixel's code, without the end code (gifsicle
// leaves it out where it would start another byte), is whole: no warning, and read up to
// its terminator. Data that stops before the last pixel still warns.
TEST(DecodeImageData, EndCodeLeftOutAfterTheLastPixel) {
    std::vector<uint8_t> bytes = ImageData(2, PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 4}}));
    DecodeResult r = Decode(bytes, 4, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 2, 3, 0}));
    EXPECT_EQ(r.Warnings, kNoWarnings);
    EXPECT_EQ(r.Position, int64_t(bytes.size()));
    r = Decode(bytes, 5, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 2, 3, 0, 0xEE}));
    EXPECT_FALSE(r.Warnings.empty());
    r = Decode(bytes, 2, 2, true);
    EXPECT_EQ(r.Warnings, kNoWarnings);
}

TEST(DecodeImageData, OneByteSubBlocksWithLongCodes) {
    std::mt19937 rng(1);
    Frame f = RandomFrame(rng, 200, 100, 8, false);
    std::vector<uint8_t> encoded = Encode(f, gif::emLZW);
    std::vector<uint8_t> data;
    for (size_t i = 1; encoded[i] != 0; i += 1 + encoded[i])
        data.insert(data.end(), encoded.begin() + long(i + 1),
                    encoded.begin() + long(i + 1 + encoded[i]));
    std::vector<uint8_t> bytes = ImageData(8, data, 1);
    DecodeResult r = Decode(bytes, 200, 100, false);
    EXPECT_EQ(r.Pixels, f.Pixels);
    EXPECT_EQ(r.Warnings, kNoWarnings);
    EXPECT_EQ(r.Position, int64_t(bytes.size()));
}

TEST(DecodeImageData, CodeSizesAndBrokenTables) {
    // Missing code size byte: pixels untouched, nothing read.
    EXPECT_EQ(Decode({}, 2, 1, false).Pixels, Bytes({0xEE, 0xEE}));
    // Above 11 the table cannot hold the clear code.
    DecodeResult r = Decode(ImageData(12, {0, 0}), 2, 1, false);
    EXPECT_EQ(r.Error, gif::msg::UnsupportedCodeSize);
    EXPECT_EQ(r.Position, 1);
    // Code size 1: K = 2, E = 3, codes of 2 bits.
    r = Decode(ImageData(1, PackCodes({{2, 2}, {1, 2}, {0, 2}, {3, 3}})), 2, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({1, 0}));
    EXPECT_EQ(r.Error, "");
    // Code size 11: 12-bit codes from the start.
    r = Decode(ImageData(11, PackCodes({{2048, 12}, {300, 12}, {2049, 12}})), 1, 1, false);
    EXPECT_EQ(r.Pixels, Bytes({300 & 0xFF}));
    // An entry whose prefix is itself: after K 1, code 7 is beyond the next free code
    // (6) and becomes the previous code; the next 7 (now the next free code) defines
    // entry 7 with prefix 7, and the 4-bit 7 after it walks into the loop.
    r = Decode(ImageData(2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {7, 3}, {7, 4}})), 20, 1, false);
    EXPECT_EQ(r.Error, gif::msg::CircularTableEntry);
}

TEST(DecodeImageData, InterlacedSmallHeightsAreFilled) {
    std::mt19937 rng(8);
    for (int height : {1, 2, 3, 4, 5, 6, 7, 8, 9}) {
        Frame f = RandomFrame(rng, 3, height, 2, true);
        DecodeResult r = Decode(Encode(f, gif::emLZW), 3, height, true);
        EXPECT_EQ(r.Pixels, f.Pixels) << height;
    }
    // Rows arrive as 0, 4, 2, 1, 3 for height 5.
    Frame f{1, 5, 3, true, {0, 1, 2, 3, 4}};
    std::vector<int> codes = ParseCodes(Encode(f, gif::emLZW));
    EXPECT_EQ(std::vector<int>(codes.begin() + 1, codes.end() - 1),
              std::vector<int>({0, 4, 2, 1, 3}));
}

TEST(HashTable, InsertLookupAndClear) {
    gif::THashTable table;
    EXPECT_EQ(table.Lookup(5), -1);
    for (uint32_t key = 0; key < 4000; ++key)
        table.Insert(key * 263 % 1048000, int(key));
    for (uint32_t key = 0; key < 4000; ++key)
        EXPECT_EQ(table.Lookup(key * 263 % 1048000), int(key));
    EXPECT_EQ(table.Lookup(1048001), -1);
    table.Clear();
    EXPECT_EQ(table.Lookup(263), -1);
    EXPECT_EQ(gif::THashTable::NextSlot(0), 8008);
    EXPECT_EQ(gif::THashTable::NextSlot(5000), 1991);
    EXPECT_EQ(gif::THashTable::NextSlot(100), 200);
}

TEST(HashTable, KeysCrowdedIntoOneProbeCycleStillEnd) {
    // Doubling modulo 8009 keeps a probe in the 4004 slots of its start's cycle; fill more
    // than that with keys whose slots all lie in the cycle of slot 1.
    std::vector<bool> inCycle(8009, false);
    for (int s = 1, i = 0; i < 4004; ++i, s = gif::THashTable::NextSlot(s))
        inCycle[size_t(s)] = true;
    std::vector<uint32_t> keys;
    for (uint32_t key = 0; keys.size() < 4090; ++key)
        if (inCycle[size_t(gif::THashTable::Slot(key))]) keys.push_back(key);
    gif::THashTable table;
    for (size_t i = 0; i < keys.size(); ++i)
        table.Insert(keys[i], int(i));
    for (size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(table.Lookup(keys[i]), int(i));
    EXPECT_EQ(table.Lookup(keys.back() + 1000000), -1);
}

TEST(RunCost, MatchesCountingTheCodes) {
    for (int64_t x = 0; x < 5000; ++x) {
        int64_t r = gif::IntegerRoot(x);
        EXPECT_LE(std::llabs(r - int64_t(std::sqrt(double(x)))), 1) << x;
    }
    EXPECT_EQ(gif::IntegerRoot(int64_t(4294836225)), 65535);
    // Runs of 1, 2, 3, ... pixels, at most m codes per clear cycle.
    for (int64_t m : {5, 13, 3837}) {
        for (int64_t n = 1; n < 40000; n += (n < 200 ? 1 : 97)) {
            int64_t codes = 0, left = n, k = 1;
            while (left > 0) {
                left -= std::min(left, k);
                ++codes;
                k = k == m ? 1 : k + 1;
            }
            ASSERT_EQ(gif::RunCodeCost(n, m), codes) << n << " " << m;
        }
    }
}

} // namespace
} // namespace giftest::codec
