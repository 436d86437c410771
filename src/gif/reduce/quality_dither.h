// The error diffusion of crQuality's least-error palettes: serpentine Floyd-Steinberg whose
// share of the error passed on follows how busy the picture is around each pixel, measured
// against how closely the palette's colours lie there. Where the picture is smooth at the
// palette's scale (gradients, noise finer than the steps between nearby entries), the error
// is passed on almost whole, so no bands show; where it changes by many of those steps
// (edges, texture), little is passed on, since detail hides the steps and carried error would
// only add noise. Errors are carried with 20 bits of fraction, so the small errors of a
// dense palette are not lost to rounding. Integer arithmetic: same input, same output.
#pragma once

#include "gif/reduce/contrast_diffusion.h"

#include <array>

namespace gif {

class TQualityDitherer final : public TContrastDiffusion<TQualityDitherer> {
  public:
    // A pixel's contrast is the sum over the three channels of its differences to the pixel
    // behind it on its row and the two above it (above, and above ahead): pixels the walk
    // has met. Measured in hundredths of the spacing of its chosen entry (the largest
    // channel difference to the entry's nearest neighbour in the palette): up to
    // CalmContrast the pixel passes on CalmShare 256ths of its error, from BusyContrast on
    // BusyShare 256ths, in between a share on the straight line between the two.
    static constexpr int CalmContrast = 144;
    static constexpr int BusyContrast = 585;
    static constexpr int CalmShare = 224; // 14/16
    static constexpr int BusyShare = 32;  // 2/16
    // The error passed on per channel is limited to +-ErrorLimit levels, or to half the
    // entry's spacing where that is more, so that a colour the palette cannot reach does
    // not drag its error across the picture.
    static constexpr int ErrorLimit = 16;
    // As in the clamped ditherer: a pixel whose diffused colour would take an entry farther
    // from its own colour than TooFar times the palette's mean squared distance to a sample
    // of the picture (plus TooFarBase) takes its nearest entry and passes on its own error.
    static constexpr int TooFar = 16;
    static constexpr int TooFarBase = 16;

    TQualityDitherer(int width, TColorLookup& lookup);

  private:
    friend class TContrastDiffusion<TQualityDitherer>;
    template <typename Lookup> uint8_t Step(Lookup& lookup, int red, int green, int blue);

    struct TEntryRule {
        int Calm = 0;      // contrast up to which the calm share holds
        int Busy = 1;      // contrast from which the busy share holds
        int64_t Slope = 0; // 2^16 * (CalmShare - BusyShare) / (Busy - Calm)
        int Limit = 0;     // error limit, in levels
    };
    std::array<TEntryRule, 256> rules_{};
};

// Made in quality_dither.cpp, beside the steps it calls.
extern template class TContrastDiffusion<TQualityDitherer>;

} // namespace gif
