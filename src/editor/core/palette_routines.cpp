#include "editor/core/palette_routines.h"

#include "editor/core/palette_collection.h"
#include "editor/core/settings.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

namespace editor {

using namespace gif;

namespace {

// Keeps the image's reduction settings across an operation that needs others.
class TReductionSettingsGuard {
public:
    explicit TReductionSettingsGuard(TGIFImage& image)
        : image_(image), method_(image.ReductionMethod), dither_(image.DitherMethod),
          depth_(image.ReductionDepth()) {}
    ~TReductionSettingsGuard() {
        image_.ReductionMethod = method_;
        image_.DitherMethod = dither_;
        image_.SetReductionDepth(depth_);
    }

private:
    TGIFImage& image_;
    uint8_t method_;
    uint8_t dither_;
    int depth_;
};

} // namespace

void OptimiseColorMaps(TGIFImage& image) {
    // The sort runs on the indices as they are: no reduction, no dither, full depth. The
    // image keeps its own reduction settings for the pictures added later.
    TReductionSettingsGuard keep(image);
    image.ReductionMethod = crNone;
    image.DitherMethod = dtNearest;
    image.SetReductionDepth(8);
    image.Optimize(optSortPalettes);
    image.OptimizeColorMaps();
}

void OptimiseFrameColours(TGIFSubImage& frame, int paletteType, TColorPaletteCollection& palettes) {
    TGIFImage* image = frame.OwnerImage();
    if (!image) return;
    if (paletteType != ptOptimizedKeepLocal) {
        OptimiseColorMaps(*image);
        return;
    }
    palettes.Remember(*image);
    struct RestoreOnExit {
        TColorPaletteCollection& palettes;
        ~RestoreOnExit() { palettes.Restore(); }
    } restore{palettes};
    OptimiseColorMaps(*image);
}

bool ColorIndexUsed(const TGIFImage& image, int frameIndex, int colorIndex, int tableSize) {
    if (frameIndex < 0 || frameIndex >= image.FrameCount() || colorIndex < 0 ||
        colorIndex >= tableSize)
        return false;
    for (uint8_t pixel : image.Frame(frameIndex)->PixelData())
        if (pixel == colorIndex) return true;
    return false;
}

namespace {

bool SameColor(const TGIFColor& a, const TGIFColor& b) { return a == b; }

// Whether any frame that draws with the global table has a pixel of value `index`.
bool GlobalIndexUsed(const TGIFImage& image, int index) {
    const TGIFColorMap& global = image.Header().GlobalTable();
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank() || &frame.EffectiveTable() != &global) continue;
        if (ColorIndexUsed(image, i, index, global.EntryCount())) return true;
    }
    return false;
}

} // namespace

bool CanDeleteColor(const TGIFImage& image, const TGIFColorMap& table, int index, int frameIndex) {
    const auto entries = table.Entries();
    if (index < 0 || index >= int(entries.size())) return false;
    const TGIFColor colour = entries[size_t(index)];
    int first = 0;
    while (!SameColor(entries[size_t(first)], colour)) ++first;
    if (first != index) return true;
    if (table.SortedByUse()) {
        // A sorted table keeps its last entry apart, so only duplicates before it count.
        for (int j = index + 1; j + 1 < int(entries.size()); ++j)
            if (SameColor(entries[size_t(j)], colour)) return true;
    }
    if (frameIndex == -1) return !GlobalIndexUsed(image, index);
    return !ColorIndexUsed(image, frameIndex, index, int(entries.size()));
}

bool MergesIntoGlobalPalette(int paletteType) {
    return paletteType == ptOptimized || paletteType == ptWeb || paletteType == ptQuality;
}

bool ApplyPaletteSettings(TGIFImage& image, const Settings& settings) {
    const int paletteType = settings.Value(keys::PaletteType);
    const bool quality = paletteType == ptQuality;
    if (paletteType == ptOptimized || paletteType == ptOptimizedKeepLocal || quality) {
        image.ReductionMethod = quality ? crQuality : crOptimized;
        switch (settings.Value(keys::MaxColorCount)) {
        case 8: image.SetReductionDepth(3); break;
        case 16: image.SetReductionDepth(4); break;
        case 32: image.SetReductionDepth(5); break;
        case 64: image.SetReductionDepth(6); break;
        case 128: image.SetReductionDepth(7); break;
        case 256: image.SetReductionDepth(8); break;
        default: break;
        }
    } else if (paletteType == ptWeb) {
        image.ReductionMethod = crWeb216;
        image.SetReductionDepth(8);
    }
    // "FloydSteinberg" asks for each method's best error diffusion: the least-error palette
    // has its own, which does not smear flat areas.
    switch (settings.Value(keys::DitherMethod)) {
    case 0: image.DitherMethod = dtNearest; break;
    case 1: image.DitherMethod = BestDitherMode(TColorReduction(image.ReductionMethod)); break;
    default: break;
    }
    return MergesIntoGlobalPalette(paletteType);
}

} // namespace editor
