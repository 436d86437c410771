// Ordered dithering for any palette: a pixel between two palette colours takes the farther
// one where a fixed threshold pattern lies below its share of the mix. No error travels,
// so the same colour at the same place always gets the same index: still parts of an
// animation stay still.
#pragma once

#include "gif/reduce/dither_engine.h"

namespace gif {

class TOrderedDitherer final : public TDitherEngine {
  public:
    TOrderedDitherer(int width, TColorLookup& lookup) : TDitherEngine(width, lookup) {}
    // c1 = nearest colour to the pixel v; c2 = nearest colour to v + (v - c1), the colour
    // on the other side of v. The pixel takes c2 when the pattern's threshold at its place
    // is below the share of c2 in v (v projected onto the line c1-c2), else c1.
    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
    void DitherRow(const uint8_t* bgr, uint8_t* indices) override;
    void NextLine() override;

    // The pattern's threshold at (x, y), 0..255: the fraction of x a1 + y a2 with the
    // constants of the R2 sequence (1/p and 1/p^2, p the plastic number), which spreads
    // thresholds evenly without the grid look of a Bayer matrix.
    static int Threshold(int x, int y) {
        return int((uint32_t(x) * 3242174889u + uint32_t(y) * 2447445414u) >> 24);
    }

  private:
    template <typename Lookup> uint8_t Choose(Lookup& lookup, int x, int red, int green, int blue);

    int row_ = 0;
};

} // namespace gif
