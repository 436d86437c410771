// Burkes error diffusion: weights 8 4 ahead on the same row, 2 4 8 4 2 (dx -2..+2) on the
// next row, divisor 32.
#pragma once

#include "gif/reduce/dither_engine.h"
#include "gif/reduce/error_rows.h"

namespace gif {

class TBurkesDitherer final : public TDitherEngine {
public:
    TBurkesDitherer(int width, TColorLookup& lookup);
    // value = channel + (accumulated error + 16) div 32, clamped.
    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
    void NextLine() override;

private:
    TErrorRows rows_;   // current and next; 2 guard entries each side
};

} // namespace gif
