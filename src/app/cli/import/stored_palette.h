// The editor's colour handling of an inserted picture, driven by the stored settings
// ("PaletteType", "MaxColorCount", "DitherMethod" under "Settings"), for `import
// --palette-settings`.
#pragma once

#include <memory>

namespace gif {
class TGIFImage;
class TGIFSubImage;
class TGraphic;
} // namespace gif

namespace cli {

class TStoredPalette {
  public:
    // Opens the editor's settings store; raises std::runtime_error in a build without it.
    TStoredPalette();
    ~TStoredPalette();

    // Before `picture` becomes a frame: pictures of 8 or more bits per pixel set the image's
    // reduction from the settings. Returns whether the colour tables are then merged into
    // one (else frames keep local tables).
    bool BeforeFrame(gif::TGIFImage& image, const gif::TGraphic& picture);
    // After the frame is added: merges the colour tables, or keeps local ones.
    void AfterFrame(gif::TGIFSubImage& frame, bool mergeTables);

  private:
    struct TState;
    std::unique_ptr<TState> state_;
};

} // namespace cli
