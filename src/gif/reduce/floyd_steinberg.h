// Floyd-Steinberg error diffusion in sixteenths: 7 ahead, 3 below behind, 5 below,
// 1 below ahead ("ahead" is the walking direction of the row).
#pragma once

#include "gif/reduce/dither_engine.h"
#include "gif/reduce/error_rows.h"

namespace gif {

class TFloydSteinbergDitherer final : public TDitherEngine {
public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
    // value = channel + (error from the row above + 7/16 share carried from the previous
    // pixel + 8) div 16, clamped; the difference to the chosen colour is spread on.
    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
    void DitherRow(const uint8_t* bgr, uint8_t* indices) override;
    void NextLine() override;

private:
    template <typename Lookup>
    void WalkRow(const uint8_t* bgr, uint8_t* indices, Lookup& lookup);

    TErrorRows rows_;      // this row (errors from above) and the row below; 1 guard each side
    int carried_[3] = {0, 0, 0};
};

} // namespace gif
