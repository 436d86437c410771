// Stevenson-Arce error diffusion over a hexagonal neighbourhood, divisor 200:
// same row dx +2: 32; next row dx -3, -1, +1, +3: 12, 26, 30, 16; second row dx -2, 0, +2:
// 12, 26, 12; third row dx -3, -1, +1, +3: 5, 12, 12, 5.
#pragma once

#include "gif/reduce/dither_engine.h"
#include "gif/reduce/error_rows.h"

namespace gif {

class TSteveArcheDitherer final : public TDitherEngine {
public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
    // value = channel + (accumulated error + 100) div 200, clamped.
    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
    void NextLine() override;

private:
    TErrorRows rows_;   // four rows; 3 guard entries each side
};

} // namespace gif
