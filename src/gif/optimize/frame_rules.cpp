#include "gif/optimize/frame_rules.h"

#include <memory>

namespace gif::optimize {

int ControlBlockCount(const TGIFSubImage& frame) {
    int count = 0;
    const TGIFExtensionList& blocks = frame.Blocks();
    for (int i = 0; i < blocks.ItemCount(); ++i)
        if (dynamic_cast<const TGIFGraphicControlExtension*>(blocks.Extensions(i))) ++count;
    return count;
}

TGIFGraphicControlExtension& EnsureControlBlock(TGIFSubImage& frame) {
    if (TGIFGraphicControlExtension* gce = frame.ControlBlock()) return *gce;
    auto block = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension& ref = *block;
    frame.Blocks().Add(std::move(block));
    return ref;
}

} // namespace gif::optimize
