// Damaged, oversized and hostile files give the imaging control an error code quickly and
// without a large allocation, and its calling order holds around failures.
#include "gif/graphics/bitmap.h"
#include "io/picture_loader.h"
#include "io/xpress/xpress.h"
#include "io_test_util.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

using namespace gif;
using iotest::Quote;

namespace {

void Put16BE(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}
void Put16LE(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32BE(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16BE(b, at, int(v >> 16));
    Put16BE(b, at + 2, int(v & 0xFFFF));
}
void Put32LE(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16LE(b, at, int(v & 0xFFFF));
    Put16LE(b, at + 2, int(v >> 16));
}

// Position of the first frame header (baseline, extended or progressive) of a JPEG.
size_t JpegFrameHeader(const std::vector<uint8_t>& b) {
    for (size_t i = 2; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] >= 0xC0 && b[i + 1] <= 0xC2) return i;
    return 0;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A damaged or oversized file, made from a small good one by `Damage`.
struct TBadFile {
    const char* Name;
    const char* File;
    const char* Source; // convert arguments making a good file of the kind, or ""
    void (*Damage)(std::vector<uint8_t>& bytes);
    int16_t Error; // the expected code; 0: any failure
};

const TBadFile BadFiles[] = {
    {"PngDeclaring100000Square", "huge.png", "-size 1x1 xc:red",
     [](std::vector<uint8_t>& b) {
         Put32BE(b, 16, 100000);
         Put32BE(b, 20, 100000);
         Put32BE(b, 29, iotest::Crc32(std::span(b).subspan(12, 17)));
     },
     0},
    {"PngBeyondThePixelLimit", "wide.png", "-size 1x1 xc:red -define png:color-type=2",
     [](std::vector<uint8_t>& b) {
         Put32BE(b, 16, 15000);
         Put32BE(b, 20, 15000);
         Put32BE(b, 29, iotest::Crc32(std::span(b).subspan(12, 17)));
     },
     io::xeTooLarge},
    {"TruncatedJpeg", "cut.jpg",
     "-size 64x64 plasma:", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }, io::xeDamaged},
    {"JpegDeclaring60000Square", "huge.jpg", "-size 16x16 xc:red",
     [](std::vector<uint8_t>& b) {
         size_t sof = JpegFrameHeader(b);
         Put16BE(b, sof + 5, 60000);
         Put16BE(b, sof + 7, 60000);
     },
     0},
    {"JpegBeyondThePixelLimit", "wide.jpg", "-size 16x16 xc:red",
     [](std::vector<uint8_t>& b) {
         size_t sof = JpegFrameHeader(b);
         Put16BE(b, sof + 5, 15000);
         Put16BE(b, sof + 7, 15000);
     },
     io::xeTooLarge},
    {"LosslessJpeg", "lossless.ljp", "-size 16x16 xc:red",
     [](std::vector<uint8_t>& b) { b[JpegFrameHeader(b) + 1] = 0xC3; }, 0},
    {"PcxDeclaring65000Square", "huge.pcx", "-size 8x8 xc:red",
     [](std::vector<uint8_t>& b) {
         Put16LE(b, 8, 64999);
         Put16LE(b, 10, 64999);
     },
     0},
    {"TargaDeclaring65000Square", "huge.tga", "-size 8x8 xc:red",
     [](std::vector<uint8_t>& b) {
         Put16LE(b, 12, 65000);
         Put16LE(b, 14, 65000);
     },
     0},
    {"BitmapDeclaring100000Square", "huge.bmp", "-size 8x8 xc:red",
     [](std::vector<uint8_t>& b) {
         Put32LE(b, 18, 100000);
         Put32LE(b, 22, 100000);
     },
     0},
    {"TruncatedPng", "cut.png",
     "-size 64x64 plasma:", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }, io::xeDamaged},
    {"TruncatedTiff", "cut.tif", "-size 64x64 plasma: -compress none",
     [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }, 0},
    {"EmptyFile", "empty.png", "", [](std::vector<uint8_t>&) {}, io::xeDamaged},
    {"TextCalledPng", "text.png", "",
     [](std::vector<uint8_t>& b) {
         std::string text = "just some words, not a picture at all\n";
         b.assign(text.begin(), text.end());
     },
     io::xeDamaged},
    // A drawing script in disguise is never handed to the script's decoder.
    {"SvgCalledPng", "drawing.png", "",
     [](std::vector<uint8_t>& b) {
         std::string svg = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                           "width=\"10\" height=\"10\"><rect width=\"10\" height=\"10\"/></svg>";
         b.assign(svg.begin(), svg.end());
     },
     io::xeDamaged},
    {"SvgAsItself", "drawing.svg", "",
     [](std::vector<uint8_t>& b) {
         std::string svg = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                           "width=\"10\" height=\"10\"><rect width=\"10\" height=\"10\"/></svg>";
         b.assign(svg.begin(), svg.end());
     },
     io::xeUnsupportedKind},
};

void PrintTo(const TBadFile& bad, std::ostream* out) {
    *out << bad.Name;
}

class BadFileTest : public testing::TestWithParam<TBadFile> {};

TEST_P(BadFileTest, FailsWithAnErrorCodeAndLeavesTheBitmapAlone) {
    const TBadFile& bad = GetParam();
    iotest::TempDir dir;
    std::string path = dir / bad.File;
    std::vector<uint8_t> bytes;
    if (*bad.Source) {
        // Written under the same extension, or as JPEG for the kind ImageMagick cannot write.
        std::string extension = std::filesystem::path(bad.File).extension().string();
        bool lossless = extension == ".ljp";
        std::string good = dir / (lossless ? "good.jpg" : "good" + extension);
        ASSERT_TRUE(iotest::Convert(std::string(bad.Source) + " " + Quote(good)));
        bytes = iotest::ReadBytes(good);
        ASSERT_GT(bytes.size(), 32u);
    }
    bad.Damage(bytes);
    iotest::WriteBytes(path, bytes);

    long before = PeakResidentKiB();
    io::TXpress xpress;
    xpress.SetFileName(path);
    EXPECT_NE(xpress.Error(), 0);
    if (bad.Error) {
        EXPECT_EQ(xpress.Error(), bad.Error) << xpress.ErrorMessage();
    }
    EXPECT_EQ(xpress.ErrorMessage().find('\n'), std::string::npos);
    EXPECT_FALSE(xpress.ErrorMessage().empty());
    EXPECT_EQ(xpress.Width(), 0);
    EXPECT_TRUE(xpress.CopyPicture().empty());

    TBitmap bitmap(3, 2, pf24bit);
    bitmap.SetPixels(1, 1, RGB(1, 2, 3));
    std::string message;
    EXPECT_EQ(io::LoadPictureWithXpress(path, bitmap, &message), xpress.Error());
    EXPECT_EQ(message, xpress.ErrorMessage());
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Pixels(1, 1), RGB(1, 2, 3));
    // Asked for a small copy only (the thumbnails' scaled decode), it fails as well.
    io::TXpress small;
    small.SetFileName(path, 128);
    EXPECT_NE(small.Error(), 0) << small.Width32() << " x " << small.Height32();
    EXPECT_EQ(small.FileWidth32(), 0);
    // Nothing near the size the header claims was ever allocated.
    EXPECT_LT(PeakResidentKiB() - before, 64 * 1024) << "KiB";
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest, testing::ValuesIn(BadFiles),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(XpressOrder, MissingFileAndOperationsWithoutAPicture) {
    iotest::TempDir dir;
    io::TXpress xpress;
    xpress.SetFileName(dir / "missing.png");
    EXPECT_EQ(xpress.Error(), io::xeFileNotFound);
    EXPECT_EQ(xpress.FileName(), dir / "missing.png");
    EXPECT_FALSE(xpress.Resample(10, 10));
    EXPECT_EQ(xpress.Error(), io::xeNoPicture);
    EXPECT_TRUE(xpress.CopyPicture().empty());
    xpress.Release();
    xpress.Release();
}

TEST(XpressOrder, EachLoadReplacesTheLastOne) {
    iotest::TempDir dir;
    std::string good = dir / "good.png";
    ASSERT_TRUE(iotest::Convert("-size 12x7 xc:red " + Quote(good)));
    std::string bad = dir / "bad.png";
    iotest::WriteBytes(bad, std::vector<uint8_t>(100, 0x55));

    io::TXpress xpress;
    xpress.SetFileName(bad);
    EXPECT_NE(xpress.Error(), 0);
    xpress.SetFileName(good); // a good load clears the error
    ASSERT_EQ(xpress.Error(), 0);
    EXPECT_TRUE(xpress.ErrorMessage().empty());
    EXPECT_EQ(xpress.Width(), 12);
    xpress.SetFileName(bad); // a failed load drops the previous picture
    EXPECT_NE(xpress.Error(), 0);
    EXPECT_EQ(xpress.Width(), 0);
    EXPECT_TRUE(xpress.CopyPicture().empty());
}

TEST(XpressOrder, ADecodeOverItsTimeBudgetIsCancelled) {
    iotest::TempDir dir;
    std::string path = dir / "rows.png";
    ASSERT_TRUE(iotest::Convert("-size 64x64 plasma: " + Quote(path)));
    io::TXpress hurried(std::chrono::milliseconds(0));
    hurried.SetFileName(path);
    EXPECT_EQ(hurried.Error(), io::xeTimeLimit);
    EXPECT_EQ(hurried.Width(), 0);

    io::TXpress patient; // the budget is per operation, not per process
    patient.SetFileName(path);
    EXPECT_EQ(patient.Error(), 0) << patient.ErrorMessage();
}

TEST(XpressOrder, ControlsOnSeveralThreadsAtOnce) {
    iotest::TempDir dir;
    std::string path = dir / "shared.png";
    ASSERT_TRUE(iotest::Convert("-size 40x30 xc:blue " + Quote(path)));
    std::vector<int> errors(4, -1);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < errors.size(); ++i)
        threads.emplace_back([&, i] {
            TBitmap bitmap;
            errors[i] = io::LoadPictureWithXpress(path, bitmap);
            if (bitmap.Width() != 40) errors[i] = -2;
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(errors, std::vector<int>(4, 0));
}

} // namespace

TEST(XpressLimits, ExactlyTheWidestPictureLoadsOneMoreIsRefused) {
    iotest::TempDir dir;
    // Grey maps written by hand: the tools' own policies may refuse to make the wider one.
    const auto greyMap = [&dir](const std::string& name, int width) {
        const std::string header = "P5\n" + std::to_string(width) + " 1\n255\n";
        std::vector<uint8_t> bytes(header.begin(), header.end());
        bytes.resize(bytes.size() + size_t(width), 200);
        const std::string path = dir / name;
        iotest::WriteBytes(path, bytes);
        return path;
    };
    io::TXpress xpress;
    xpress.SetFileName(greyMap("widest.pgm", io::MaxPictureSide));
    if (xpress.Error() == io::xeTooLarge) {
        // The system's ImageMagick policy is lower (Debian's "16KP" is 16000 pixels): the
        // control holds to that limit exactly instead.
        xpress.SetFileName(greyMap("policy.pgm", 16000));
        EXPECT_EQ(xpress.Error(), 0) << xpress.ErrorMessage();
        EXPECT_EQ(xpress.Width(), 16000);
        xpress.SetFileName(greyMap("beyond-policy.pgm", 16001));
        EXPECT_EQ(xpress.Error(), io::xeTooLarge) << xpress.ErrorMessage();
    } else {
        EXPECT_EQ(xpress.Error(), 0) << xpress.ErrorMessage();
        EXPECT_EQ(xpress.Width(), io::MaxPictureSide);
    }
    xpress.SetFileName(greyMap("beyond.pgm", io::MaxPictureSide + 1));
    EXPECT_EQ(xpress.Error(), io::xeTooLarge) << xpress.ErrorMessage();
}

TEST(XpressLimits, FileOverItsSizeLimitIsRefusedUnread) {
    iotest::TempDir dir;
    // A good picture padded with a hole past the limit: no disk space, and nothing read.
    const std::string path = dir / "padded.bmp";
    ASSERT_TRUE(iotest::Convert("-size 8x8 xc:red " + Quote(path)));
    ASSERT_EQ(truncate(path.c_str(), off_t(io::MaxPictureFileBytes) + 1), 0);
    long before = PeakResidentKiB();
    io::TXpress xpress;
    xpress.SetFileName(path);
    EXPECT_EQ(xpress.Error(), io::xeTooLarge) << xpress.ErrorMessage();
    EXPECT_LT(PeakResidentKiB() - before, 64 * 1024) << "KiB";
}
