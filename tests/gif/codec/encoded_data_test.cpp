// Kept image data: a frame read from a file or written once keeps its compressed bytes, and
// writing it again copies them while nothing they encode has changed. Every way of changing
// a frame must leave a file equal to a full encode of the same model.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>

#include "gif/base/exception.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/test_util.h"

namespace {

using namespace gif;
using giftest::GifBuilder;

std::vector<uint8_t> Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.TakeBytes();
}

std::unique_ptr<TGIFImage> Load(const std::vector<uint8_t>& bytes) {
    auto image = std::make_unique<TGIFImage>();
    TMemoryStream stream(bytes);
    image->LoadFromStream(stream);
    return image;
}

// The file a writer makes of `image` without any kept bytes: a copy with all of them dropped.
std::vector<uint8_t> FullEncode(const TGIFImage& image) {
    TGIFImage copy;
    copy.Assign(&image);
    copy.EncodingMethod = image.EncodingMethod;
    for (int i = 0; i < copy.FrameCount(); ++i) copy.Frame(i)->DropEncodedData();
    return Save(copy);
}

// Three frames: a 16-colour global table, one frame with a 4-colour local table and
// interlaced rows, delays on every frame.
std::unique_ptr<TGIFImage> Sample() {
    auto image = std::make_unique<TGIFImage>();
    for (int c = 0; c < 16; ++c) image->GlobalColorMap().AppendColor(RGB(uint8_t(c * 16), 40, uint8_t(255 - c * 16)));
    for (int f = 0; f < 3; ++f) {
        std::vector<uint8_t> pixels(size_t(40) * 30);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i / 7 + i / 40 * f) % (f == 1 ? 4 : 16));
        TGIFSubImage& frame = giftest::AddFrame(*image, f * 3, f * 2, 40, 30, pixels);
        auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
        control->SetDelayTime(10 + f);
        frame.Blocks().Add(std::move(control));
        if (f == 1) {
            for (int c = 0; c < 4; ++c) frame.LocalTable().AppendColor(RGB(uint8_t(c * 60), 200, 10));
            frame.SetInterlaced(true);
        }
    }
    return image;
}

struct Mutation {
    std::string Name;
    std::function<void(TGIFImage&)> Apply;
};

const std::vector<Mutation>& Mutations() {
    static const std::vector<Mutation> all = {
        {"nothing", [](TGIFImage&) {}},
        {"delay changed", [](TGIFImage& i) { i.Frame(0)->ControlBlock()->SetDelayTime(77); }},
        {"pixel through Pixels", [](TGIFImage& i) { i.Frame(0)->Pixels()[5] ^= 1; }},
        {"pixel through PixelData", [](TGIFImage& i) { i.Frame(2)->PixelData()[1199] = 15; }},
        {"row through RowAt", [](TGIFImage& i) { i.Frame(1)->RowAt(3)[0] = 3; }},
        {"frame narrowed", [](TGIFImage& i) { i.Frame(0)->SetFrameWidth(39); }},
        {"frame made taller", [](TGIFImage& i) { i.Frame(2)->SetFrameHeight(31); }},
        {"pixels reallocated", [](TGIFImage& i) { i.Frame(0)->AllocatePixels(); }},
        {"interlacing switched on", [](TGIFImage& i) { i.Frame(0)->SetInterlaced(true); }},
        {"interlacing switched off", [](TGIFImage& i) { i.Frame(1)->SetInterlaced(false); }},
        {"local table past a power of two",
         [](TGIFImage& i) { i.Frame(1)->LocalTable().AppendColor(clWhite); }},
        {"local table added", [](TGIFImage& i) {
             for (int c = 0; c < 32; ++c) i.Frame(0)->LocalTable().AppendColor(RGB(uint8_t(c), 0, 0));
         }},
        {"local table emptied", [](TGIFImage& i) { i.Frame(1)->LocalTable().RemoveAll(); }},
        {"global table grown", [](TGIFImage& i) {
             for (int c = 0; c < 20; ++c) i.GlobalColorMap().AppendColor(RGB(0, uint8_t(c), 0));
         }},
        {"global table shrunk below a pixel", [](TGIFImage& i) {
             while (i.GlobalColorMap().EntryCount() > 8) i.GlobalColorMap().DeleteAt(8);
         }},
        {"local table sorted by use", [](TGIFImage& i) { i.Frame(1)->LocalTable().SortByUse(); }},
        {"run-length encoding", [](TGIFImage& i) { i.EncodingMethod = emRLE; }},
        {"look-ahead parse", [](TGIFImage& i) { i.Frame(2)->SetLookaheadHint(1); }},
        {"smaller code size asked", [](TGIFImage& i) { i.Frame(1)->SetCodeSizeHint(2); }},
        {"frame copied over another", [](TGIFImage& i) { i.Frame(2)->CopyFrom(*i.Frame(1)); }},
        {"frame reset", [](TGIFImage& i) { i.Frame(0)->ResetFrame(); }},
        {"frame moved", [](TGIFImage& i) { i.Frame(0)->SetFrameLeft(9); }},
    };
    return all;
}

// Saves `image` after `mutation` and checks the file against a full encode, byte for byte
// (or the same error).
void ExpectSameAsFullEncode(TGIFImage& image, const Mutation& mutation) {
    mutation.Apply(image);
    std::string keptError, fullError;
    std::vector<uint8_t> kept, full;
    try { full = FullEncode(image); } catch (const GIFException& e) { fullError = e.what(); }
    try { kept = Save(image); } catch (const GIFException& e) { keptError = e.what(); }
    EXPECT_EQ(keptError, fullError) << mutation.Name;
    EXPECT_TRUE(kept == full) << mutation.Name;
}

TEST(EncodedData, EveryChangeWritesWhatAFullEncodeWrites) {
    const std::vector<uint8_t> file = Save(*Sample());
    for (const Mutation& mutation : Mutations()) {
        // Bytes kept from reading the file.
        auto read = Load(file);
        ASSERT_NE(read->Frame(1)->EncodedData(), nullptr);
        ExpectSameAsFullEncode(*read, mutation);
        // Bytes kept from a write, then changed and written again.
        auto written = Sample();
        Save(*written);
        ASSERT_NE(written->Frame(0)->EncodedData(), nullptr);
        ExpectSameAsFullEncode(*written, mutation);
    }
}

TEST(EncodedData, PropertyEditsKeepTheBytesAndPixelWritesDropThem) {
    auto image = Load(Save(*Sample()));
    const TEncodedImageData* kept = image->Frame(0)->EncodedData();
    ASSERT_NE(kept, nullptr);
    image->Frame(0)->ControlBlock()->SetDelayTime(3);
    image->Frame(0)->SetFrameTop(4);
    (void)std::as_const(*image->Frame(0)).Pixels();
    (void)image->Frame(0)->PixelAt(2, 2);
    Save(*image);
    EXPECT_EQ(image->Frame(0)->EncodedData(), kept);
    image->Frame(0)->Pixels();
    EXPECT_EQ(image->Frame(0)->EncodedData(), nullptr);
}

TEST(EncodedData, CopiesShareTheBytes) {
    auto image = Load(Save(*Sample()));
    TGIFImage copy;
    copy.Assign(image.get());
    EXPECT_EQ(copy.Frame(1)->EncodedData(), image->Frame(1)->EncodedData());
    copy.Frame(1)->Pixels()[0] = 2;   // the copy's change leaves the original's bytes alone
    EXPECT_EQ(copy.Frame(1)->EncodedData(), nullptr);
    EXPECT_NE(image->Frame(1)->EncodedData(), nullptr);
}

TEST(EncodedData, AnotherEncodersDataIsCopiedAsItIs) {
    // Plain LZW with a clear code every few codes: valid, and nothing our encoder writes.
    std::vector<uint8_t> pixels(64);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i % 3);
    const std::vector<uint8_t> data = giftest::PlainLZW(pixels, 2);
    GifBuilder file(8, 8, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00});
    file.Raw({0x2C}).Word(0).Word(0).Word(8).Word(8).Raw({0}).Raw(data).Trailer();
    auto image = Load(file.Bytes);
    const std::vector<uint8_t> out = Save(*image);
    EXPECT_NE(std::search(out.begin(), out.end(), data.begin(), data.end()), out.end());
    EXPECT_TRUE(out == Save(*Load(out)));   // and stays so

    image->EncodingMethod = emRLE;   // a method asked for is a method written
    const std::vector<uint8_t> rle = Save(*image);
    EXPECT_EQ(std::search(rle.begin(), rle.end(), data.begin(), data.end()), rle.end());
    EXPECT_TRUE(rle == FullEncode(*image));
}

TEST(EncodedData, DamagedDataIsEncodedAgainSoThatSavingRepairsIt) {
    std::vector<uint8_t> pixels(40, 1);   // 40 of the 64 pixels
    GifBuilder file(8, 8, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00});
    file.Raw({0x2C}).Word(0).Word(0).Word(8).Word(8).Raw({0}).Raw(giftest::PlainLZW(pixels, 2)).Trailer();
    auto image = Load(file.Bytes);
    EXPECT_EQ(image->Frame(0)->EncodedData(), nullptr);
    EXPECT_TRUE(Save(*image) == FullEncode(*image));

    // Cut after a whole sub-block: the terminator is missing.
    std::vector<uint8_t> many(64);
    for (size_t i = 0; i < many.size(); ++i) many[i] = uint8_t(i * 7 % 4);
    GifBuilder cut(8, 8, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00});
    std::vector<uint8_t> data = giftest::PlainLZW(many, 2);
    data.pop_back();
    cut.Raw({0x2C}).Word(0).Word(0).Word(8).Word(8).Raw({0}).Raw(data);
    auto truncated = std::make_unique<TGIFImage>();
    TMemoryStream stream(cut.Bytes);
    try { truncated->LoadFromStream(stream); } catch (const GIFException&) {}
    if (truncated->FrameCount() > 0) {
        EXPECT_EQ(truncated->Frame(0)->EncodedData(), nullptr);
    }
}

TEST(EncodedData, ATableThatNoLongerHoldsEveryPixelStillFails) {
    auto image = Load(Save(*Sample()));
    TGIFLocalColorMap& table = image->Frame(1)->LocalTable();
    table.DeleteAt(3);   // 3 entries: pixel value 3 is outside, the code size stays 2
    EXPECT_THROW(Save(*image), GIFException);
}

// Frames are compressed one after another into the same buffer of the writer: each keeps
// exactly its own bytes after a larger frame, and a frame that fails leaves in the file
// only the sub-blocks completed before its bad pixel, none of an earlier frame's.
TEST(EncodedData, EachFrameKeepsItsOwnBytesAfterALargerOne) {
    std::mt19937 rng(5);
    auto noise = [&](size_t count) {
        std::vector<uint8_t> pixels(count);
        for (uint8_t& p : pixels) p = uint8_t(rng() % 128);
        return pixels;
    };
    TGIFImage image;
    for (int c = 0; c < 128; ++c) image.GlobalColorMap().AppendColor(RGB(uint8_t(c * 2), uint8_t(c), 9));
    giftest::AddFrame(image, 0, 0, 200, 150, noise(200 * 150));
    giftest::AddFrame(image, 5, 5, 9, 7, noise(9 * 7));
    const std::vector<uint8_t> file = Save(image);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const TGIFSubImage& frame = std::as_const(*image.Frame(i));
        TMemoryStream alone;
        EncodeImageData(alone, FrameEncodeSource(frame, image.ScreenBitDepth()), emLZW);
        ASSERT_NE(frame.EncodedData(), nullptr);
        const std::span<const uint8_t> kept = frame.EncodedData()->Bytes();
        EXPECT_TRUE(std::vector<uint8_t>(kept.begin(), kept.end()) == alone.Bytes());
    }
    EXPECT_TRUE(Save(image) == file);   // the kept bytes, copied
    EXPECT_TRUE(file == FullEncode(image));

    // A third frame with a pixel outside the table well after its first sub-blocks.
    std::vector<uint8_t> bad = noise(100 * 100);
    bad[9000] = 200;
    TGIFSubImage& third = giftest::AddFrame(image, 0, 0, 100, 100, bad);
    TMemoryStream partial;
    EXPECT_THROW(EncodeImageData(partial, FrameEncodeSource(third, image.ScreenBitDepth()), emLZW),
                 GIFException);
    ASSERT_GT(partial.Bytes().size(), 255u);
    // The first two compressed again in the same write, so that the buffer has held more.
    image.Frame(0)->DropEncodedData();
    image.Frame(1)->DropEncodedData();
    TMemoryStream out;
    EXPECT_THROW(image.SaveToStream(out), GIFException);
    // The two frames as before (the file without its trailer), the descriptor, the part.
    const std::vector<uint8_t>& written = out.Bytes();
    ASSERT_EQ(written.size(), file.size() - 1 + 10 + partial.Bytes().size());
    EXPECT_TRUE(std::equal(file.begin(), file.end() - 1, written.begin()));
    EXPECT_TRUE(std::equal(partial.Bytes().begin(), partial.Bytes().end(),
                           written.end() - long(partial.Bytes().size())));
}

} // namespace
