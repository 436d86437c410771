#include "gif/optimize/palette_sort.h"

#include "gif/model/image.h"
#include "gif/optimize/optimize_progress.h"

namespace gif::optimize {

// Sorting moves the global entries, but the header names its background colour by index
// (a player without a destination snapshot clears disposed frames to it).
void SortGlobalTable(TGIFImage& image) {
    TGIFGlobalColorMap& global = image.GlobalColorMap();
    TGIFHeader& header = image.Header();
    int background = header.BackgroundIndex();
    bool hadBackground = background < global.EntryCount();
    TGIFColor color = hadBackground ? global.Entries()[size_t(background)] : TGIFColor{};

    global.SortByUse();

    if (!hadBackground) return;
    int index = global.FindColor(RGB(color.Red, color.Green, color.Blue));
    if (index >= 0) header.SetBackgroundIndex(uint8_t(index));
}

void SortPalettes(TGIFImage& image, TOptimizeProgress& progress) {
    if (image.GlobalColorMap().EntryCount() > 0) SortGlobalTable(image);
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage* frame = image.Frame(i);
        if (frame->LocalTable().EntryCount() > 0) frame->LocalTable().SortByUse();
        progress.Step();
    }
}

} // namespace gif::optimize
