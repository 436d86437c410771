// Building a frame's bitmap and transparency mask from its colour indices.
#include <cstring>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace gif {

struct TFrameBitmapBuilder {
    TGIFSubImage& frame;
    TGIFImage* image;

    void Report(TProgressStage stage, uint8_t percent, bool redraw = false) {
        if (image) image->ReportProgress(&frame, stage, percent, redraw, msg::Rendering);
    }

    // An 8-bit bitmap carrying the frame's palette, rows copied from the pixels, and the
    // mask of the transparent index built along the rows when one is due.
    std::unique_ptr<TBitmap> Direct() {
        int width = frame.FrameWidth();
        int height = frame.FrameHeight();
        auto bitmap = std::make_unique<TBitmap>(width, height, pf8bit);
        bitmap->SetPalette(CopyPalette(frame.FramePalette()));
        if (frame.IsBlank()) return bitmap;

        int transparent = frame.TransparentIndex();
        bool buildMask = transparent >= 0 && frame.maskPending_ && !frame.mask_;
        std::unique_ptr<TBitmap> mask;
        bool anyMasked = false;
        if (buildMask) mask = std::make_unique<TBitmap>(width, height, pf1bit);

        const uint8_t* source = frame.Pixels();
        for (int y = 0; y < height; ++y, source += width) {
            std::memcpy(bitmap->ScanLine(y), source, size_t(width));
            if (mask) {
                uint8_t* bits = mask->ScanLine(y);
                for (int x = 0; x < width; ++x) {
                    if (source[x] == transparent) {
                        bits[x >> 3] |= uint8_t(0x80 >> (x & 7));
                        anyMasked = true;
                    }
                }
            }
            if (y % 32 == 0) Report(TProgressStage::psRunning, uint8_t(y * 100 / height));
        }
        if (buildMask) {
            if (anyMasked) frame.mask_ = std::move(mask);
            frame.maskPending_ = false;
        }
        return bitmap;
    }
};

TBitmap* TGIFSubImage::FrameBitmap() {
    if (bitmap_ || IsBlank()) return bitmap_.get();
    TGIFImage* image = OwnerImage();
    TFrameBitmapBuilder builder{*this, image};
    builder.Report(TProgressStage::psStarting, 0);
    try {
        bitmap_ = builder.Direct();
    } catch (const EAbort&) {
        // A quiet abort leaves the frame without bitmap.
    } catch (...) {
        builder.Report(TProgressStage::psEnding, 0);
        throw;
    }
    bool redraw = image && image->PaletteModified;
    builder.Report(TProgressStage::psEnding, 100, redraw);
    if (redraw) image->NotifyChange(this);
    return bitmap_.get();
}

} // namespace gif
