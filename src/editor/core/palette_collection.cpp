#include "editor/core/palette_collection.h"

#include "gif/model/image.h"

namespace editor {

void TColorPaletteCollection::Remember(gif::TGIFImage& image) {
    image_ = &image;
    for (int i = 0; i < image.FrameCount(); ++i)
        if (image.Frame(i)->LocalTable().EntryCount() > 0) frames_.push_back(i);
}

void TColorPaletteCollection::Restore() {
    if (image_) {
        for (int index : frames_) {
            if (index >= image_->FrameCount()) continue;
            gif::TGIFSubImage& frame = *image_->Frame(index);
            if (frame.LocalTable().EntryCount() > 0) continue;
            frame.LocalTable().CopyFrom(image_->GlobalColorMap());
            frame.LocalTable().SortByUse();
        }
    }
    frames_.clear();
    image_ = nullptr;
}

} // namespace editor
