// Remembers which frames had a local colour table across an operation that rebuilds the
// global table, so that those frames get a local table again afterwards.
#pragma once

#include <vector>

namespace gif {
class TGIFImage;
}

namespace editor {

class TColorPaletteCollection {
public:
    // Records every frame of `image` whose local table has entries.
    void Remember(gif::TGIFImage& image);
    // Gives each recorded frame whose local table is now empty a copy of the global table,
    // sorted by use; then forgets everything.
    void Restore();
    int Count() const { return int(frames_.size()); }

private:
    gif::TGIFImage* image_ = nullptr;
    std::vector<int> frames_;
};

} // namespace editor
