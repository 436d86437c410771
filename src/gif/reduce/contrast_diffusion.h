// What the two error diffusions led by local contrast share (the clamped ditherer and the
// quality palettes' own): a serpentine walk over two rows of carried error, the source
// colours of this row and the one above from which each pixel's contrast is measured, and
// the rule that a pixel whose diffused colour would take an entry too far from its own
// colour takes its nearest entry instead. `Derived` gives Step(lookup, red, green, blue),
// which dithers the pixel at Column() and moves on, and the rule's TooFar and TooFarBase.
#pragma once

#include "gif/reduce/dither_engine.h"
#include "gif/reduce/error_rows.h"
#include "gif/reduce/palette_spacing.h"
#include "gif/reduce/visit_lookup.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace gif {

template <typename Derived> class TContrastDiffusion : public TDitherEngine {
  public:
    // Defined below the class, not inline: they are made only where Derived's steps are
    // (the explicit instantiation in Derived's source file).
    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
    void DitherRow(const uint8_t* bgr, uint8_t* indices) override;

    void NextLine() override {
        rows_.Rotate();
        carried_[0] = carried_[1] = carried_[2] = 0;
        std::swap(current_, above_);
        haveAbove_ = true;
        TDitherEngine::NextLine();
    }

    // Measures the palette's fit to the picture for the too-far rule: the mean squared
    // distance from a sample of pixels to their nearest entries, times TooFar, plus
    // TooFarBase.
    void Prepare(const TDIBReader& picture) override {
        tooFar_ = MeasurePaletteFit(lookup_, picture)
                      .ScaledMean(Derived::TooFar, Derived::TooFarBase, tooFar_);
    }

  protected:
    TContrastDiffusion(int width, TColorLookup& lookup)
        : TDitherEngine(width, lookup), rows_(2, width, 1), current_(size_t(width + 2) * 3),
          above_(size_t(width + 2) * 3) {}

    // Notes the source colour of the pixel at column `x` for the pixels after it and
    // returns its contrast: the sum over the three channels of its differences to the pixel
    // behind it on its row and the two above it (above, and above ahead), pixels the walk
    // has met. At the row's start and on the first row the pixel stands in for those it
    // lacks (the guard columns are never read as neighbours).
    int NoteContrast(int x, int red, int green, int blue) {
        const int ahead = 3 * direction_;
        int* here = current_.data() + 3 * (x + 1);
        here[0] = red;
        here[1] = green;
        here[2] = blue;
        const bool first = x == (direction_ > 0 ? 0 : width_ - 1);
        const bool last = x + direction_ < 0 || x + direction_ >= width_;
        const int* behind = first ? here : here - ahead;
        const int* up = haveAbove_ ? above_.data() + 3 * (x + 1) : here;
        const int* upAhead = haveAbove_ && !last ? up + ahead : up;
        int contrast = 0;
        for (int c = 0; c < 3; ++c)
            contrast += std::abs(here[c] - behind[c]) + std::abs(here[c] - up[c]) +
                        std::abs(here[c] - upAhead[c]);
        return contrast;
    }

    // Whether the entry `chosen` for the diffused colour lies too far from the pixel's own.
    bool LandsTooFar(const TRGB& chosen, int red, int green, int blue) const {
        const int dr = red - chosen.Red, dg = green - chosen.Green, db = blue - chosen.Blue;
        return dr * dr + dg * dg + db * db > tooFar_;
    }

    TErrorRows rows_; // this row (errors from above) and the row below; 1 guard each side
    int32_t carried_[3] = {0, 0, 0}; // the error for the next pixel on this row

  private:
    Derived& Self() { return static_cast<Derived&>(*this); }

    int tooFar_ = 1 << 30; // squared distance, from Prepare
    // Source colours (red, green, blue) of this row and the one above, 1 guard each side.
    std::vector<int> current_;
    std::vector<int> above_;
    bool haveAbove_ = false;
};

template <typename Derived>
uint8_t TContrastDiffusion<Derived>::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    return Self().Step(lookup_, red, green, blue);
}

template <typename Derived>
void TContrastDiffusion<Derived>::DitherRow(const uint8_t* bgr, uint8_t* indices) {
    VisitLookup(lookup_, [&](auto& lookup) {
        for (int x = column_; x >= 0 && x < width_; x = column_)
            indices[x] = Self().Step(lookup, bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]);
    });
}

} // namespace gif
