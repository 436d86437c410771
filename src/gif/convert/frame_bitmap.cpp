// Building a frame's bitmap and transparency mask from its colour indices: either the
// indices themselves over the frame's palette (direct), or the frame's colours dithered
// to the 216-colour web cube for drawing on palette displays (dithered).
#include <utility>
#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/palettes.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/reduce/color_lookup.h"
#include "gif/reduce/floyd_steinberg.h"

namespace gif {

namespace {

// Rows between two progress calls.
constexpr int ProgressRows = 32;

// The web-cube lookup of the dithered bitmap, with a way to let a transparent pixel pass:
// while Pass is set it answers the fill index and reports the incoming colour as the
// chosen one, so the ditherer finds no error to spread from that pixel. Error that earlier
// pixels sent towards it ends there; the mask hides the pixel anyway.
class TMaskedWebLookup final : public TColorLookup {
public:
    explicit TMaskedWebLookup(uint8_t fill) : TColorLookup(216), fill_(fill) {}

    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) override {
        if (Pass) {
            chosen = {red, green, blue};
            return fill_;
        }
        return web_.Lookup(red, green, blue, chosen);
    }

    bool Pass = false;

private:
    TNetscapeColorLookup web_;
    uint8_t fill_;
};

// The colours of the frame's effective table by index; indices past the table are black,
// as the drawing code shows them.
std::array<TRGB, 256> FrameColors(const TGIFSubImage& frame) {
    std::array<TRGB, 256> colors{};
    std::span<const TGIFColor> entries = frame.EffectiveTable().Entries();
    for (size_t i = 0; i < entries.size() && i < colors.size(); ++i)
        colors[i] = {entries[i].Red, entries[i].Green, entries[i].Blue};
    return colors;
}

void SetMaskBit(uint8_t* bits, int x) {
    bits[x >> 3] = uint8_t(bits[x >> 3] | (0x80 >> (x & 7)));
}

} // namespace

struct TFrameBitmapBuilder {
    TGIFSubImage& frame;
    TGIFImage* image;

    void Report(TProgressStage stage, uint8_t percent, bool redraw = false) {
        if (image) image->ReportProgress(&frame, stage, percent, redraw, msg::Rendering);
    }

    void ReportRow(int y, int height) {
        if (y % ProgressRows == 0) Report(TProgressStage::psRunning, uint8_t(y * 100 / height));
    }

    // The mask is built together with the bitmap, once, for a transparent frame.
    bool MaskDue(int transparent) const {
        return transparent >= 0 && frame.maskPending_ && !frame.mask_;
    }

    // Keeps the mask only when it marks at least one pixel; the mask is no longer pending.
    void FinishMask(std::unique_ptr<TBitmap> mask, bool anyMasked) {
        if (anyMasked) frame.mask_ = std::move(mask);
        frame.maskPending_ = false;
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
        bool buildMask = MaskDue(transparent);
        std::unique_ptr<TBitmap> mask;
        bool anyMasked = false;
        if (buildMask) mask = std::make_unique<TBitmap>(width, height, pf1bit);

        const uint8_t* source = std::as_const(frame).Pixels();
        for (int y = 0; y < height; ++y, source += width) {
            std::memcpy(bitmap->ScanLine(y), source, size_t(width));
            if (mask) {
                uint8_t* bits = mask->ScanLine(y);
                for (int x = 0; x < width; ++x) {
                    if (source[x] == transparent) {
                        SetMaskBit(bits, x);
                        anyMasked = true;
                    }
                }
            }
            ReportRow(y, height);
        }
        if (buildMask) FinishMask(std::move(mask), anyMasked);
        return bitmap;
    }

    // The frame's colours mapped to the web cube by Floyd-Steinberg error diffusion in
    // serpentine order. Pixels of the transparent index keep the fill index (the web entry
    // nearest the transparent colour) and take no part in the diffusion; the mask bits are
    // set as the ditherer walks each row.
    std::unique_ptr<TBitmap> Dithered() {
        int width = frame.FrameWidth();
        int height = frame.FrameHeight();
        auto bitmap = std::make_unique<TBitmap>(width, height, pf8bit);
        bitmap->SetPalette(MakeWebPalette());
        if (frame.IsBlank()) return bitmap;

        const std::array<TRGB, 256> colors = FrameColors(frame);
        int transparent = frame.TransparentIndex();
        uint8_t fill = 0;
        if (transparent >= 0) {
            TNetscapeColorLookup web;
            TRGB chosen;
            const TRGB& t = colors[size_t(transparent)];
            fill = web.Lookup(t.Red, t.Green, t.Blue, chosen);
        }
        bool buildMask = MaskDue(transparent);
        std::unique_ptr<TBitmap> mask;
        bool anyMasked = false;
        if (buildMask) mask = std::make_unique<TBitmap>(width, height, pf1bit);

        TMaskedWebLookup lookup(fill);
        TFloydSteinbergDitherer ditherer(width, lookup);
        const uint8_t* source = std::as_const(frame).Pixels();
        for (int y = 0; y < height; ++y, source += width) {
            uint8_t* row = bitmap->ScanLine(y);
            uint8_t* bits = mask ? mask->ScanLine(y) : nullptr;
            if (transparent >= 0) std::fill(row, row + width, fill);
            for (int x = ditherer.Column(); x >= 0 && x < width; x = ditherer.Column()) {
                uint8_t index = source[x];
                lookup.Pass = index == transparent;
                const TRGB& c = colors[index];
                row[x] = ditherer.Dither(c.Red, c.Green, c.Blue);
                if (lookup.Pass && bits) {
                    SetMaskBit(bits, x);
                    anyMasked = true;
                }
            }
            ditherer.NextLine();
            ReportRow(y, height);
        }
        if (buildMask) FinishMask(std::move(mask), anyMasked);
        return bitmap;
    }
};

TBitmap* TGIFSubImage::FrameBitmap() {
    if (bitmap_ || IsBlank()) return bitmap_.get();
    TGIFImage* image = OwnerImage();
    TFrameBitmapBuilder builder{*this, image};
    builder.Report(TProgressStage::psStarting, 0);
    try {
        bitmap_ = image && image->DoDither() ? builder.Dithered() : builder.Direct();
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
