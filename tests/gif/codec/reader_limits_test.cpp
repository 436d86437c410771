// Bounds on what reading a file may allocate, and large counts of frames and blocks.
#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/model/image.h"
#include "gif/model/text_extensions.h"
#include "gif/test_util.h"

using namespace gif;
using giftest::GifBuilder;

namespace {

// `count` frames of width x height whose image data ends right after a clear code.
std::vector<uint8_t> HollowFrames(int count, int width, int height, bool interlaced = false) {
    GifBuilder gif(width, height, {0, 0xFFFFFF});
    for (int i = 0; i < count; ++i) {
        gif.Raw({0x2C}).Word(0).Word(0).Word(width).Word(height).Raw({interlaced ? 0x40 : 0});
        gif.Raw({2, 1, 0x04, 0});
    }
    return gif.Trailer().Bytes;
}

std::string LoadError(TGIFImage& image, const std::vector<uint8_t>& bytes) {
    TMemoryStream in(bytes);
    try {
        image.LoadFromStream(in);
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ReaderLimits, DecodedPixelsOfTheWholeImageAreBounded) {
    struct Case {
        int Frames, Width, Height;
        int64_t Limit;
        int FramesKept; // -1: loads completely
    };
    const Case cases[] = {
        {10, 10, 10, 1000, -1},   // exactly the limit
        {11, 10, 10, 1000, 10},   // one frame too many: the frames before it stay
        {3, 40, 40, 1000, 0},     // the first frame alone is too large
        {2, 30, 20, 1200, -1},
    };
    for (const Case& c : cases) {
        TGIFImage image;
        image.MaxImagePixels = c.Limit;
        std::string error = LoadError(image, HollowFrames(c.Frames, c.Width, c.Height));
        if (c.FramesKept < 0) {
            EXPECT_EQ(error, "") << c.Frames;
            EXPECT_EQ(image.FrameCount(), c.Frames);
            EXPECT_EQ(image.DecodedPixels(), int64_t(c.Frames) * c.Width * c.Height);
        } else {
            EXPECT_EQ(error, "Image exceeds the limit of " + std::to_string(c.Limit) +
                                 " decoded pixels")
                << c.Frames;
            EXPECT_EQ(image.FrameCount(), c.FramesKept);
        }
    }
    // Each read counts afresh.
    TGIFImage image;
    image.MaxImagePixels = 100;
    EXPECT_EQ(LoadError(image, HollowFrames(1, 10, 10)), "");
    EXPECT_EQ(LoadError(image, HollowFrames(1, 10, 10)), "");
    EXPECT_EQ(TGIFImage().MaxImagePixels, int64_t(1) << 31);
}

TEST(ReaderLimits, HollowGiantFramesAreRefusedByTheDefaultLimit) {
    // 30 frames of 16000 x 16000 in a few hundred bytes would need 7.7 GB. The first eight
    // fit under 2 GiB; their pages are never written, so they cost no memory.
    for (bool interlaced : {false, true}) {
        TGIFImage image;
        std::vector<uint8_t> bytes = HollowFrames(30, 16000, 16000, interlaced);
        EXPECT_LT(bytes.size(), 500u);
        EXPECT_EQ(LoadError(image, bytes), "Image exceeds the limit of 2147483648 decoded pixels");
        ASSERT_EQ(image.FrameCount(), 8);
        EXPECT_EQ(image.Frame(7)->PixelAt(15999, 15999), 0);
    }
}

TEST(ReaderLimits, ManyFramesAndBlocksRoundTrip) {
    // Counts that took time in the square of the count before: freeing lists from the
    // front, and the screen bit depth worked out anew for every frame written.
    GifBuilder gif(1, 1, {0, 0xFFFFFF});
    for (int i = 0; i < 5000; ++i)
        gif.Comment("c");
    for (int i = 0; i < 5000; ++i)
        gif.Image(0, 0, 1, 1, {uint8_t(i & 1)});
    TGIFImage image;
    TMemoryStream in(gif.Trailer().Bytes);
    image.LoadFromStream(in);
    ASSERT_EQ(image.FrameCount(), 5000);
    EXPECT_EQ(image.Frame(0)->Blocks().ItemCount(), 5000);
    TMemoryStream out;
    image.SaveToStream(out);
    out.SetPosition(0);
    TGIFImage again;
    again.LoadFromStream(out);
    ASSERT_EQ(again.FrameCount(), 5000);
    EXPECT_EQ(again.Frame(4999)->PixelAt(0, 0), 1);
    EXPECT_EQ(again.Frame(0)->Blocks().ItemCount(), 5000);
    again.ResetImage();
    EXPECT_EQ(again.FrameCount(), 0);
}

TEST(ReaderLimits, DeleteAllFreesFirstToLastFromAnEmptyList) {
    struct Probe : TGIFItem {
        std::vector<std::pair<int, int>>* Log;
        TGIFList* List;
        int Id;
        Probe(std::vector<std::pair<int, int>>* log, TGIFList* list, int id)
            : TGIFItem(nullptr), Log(log), List(list), Id(id) {}
        ~Probe() override { Log->push_back({Id, List->ItemCount()}); }
        void SaveToStream(TStream&) override {}
        void LoadFromStream(TStream&) override {}
    };
    struct List : TGIFList {
        List() : TGIFList(nullptr) {}
        void LoadFromStream(TStream&, TObject*) override {}
    } list;
    std::vector<std::pair<int, int>> log;
    for (int i = 0; i < 4; ++i)
        list.Append(std::make_unique<Probe>(&log, &list, i));
    list.DeleteAll();
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
}

TEST(ReaderLimits, ReadingCanStopAfterTheFirstFrames) {
    // Three frames, the third of which is too large, and no trailer: a reader that wants
    // the first frames only sees neither fault.
    GifBuilder gif(4, 4, {0, 0xFFFFFF});
    gif.Image(0, 0, 4, 4, std::vector<uint8_t>(16, 1));
    gif.Image(0, 0, 2, 2, {1, 0, 0, 1});
    gif.Image(0, 0, 8, 8, std::vector<uint8_t>(64, 0));
    const std::vector<uint8_t> bytes = gif.Bytes;
    for (int wanted : {1, 2}) {
        TGIFImage image;
        image.MaxImagePixels = 40;
        int warnings = 0;
        image.WarningHandler = [&](TObject*, uint8_t, const std::string&) { ++warnings; };
        image.MaxFramesRead = wanted;
        EXPECT_EQ(LoadError(image, bytes), "") << wanted;
        ASSERT_EQ(image.FrameCount(), wanted);
        EXPECT_EQ(image.Frame(0)->PixelAt(3, 3), 1);
        EXPECT_EQ(warnings, 0) << wanted;
    }
    TGIFImage whole;
    whole.MaxImagePixels = 40;
    EXPECT_NE(LoadError(whole, bytes), "");
    whole.MaxImagePixels = TGIFImage::DefaultMaxImagePixels;
    int warnings = 0;
    whole.WarningHandler = [&](TObject*, uint8_t, const std::string&) { ++warnings; };
    EXPECT_EQ(LoadError(whole, bytes), "");
    EXPECT_EQ(whole.FrameCount(), 3);
    EXPECT_EQ(warnings, 1); // the missing trailer
}
