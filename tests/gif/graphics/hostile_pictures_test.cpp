// Picture files that declare more than they hold are refused before anything is allocated
// or drawn.
#include <gtest/gtest.h>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/metafile.h"
#include "gif/hostile_files.h"

namespace gif {
namespace {

template <class TPicture> std::string LoadError(const std::vector<uint8_t>& bytes) {
    TPicture picture;
    TMemoryStream stream(bytes);
    try {
        picture.LoadFromStream(stream);
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

TEST(HostilePictures, MetafilesDeclaringHugePicturesAreRefused) {
    // 44 bytes asking for 16384 x 16384 pixels (a gigabyte at 32 bits, drawn three times).
    std::vector<uint8_t> huge = hostile::Metafile(16384, 16384, 1);
    EXPECT_EQ(huge.size(), 44u);
    EXPECT_EQ(LoadError<TMetafile>(huge), msg::BitmapTooLarge);
    EXPECT_EQ(LoadError<TMetafile>(hostile::Metafile(40000, 8, 1)), msg::BitmapTooLarge);
}

TEST(HostilePictures, MetafilesWithTooMuchDrawingAreRefused) {
    // A thousand records (24 KB) each filling a picture of 30 million pixels.
    EXPECT_EQ(LoadError<TMetafile>(hostile::Metafile(5000, 6000, 1000)), msg::MetafileTooComplex);
    // The same records on a small picture are fine.
    EXPECT_EQ(LoadError<TMetafile>(hostile::Metafile(100, 60, 1000)), "");
    // Records far outside the picture cost only what they cover.
    TMetafile offside;
    offside.SetWidth(10);
    offside.SetHeight(10);
    for (int i = 0; i < 1000; ++i)
        offside.AddFillRect(Rect(-2000000000, -2000000000, 2000000000, 2000000000), RGB(255, 0, 0));
    EXPECT_EQ(DrawingWork(offside.Records(), 10, 10), 1000 * (1 + 100));
}

TEST(HostilePictures, RunLengthBitmapsDeclaringHugePicturesAreRefused) {
    std::vector<uint8_t> huge = hostile::RunLengthBitmap(16384, 16384);
    EXPECT_LT(huge.size(), 1200u);
    EXPECT_EQ(LoadError<TBitmap>(huge), msg::BitmapTooLarge);
    EXPECT_EQ(LoadError<TBitmap>(hostile::RunLengthBitmap(20000, 2)), msg::BitmapTooLarge);
    // Within the limits the same data loads, the pixels it does not reach left 0.
    TBitmap bitmap;
    TMemoryStream stream(hostile::RunLengthBitmap(1000, 600));
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Width(), 1000);
    EXPECT_EQ(bitmap.PixelValue(0, 599), 1u);
    EXPECT_EQ(bitmap.PixelValue(500, 0), 0u);
}

} // namespace
} // namespace gif
