#include "stored_palette.h"

#include "gif/graphics/bitmap.h"
#include "gif/graphics/icon.h"

#include <stdexcept>
#ifdef LOOPWRIGHT_WITH_EDITOR_CORE
#include "editor/core/palette_collection.h"
#include "editor/core/palette_routines.h"
#include "editor/core/settings.h"
#endif

namespace cli {

namespace {

// Bits per pixel of a picture; pictures that are not bitmaps are drawn onto 24-bit ones.
int BitsPerPixel(const gif::TGraphic& picture) {
    if (auto* bitmap = dynamic_cast<const gif::TBitmap*>(&picture))
        return gif::PixelFormatBits(bitmap->PixelFormat());
    if (auto* icon = dynamic_cast<const gif::TIcon*>(&picture))
        return gif::PixelFormatBits(icon->Bitmap().PixelFormat());
    return 24;
}

} // namespace

#ifdef LOOPWRIGHT_WITH_EDITOR_CORE

struct TStoredPalette::TState {
    editor::Settings Settings;
    editor::TColorPaletteCollection Palettes;
};

TStoredPalette::TStoredPalette() : state_(std::make_unique<TState>()) {}

bool TStoredPalette::BeforeFrame(gif::TGIFImage& image, const gif::TGraphic& picture) {
    if (BitsPerPixel(picture) >= 8) return editor::ApplyPaletteSettings(image, state_->Settings);
    return editor::MergesIntoGlobalPalette(state_->Settings.Value(editor::keys::PaletteType));
}

void TStoredPalette::AfterFrame(gif::TGIFSubImage& frame, bool mergeTables) {
    editor::OptimiseFrameColours(
        frame, mergeTables ? editor::ptOptimized : editor::ptOptimizedKeepLocal, state_->Palettes);
}

#else

struct TStoredPalette::TState {};

TStoredPalette::TStoredPalette() {
    throw std::runtime_error("--palette-settings needs the editor's settings, not in this build");
}

bool TStoredPalette::BeforeFrame(gif::TGIFImage&, const gif::TGraphic& picture) {
    return BitsPerPixel(picture) >= 8;
}

void TStoredPalette::AfterFrame(gif::TGIFSubImage&, bool) {}

#endif

TStoredPalette::~TStoredPalette() = default;

} // namespace cli
