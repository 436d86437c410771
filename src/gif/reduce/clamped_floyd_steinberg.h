// Floyd-Steinberg error diffusion that does not smear. Rows are walked in serpentine
// order; the error a pixel passes on is limited and only partly passed on, and both the
// limit and the share shrink where the picture is busy: edges and texture hide banding,
// and error carried across them only adds noise. So a colour the palette cannot reach does
// not drag its error across the picture, while smooth gradients are still fully dithered.
// Integer arithmetic.
#pragma once

#include "gif/reduce/contrast_diffusion.h"

#include <array>

namespace gif {

class TClampedFloydSteinbergDitherer final
    : public TContrastDiffusion<TClampedFloydSteinbergDitherer> {
  public:
    // How busy a pixel is: the sum over the three channels of its differences to the pixel
    // behind it on its row and the two above it (above, and above ahead), 0..2295: pixels
    // the walk has already met. Up to CalmContrast the pixel passes on CalmShare 16ths of
    // its error, limited to +-CalmLimit levels per channel; from BusyContrast on, BusyShare
    // 16ths limited to +-BusyLimit; in between both are interpolated. The limit is never
    // below half the distance from the chosen entry to its nearest neighbour in the
    // palette (largest channel difference), so sparse palettes are still dithered.
    static constexpr int CalmContrast = 12;
    static constexpr int BusyContrast = 48;
    static constexpr int CalmShare = 14;
    static constexpr int BusyShare = 2;
    static constexpr int CalmLimit = 16;
    static constexpr int BusyLimit = 4;

    // Each pixel: value = channel + carried error, clamped to 0..255; the difference to the
    // chosen colour, limited and scaled by the pixel's share, goes 7/16 ahead, 3/16 below
    // behind, 5/16 below and 1/16 below ahead. A pixel whose diffused colour would take an
    // entry farther than TooFar times the palette's fit (plus TooFarBase) from its own colour
    // takes its nearest entry instead and passes on only its own error: so a picture the
    // palette fits closely (flat artwork, a few shaded parts) is barely dithered.
    TClampedFloydSteinbergDitherer(int width, TColorLookup& lookup);

    static constexpr int TooFar = 16;
    static constexpr int TooFarBase = 16;

  private:
    friend class TContrastDiffusion<TClampedFloydSteinbergDitherer>;
    template <typename Lookup> uint8_t Step(Lookup& lookup, int red, int green, int blue);

    struct TSpread {
        int Share; // 16ths of the error passed on
        int Limit; // largest error per channel passed on, in levels
    };
    static constexpr int MaxContrast = BusyContrast; // busier pixels are all alike
    std::array<TSpread, MaxContrast + 1> spread_{};
    std::array<int, 256> floor_{}; // per entry: the least limit
};

// Made in clamped_floyd_steinberg.cpp, beside the steps it calls.
extern template class TContrastDiffusion<TClampedFloydSteinbergDitherer>;

} // namespace gif
