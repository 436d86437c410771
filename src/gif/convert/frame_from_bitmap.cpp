// Converting a bitmap into a frame: colour reduction of true-colour pictures, the local
// table and pixels read from the bitmap's rows, and the bitmap's transparency.
#include <algorithm>
#include <array>
#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/convert/frame_converter.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/reduce/dib.h"
#include "gif/reduce/reduce_colors.h"

namespace gif {

namespace {

// Rows between two progress calls.
constexpr int ProgressRows = 32;

// The last distinct colours met by the true-colour import with their table indices,
// searched newest first: neighbouring pixels mostly repeat one of a few colours.
class TColorRing {
public:
    // The index remembered for `color`, or -1.
    int Find(TColor color) const {
        for (int k = 0; k < count_; ++k) {
            int slot = (head_ + Size - 1 - k) % Size;
            if (colors_[size_t(slot)] == color) return indices_[size_t(slot)];
        }
        return -1;
    }
    // Makes `color` the newest entry, dropping the oldest when the ring is full.
    void Push(TColor color, uint8_t index) {
        colors_[size_t(head_)] = color;
        indices_[size_t(head_)] = index;
        head_ = (head_ + 1) % Size;
        count_ = std::min(count_ + 1, Size);
    }

private:
    static constexpr int Size = 8;
    std::array<TColor, Size> colors_{};
    std::array<uint8_t, Size> indices_{};
    int head_ = 0;
    int count_ = 0;
};

// The picture a frame is read from and how many entries of its colour table are real
// colours (a reduced picture's table is padded to 256 entries).
struct TFramePicture {
    std::unique_ptr<TBitmap> Bitmap;
    int Colors = 256;
};

// Reduces a bitmap of more than 8 bits per pixel by the image's settings. `masked`: the
// frame gets a transparency mask afterwards, whose pixels have colour `transparent`
// (clNone when the mask is not a colour's).
TFramePicture Reduce(const TBitmap& source, const TGIFImage* image, bool masked,
                     TColor transparent) {
    auto method = TColorReduction(image ? image->ReductionMethod : DefaultReductionMethod);
    auto dither = TDitherMode(image ? image->DitherMethod : DefaultDitherMethod);
    int depth = image ? image->ReductionDepth() : DefaultReductionDepth;
    if (method > LastColorReduction || dither > LastDitherMode)
        throw GIFException(msg::UnsupportedReduction);

    TFramePicture out;
    if (method == crNone) {
        out.Bitmap = ReduceColors(source, crNone, dither, nullptr, depth);
        return out;
    }
    // The palette is built here to learn its size, then handed on so that it is not built
    // a second time.
    HPALETTE palette =
        masked
            ? ReductionPaletteForTransparency(source, method, nullptr, depth, transparent, dither)
            : ReductionPalette(source, method, nullptr, depth, dither);
    out.Bitmap = ReduceToPalette(source, method, dither, palette);
    out.Colors = palette ? std::min(palette->Count(), 256) : 0;
    if (out.Bitmap->Empty() || out.Colors == 0) throw GIFException(msg::UnsupportedReduction);
    return out;
}

// Fills a frame, already sized like the picture, from the picture's rows.
struct TBitmapImport {
    TGIFSubImage& frame;
    TGIFImage* image;
    int width;
    int height;

    void Report(TProgressStage stage, uint8_t percent) {
        if (image) image->ReportProgress(&frame, stage, percent, false, msg::Converting);
    }

    void ReportRow(int y) {
        if (y % ProgressRows == 0) Report(TProgressStage::psRunning, uint8_t(y * 100 / height));
    }

    uint8_t* Row(int y) { return frame.Pixels() + size_t(y) * size_t(width); }

    // 1, 4 and 8 bits: the local table from the bitmap's colour table (its first `colors`
    // entries) and the indices as stored; the leftmost pixel is the most significant bit
    // or the high nibble.
    void ReadIndexed(const TBitmap& bitmap, int colors) {
        HPALETTE palette = CopyPalette(bitmap.ColorTable());
        if (palette && palette->Count() > colors) palette->Entries.resize(size_t(colors));
        TGIFLocalColorMap& table = frame.LocalTable();
        table.FromPaletteHandle(palette);

        TPixelFormat format = bitmap.PixelFormat();
        uint8_t highest = 0;
        for (int y = 0; y < height; ++y) {
            const uint8_t* source = bitmap.ScanLine(y);
            uint8_t* target = Row(y);
            switch (format) {
            case pf1bit:
                for (int x = 0; x < width; ++x)
                    target[x] = uint8_t((source[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case pf4bit:
                for (int x = 0; x < width; ++x)
                    target[x] = uint8_t((x & 1) ? (source[x >> 1] & 0x0F) : (source[x >> 1] >> 4));
                break;
            default:
                std::memcpy(target, source, size_t(width));
                break;
            }
            highest = std::max(highest, *std::max_element(target, target + width));
            ReportRow(y);
        }
        // A colour table shorter than the indices in use: those pixels show black, and
        // the table gets black entries for them so that every pixel has a colour.
        while (table.EntryCount() <= highest) table.AppendColor(clBlack);
    }

    // Any other format, read as 24 bits: the local table collects the colours in the
    // order they appear; a 257th distinct colour raises "Color table overflow".
    void ReadTrueColor(const TBitmap& bitmap) {
        TDIBReader reader(bitmap, pf24bit);
        TGIFLocalColorMap& table = frame.LocalTable();
        table.RemoveAll();
        TColorRing ring;
        for (int y = 0; y < height; ++y) {
            const uint8_t* source = reader.ScanLine(y);
            uint8_t* target = Row(y);
            for (int x = 0; x < width; ++x, source += 3) {
                TColor color = RGB(source[2], source[1], source[0]);
                int index = ring.Find(color);
                if (index < 0) {
                    index = table.FindColor(color);
                    if (index < 0) index = table.AppendColor(color);
                    ring.Push(color, uint8_t(index));
                }
                target[x] = uint8_t(index);
            }
            ReportRow(y);
        }
    }
};

} // namespace

void TFrameConverter::CopyFromBitmap(TGIFSubImage& frame, const TBitmap& bitmap,
                                     const TBitmap* mask) {
    frame.ResetFrame();
    frame.SetFramePalette(nullptr);   // a palette cached for the old content
    if (bitmap.Empty()) return;
    frame.SetFrameWidth(bitmap.Width());
    frame.SetFrameHeight(bitmap.Height());

    TGIFImage* image = frame.OwnerImage();
    TFramePicture picture;
    try {
        if (IsIndexedFormat(bitmap.PixelFormat()))
            picture.Bitmap = std::make_unique<TBitmap>(bitmap);
        else
            picture = Reduce(bitmap, image, mask || bitmap.Transparent(),
                             mask ? clNone : bitmap.TransparentColor());
    } catch (...) {
        frame.ResetFrame();
        throw;
    }
    frame.AllocatePixels();

    TBitmapImport import{frame, image, frame.FrameWidth(), frame.FrameHeight()};
    import.Report(TProgressStage::psStarting, 0);
    try {
        if (IsIndexedFormat(picture.Bitmap->PixelFormat()))
            import.ReadIndexed(*picture.Bitmap, picture.Colors);
        else
            import.ReadTrueColor(*picture.Bitmap);
        if (mask) {
            ApplyTransparencyMask(frame, *mask);
        } else if (bitmap.Transparent()) {
            if (std::unique_ptr<TBitmap> own = bitmap.MaskBitmap()) ApplyTransparencyMask(frame, *own);
        }
    } catch (...) {
        // A half-converted frame would hold pixels without colours: leave it empty.
        frame.ResetFrame();
        import.Report(TProgressStage::psEnding, 0);
        throw;
    }
    import.Report(TProgressStage::psEnding, 100);

    // The picture is what the frame's bitmap would show, so it becomes that bitmap. A
    // transparent frame builds its bitmap together with the mask when first asked instead.
    if (!frame.IsTransparent() && IsIndexedFormat(picture.Bitmap->PixelFormat())) {
        frame.bitmap_ = std::move(picture.Bitmap);
        // The palette FramePalette would cache: a later change of the table replaces it,
        // which drops this bitmap as it drops one built from the pixels.
        frame.palette_ = frame.LocalTable().ToPaletteHandle();
    }
}

} // namespace gif
