// Making the pixels under a mask transparent: one extra black entry in the local table
// and a graphic control extension that marks it transparent.
#include <algorithm>
#include <memory>

#include "gif/convert/frame_converter.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/pixel_access.h"
#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"

namespace gif {

bool TFrameConverter::ApplyTransparencyMask(TGIFSubImage& frame, const TBitmap& mask) {
    if (frame.IsBlank()) return false;
    TGIFLocalColorMap& table = frame.LocalTable();
    // Sorting also drops unused entries, which may make room for the new one.
    table.SortByUse();
    int count = table.EntryCount();
    if (count < 1 || count >= TGIFColorMap::MaxColors) return false;

    auto transparent = uint8_t(table.AppendColor(clBlack));
    int width = std::min<int>(frame.FrameWidth(), mask.Width());
    int height = std::min<int>(frame.FrameHeight(), mask.Height());
    TPixelFormat format = mask.PixelFormat();
    bool any = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* bits = mask.ScanLine(y);
        uint8_t* row = frame.RowAt(y);
        for (int x = 0; x < width; ++x) {
            if (LoadPixelValue(bits, x, format) != 0) {
                row[x] = transparent;
                any = true;
            }
        }
    }
    if (!any) {
        table.DeleteAt(transparent);
        return false;
    }
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetTransparentFlag(true);
    control->SetTransparentIndex(transparent);
    frame.Blocks().Add(std::move(control));
    frame.DropBitmap();
    frame.DropMask();
    return true;
}

} // namespace gif
