// Whole files through the reader and writer: the block structure around the image data.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/test_util.h"

using namespace gif;
using giftest::GifBuilder;
using giftest::WarningLog;

namespace {

const std::vector<uint32_t> kFour = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};

std::vector<uint8_t> Pixels(const TGIFSubImage& frame) {
    return {frame.Pixels(), frame.Pixels() + frame.PixelCount()};
}

struct Loaded {
    TGIFImage image;
    WarningLog log;
    int64_t endPosition = 0;
    explicit Loaded(const std::vector<uint8_t>& bytes) {
        log.Attach(image);
        TMemoryStream in(bytes);
        image.LoadFromStream(in);
        endPosition = in.Position();
    }
};

std::vector<uint8_t> Save(TGIFImage& image) {
    TMemoryStream out;
    image.SaveToStream(out);
    return out.Bytes();
}

} // namespace

TEST(GifReader, SignatureVariants) {
    GifBuilder plain(2, 1, kFour);
    plain.Image(0, 0, 2, 1, {1, 2}).Trailer();
    std::vector<uint8_t> prefixed = {1, 2, 3, 4};
    prefixed.insert(prefixed.end(), plain.Bytes.begin(), plain.Bytes.end());
    Loaded withLength(prefixed);
    EXPECT_EQ(withLength.image.FrameCount(), 1);

    GifBuilder lower(2, 1, kFour, "gif12x");
    lower.Image(0, 0, 2, 1, {1, 2}).Trailer();
    Loaded lowerCase(lower.Bytes);
    ASSERT_EQ(lowerCase.image.FrameCount(), 1);
    EXPECT_EQ(Pixels(*lowerCase.image.Frame(0)), (std::vector<uint8_t>{1, 2}));

    std::vector<uint8_t> bad = {'P', 'N', 'G', '8', '9', 'a', 0, 0, 0, 0, 'X', 'X', 0, 0, 0, 0, 0};
    TGIFImage image;
    TMemoryStream in(bad);
    try {
        image.LoadFromStream(in);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid GIF signature");
    }
    EXPECT_EQ(in.Position(), 0);
}

TEST(GifReader, ZeroBytesBetweenBlocksAndMissingTrailer) {
    GifBuilder gif(2, 2, kFour);
    gif.Raw({0, 0}).Image(0, 0, 2, 1, {1, 2}).Raw({0, 0, 0}).Image(0, 1, 2, 1, {3, 0});
    Loaded loaded(gif.Bytes);
    EXPECT_EQ(loaded.image.FrameCount(), 2);
    // Frames may have been lost behind the end: the missing trailer is worth a word.
    EXPECT_EQ(loaded.log.Messages(), std::vector<std::string>{"Missing Image trailer"});
    EXPECT_EQ(loaded.log.Entries[0].Sender, "TGIFTrailer");
    EXPECT_EQ(Pixels(*loaded.image.Frame(1)), (std::vector<uint8_t>{3, 0}));
}

// A file cut exactly between two data sub-blocks: every code read is whole, so only the
// missing block terminator (and trailer) tells that pixels were lost.
TEST(GifReader, FileCutBetweenSubBlocksWarns) {
    std::vector<uint8_t> pixels(600);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 7 / 5) % 4);
    GifBuilder gif(30, 20, kFour);
    gif.Image(0, 0, 30, 20, pixels).Trailer();
    // Header 13 + table 12 + descriptor 10, then the code size byte and the first
    // sub-block of 255 bytes: cut right behind it.
    const size_t dataStart = 13 + 12 + 10 + 1;
    ASSERT_EQ(gif.Bytes[dataStart], 255);
    std::vector<uint8_t> cut(gif.Bytes.begin(), gif.Bytes.begin() + long(dataStart + 256));
    Loaded loaded(cut);
    ASSERT_EQ(loaded.image.FrameCount(), 1);
    EXPECT_EQ(loaded.log.Messages(), (std::vector<std::string>{"Image data without block terminator",
                                                               "Missing Image trailer"}));
    EXPECT_EQ(loaded.log.Entries[0].Sender, "TGIFSubImage");
    std::vector<uint8_t> got = Pixels(*loaded.image.Frame(0));
    EXPECT_EQ(got.back(), 0); // never reached: the fill value

    // Cut behind the descriptor: not even the code size byte.
    std::vector<uint8_t> bare(gif.Bytes.begin(), gif.Bytes.begin() + long(dataStart - 1));
    Loaded descriptorOnly(bare);
    EXPECT_EQ(descriptorOnly.log.Messages(),
              (std::vector<std::string>{"Premature end of data", "Missing Image trailer"}));

    // The whole file, and a file whose data ends with the end code but lost its
    // terminator, which only misses that one byte.
    Loaded whole(gif.Bytes);
    EXPECT_TRUE(whole.log.Entries.empty());
    std::vector<uint8_t> noTerminator(gif.Bytes.begin(), gif.Bytes.end() - 2);
    Loaded almost(noTerminator);
    EXPECT_EQ(Pixels(*almost.image.Frame(0)), pixels);
    EXPECT_EQ(almost.log.Messages(), (std::vector<std::string>{"Image data without block terminator",
                                                               "Missing Image trailer"}));
}

TEST(GifReader, CommentAfterLastImageSurvivesInPlace) {
    GifBuilder gif(2, 1, kFour);
    gif.Control(5).Image(0, 0, 2, 1, {1, 2}).Comment("the end").Trailer();
    Loaded loaded(gif.Bytes);
    ASSERT_EQ(loaded.image.FrameCount(), 2);
    TGIFSubImage& blank = *loaded.image.Frame(1);
    EXPECT_TRUE(blank.IsBlank());
    ASSERT_EQ(blank.Blocks().ItemCount(), 1);
    auto* comment = dynamic_cast<TGIFCommentExtension*>(blank.Blocks().Extensions(0));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->CommentLines()[0], "the end");
    EXPECT_TRUE(loaded.log.Entries.empty());

    std::vector<uint8_t> saved = Save(loaded.image);
    Loaded again(saved);
    ASSERT_EQ(again.image.FrameCount(), 2);
    EXPECT_TRUE(again.image.Frame(1)->IsBlank());
    // The comment is written right before the trailer.
    std::vector<uint8_t> tail(saved.end() - 12, saved.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{0x21, 0xFE, 7, 't', 'h', 'e', ' ', 'e', 'n', 'd', 0, 0x3B}));
}

TEST(GifReader, UnknownBlockStopsReadingWithTwoWarnings) {
    GifBuilder gif(2, 1, kFour);
    gif.Image(0, 0, 2, 1, {1, 2}).Raw({0x99, 1, 2}).Trailer();
    Loaded loaded(gif.Bytes);
    EXPECT_EQ(loaded.image.FrameCount(), 1);
    EXPECT_EQ(loaded.log.Messages(),
              (std::vector<std::string>{"Unknown GIF block type", "Invalid Image trailer"}));
    EXPECT_EQ(loaded.log.Entries[0].Sender, "TGIFImageList");
    EXPECT_EQ(loaded.log.Entries[1].Sender, "TGIFTrailer");
}

TEST(GifReader, ZeroSizedImageTakesTheScreenSize) {
    GifBuilder gif(3, 2, kFour);
    gif.Image(0, 0, 0, 5, {1, 1, 1, 2, 2, 2}).Trailer();
    Loaded loaded(gif.Bytes);
    ASSERT_EQ(loaded.image.FrameCount(), 1);
    EXPECT_EQ(loaded.image.Frame(0)->FrameWidth(), 3);
    EXPECT_EQ(loaded.image.Frame(0)->FrameHeight(), 2);
    EXPECT_EQ(Pixels(*loaded.image.Frame(0)), (std::vector<uint8_t>{1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(loaded.log.Messages(), (std::vector<std::string>{"Image exceeds Logical Screen size"}));
}

TEST(GifReader, EarlyEndKeepsFillValueAndContinues) {
    // Transparent frame: the pixels not in the data keep the transparent index.
    GifBuilder gif(4, 1, kFour);
    gif.Control(0, 0, 3).Raw({0x2C}).Word(0).Word(0).Word(4).Word(1).Raw({0});
    gif.Raw(giftest::PlainLZW({1, 2}, 2));   // end code after two of four pixels
    gif.Image(0, 0, 4, 1, {0, 1, 2, 3}).Trailer();
    Loaded loaded(gif.Bytes);
    ASSERT_EQ(loaded.image.FrameCount(), 2);
    EXPECT_EQ(Pixels(*loaded.image.Frame(0)), (std::vector<uint8_t>{1, 2, 3, 3}));
    EXPECT_EQ(Pixels(*loaded.image.Frame(1)), (std::vector<uint8_t>{0, 1, 2, 3}));
    EXPECT_TRUE(loaded.log.Entries.empty());
}

TEST(GifReader, DataPastTheLastPixelIsSkipped) {
    // Some writers put codes after the last pixel; the frames after them must not be lost.
    GifBuilder gif(2, 1, kFour);
    gif.Raw({0x2C}).Word(0).Word(0).Word(2).Word(1).Raw({0});
    gif.Raw(giftest::PlainLZW(std::vector<uint8_t>(300, 1), 2));
    gif.Image(0, 0, 2, 1, {3, 2}).Trailer();
    Loaded loaded(gif.Bytes);
    ASSERT_EQ(loaded.image.FrameCount(), 2);
    EXPECT_EQ(Pixels(*loaded.image.Frame(0)), (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(Pixels(*loaded.image.Frame(1)), (std::vector<uint8_t>{3, 2}));
    EXPECT_TRUE(loaded.log.Entries.empty());
    EXPECT_EQ(loaded.endPosition, int64_t(gif.Bytes.size()));
}

TEST(GifReader, InterlacedSmallHeightsAreFilledCompletely) {
    for (int height : {1, 2, 3, 5, 9}) {
        // Rows in stream order: passes 0, 8, 16.. / 4, 12.. / 2, 6.. / 1, 3..
        std::vector<int> order;
        for (int start : {0, 4, 2, 1}) {
            int step = start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2;
            for (int y = start; y < height; y += step) order.push_back(y);
        }
        std::vector<uint8_t> stream;
        for (int y : order) stream.insert(stream.end(), {uint8_t(y % 4), uint8_t((y + 1) % 4)});
        GifBuilder gif(2, height, kFour);
        gif.Image(0, 0, 2, height, stream, 2, true).Trailer();
        Loaded loaded(gif.Bytes);
        ASSERT_EQ(loaded.image.FrameCount(), 1) << height;
        const TGIFSubImage& frame = *loaded.image.Frame(0);
        EXPECT_TRUE(frame.IsInterlaced());
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(frame.Pixels()[y * 2], y % 4) << height << " row " << y;
            EXPECT_EQ(frame.Pixels()[y * 2 + 1], (y + 1) % 4) << height << " row " << y;
        }
        // And back through the writer.
        Loaded again(Save(loaded.image));
        EXPECT_EQ(Pixels(*again.image.Frame(0)), Pixels(frame)) << height;
    }
}

TEST(GifReader, ErrorRestoresPositionAndKeepsFrames) {
    GifBuilder gif(2, 1, kFour);
    gif.Image(0, 0, 2, 1, {1, 2}).Raw({0x21, 0x55, 0, 0x3B});
    TGIFImage image;
    std::vector<int> ends;
    image.OnProgress = [&](TObject*, TProgressStage stage, uint8_t percent, bool, const TRect&,
                           const std::string& message) {
        EXPECT_EQ(message, "Loading...");
        if (stage == TProgressStage::psEnding) ends.push_back(percent);
    };
    std::vector<uint8_t> bytes = {7, 7, 7};
    bytes.insert(bytes.end(), gif.Bytes.begin(), gif.Bytes.end());
    TMemoryStream in(bytes);
    in.SetPosition(3);
    EXPECT_THROW(image.LoadFromStream(in), GIFException);
    EXPECT_EQ(in.Position(), 3);
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(ends, (std::vector<int>{0}));
}

TEST(GifReader, ShortColourTableIsAnError) {
    GifBuilder gif(2, 1);
    gif.Bytes[10] = 0x87;   // claims a 256-entry global table
    gif.Raw({1, 2, 3});
    TGIFImage image;
    TMemoryStream in(gif.Bytes);
    try {
        image.LoadFromStream(in);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Premature end of data");
    }
}

TEST(GifReader, TransparentFrameOfZeroSizeOnAnEmptyScreen) {
    // Found by the fuzzer: nothing to fill, but the image data must still be stepped over.
    GifBuilder gif(0, 0);
    gif.Control(0, 0, 3).Image(0, 0, 0, 0, {}).Image(0, 0, 1, 1, {1}).Trailer();
    Loaded loaded(gif.Bytes);
    ASSERT_EQ(loaded.image.FrameCount(), 2);
    EXPECT_TRUE(loaded.image.Frame(0)->IsBlank());
    EXPECT_EQ(loaded.image.Frame(1)->PixelAt(0, 0), 1);
}

TEST(GifReader, HugeFrameIsRefusedBeforeAllocating) {
    GifBuilder gif(1, 1, kFour);
    gif.Raw({0x2C}).Word(0).Word(0).Word(60000).Word(60000).Raw({0}).Raw(giftest::PlainLZW({1}, 2));
    TGIFImage image;
    image.MaxFramePixels = 1 << 20;
    TMemoryStream in(gif.Bytes);
    EXPECT_THROW(image.LoadFromStream(in), GIFException);
}

TEST(GifWriter, VersionFollowsFramesAndBlocks) {
    TGIFImage image;
    TMemoryStream out;
    try {
        image.SaveToStream(out);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Unsupported GIF version");
    }
    image.GlobalColorMap().AppendColor(clBlack);
    image.GlobalColorMap().AppendColor(clWhite);
    giftest::AddFrame(image, 0, 0, 2, 1, {0, 1});
    std::vector<uint8_t> bytes = Save(image);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    TGIFSubImage& second = giftest::AddFrame(image, 0, 0, 1, 1, {1});
    second.Blocks().Add(std::make_unique<TGIFGraphicControlExtension>(&second));
    bytes = Save(image);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
}

TEST(GifWriter, HeaderOnlyNeedsRaiseTheVersion) {
    TGIFImage image;
    image.GlobalColorMap().AppendColor(clBlack);
    image.GlobalColorMap().AppendColor(clWhite);
    giftest::AddFrame(image, 0, 0, 2, 1, {0, 1});
    image.Header().SetPixelAspect(49);
    std::vector<uint8_t> bytes = Save(image);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
}

TEST(GifWriter, ScreenFlagsAndCodeSizes) {
    TGIFImage image;
    for (int i = 0; i < 16; ++i) image.GlobalColorMap().AppendColor(RGB(uint8_t(i), 0, 0));
    TGIFSubImage& plain = giftest::AddFrame(image, 0, 0, 2, 1, {200, 1});
    TGIFSubImage& rich = giftest::AddFrame(image, 0, 0, 1, 1, {0});
    for (int i = 0; i < 256; ++i) rich.LocalTable().AppendColor(RGB(0, uint8_t(i), 0));
    std::vector<uint8_t> bytes = Save(image);
    // Global table present, resolution 7, size code 3 (16 entries).
    EXPECT_EQ(bytes[10], 0x80 | 0x70 | 0x03);
    size_t frame = 13 + 16 * 3;
    ASSERT_EQ(bytes[frame], 0x2C);
    EXPECT_EQ(bytes[frame + 9], 0);      // no local table
    EXPECT_EQ(bytes[frame + 10], 8);     // encoded with the image's largest depth
    Loaded loaded(bytes);
    EXPECT_EQ(Pixels(*loaded.image.Frame(0)), (std::vector<uint8_t>{200, 1}));
    (void)plain;

    // A pixel outside the colour limit of a frame with a local table.
    TGIFImage small;
    TGIFSubImage& frame2 = giftest::AddFrame(small, 0, 0, 2, 1, {0, 2});
    frame2.LocalTable().AppendColor(clBlack);
    frame2.LocalTable().AppendColor(clWhite);
    TMemoryStream out;
    try {
        small.SaveToStream(out);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color not in color table");
    }
}

TEST(GifWriter, TwoColourFrameUsesCodeSizeTwo) {
    TGIFImage image;
    TGIFSubImage& frame = giftest::AddFrame(image, 0, 0, 3, 1, {1, 0, 1});
    frame.LocalTable().AppendColor(clBlack);
    frame.LocalTable().AppendColor(clWhite);
    std::vector<uint8_t> bytes = Save(image);
    size_t descriptor = 13;
    ASSERT_EQ(bytes[descriptor], 0x2C);
    EXPECT_EQ(bytes[descriptor + 9], 0x80);   // local table, size code 0
    EXPECT_EQ(bytes[descriptor + 10 + 6], 2);
}

TEST(GifWriter, RoundTripKeepsEverything) {
    TGIFImage image;
    image.GlobalColorMap().AppendColor(clBlack);
    image.GlobalColorMap().AppendColor(clWhite);
    image.GlobalColorMap().AppendColor(RGB(1, 2, 3));
    image.Header().SetBackgroundIndex(2);
    std::vector<uint8_t> pixels(37 * 23);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 7 / 5) % 3);
    TGIFSubImage& a = giftest::AddFrame(image, 0, 0, 37, 23, pixels);
    auto loop = std::make_unique<TGIFAppExtNSLoop>(&a);
    loop->LoopCount = 3;
    a.Blocks().Add(std::move(loop));
    TGIFSubImage& b = giftest::AddFrame(image, 5, 6, 4, 4, std::vector<uint8_t>(16, 4));
    for (int i = 0; i < 5; ++i) b.LocalTable().AppendColor(RGB(uint8_t(i * 40), 9, 9));
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&b);
    gce->SetDelayTime(7);
    gce->SetDisposalCode(2);
    gce->SetTransparentFlag(true);
    gce->SetTransparentIndex(4);
    b.Blocks().Add(std::move(gce));

    for (TEncodingMethod method : {emLZW, emRLE}) {
        image.EncodingMethod = method;
        std::vector<uint8_t> bytes = Save(image);
        Loaded loaded(bytes);
        EXPECT_EQ(loaded.log.Messages(), std::vector<std::string>{}) << int(method);
        EXPECT_EQ(loaded.endPosition, int64_t(bytes.size()));
        ASSERT_EQ(loaded.image.FrameCount(), 2);
        EXPECT_EQ(loaded.image.Header().BackgroundIndex(), 2);
        std::vector<uint8_t> got = Pixels(*loaded.image.Frame(0));
        ASSERT_EQ(got.size(), pixels.size());
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], pixels[i]) << "pixel " << i << " method " << int(method);
        const TGIFSubImage& lb = *loaded.image.Frame(1);
        EXPECT_EQ(lb.FrameLeft(), 5);
        EXPECT_EQ(lb.LocalTable().EntryCount(), 8);   // padded in the file
        EXPECT_TRUE(lb.IsTransparent());
        EXPECT_EQ(lb.ControlBlock()->DelayTime(), 7);
        EXPECT_EQ(lb.ControlBlock()->DisposalCode(), 2);
        EXPECT_EQ(Pixels(lb), std::vector<uint8_t>(16, 4));
        // Writing what was read gives the same bytes.
        loaded.image.EncodingMethod = method;
        EXPECT_EQ(Save(loaded.image), bytes);
    }
}

TEST(GifFile, FailedSaveLeavesTheOldFile) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("gif-save-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path target = dir / "kept.gif";
    {
        std::ofstream(target) << "old contents";
    }
    TGIFImage empty;   // no frames: writing fails
    EXPECT_THROW(empty.SaveToFile(target.string()), GIFException);
    std::ifstream in(target);
    std::string contents((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(contents, "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    TGIFImage image;
    giftest::AddFrame(image, 0, 0, 1, 1);
    image.SaveToFile(target.string());
    TGIFImage loaded;
    loaded.LoadFromFile(target.string());
    EXPECT_EQ(loaded.FrameCount(), 1);
    EXPECT_THROW(loaded.LoadFromFile((dir / "missing.gif").string()), EStreamError);
    fs::remove_all(dir);
}
