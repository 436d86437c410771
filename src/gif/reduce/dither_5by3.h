// Error diffusion over a 5-wide, 3-deep neighbourhood: two pixels ahead on the same row
// and five pixels (dx -2..+2) on each of the next two rows. The subclasses give the weights.
#pragma once

#include <array>

#include "gif/reduce/dither_engine.h"
#include "gif/reduce/error_rows.h"

namespace gif {

struct T5by3Weights {
    int Divisor;
    std::array<int, 2> Ahead;      // same row, dx +1, +2
    std::array<int, 5> Next;       // next row, dx -2..+2
    std::array<int, 5> After;      // the row after, dx -2..+2
};

class T5by3Ditherer : public TDitherEngine {
public:
    T5by3Ditherer(int width, TColorLookup& lookup, const T5by3Weights& weights);
    // value = channel + (accumulated error + divisor div 2) div divisor, clamped; the
    // difference to the chosen colour is spread by the weights.
    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override;
    void NextLine() override;

private:
    T5by3Weights weights_;
    TErrorRows rows_;       // current, next, after next; 2 guard entries each side
    int direction2_ = 2;    // twice the direction
};

// Weights 8 4 / 2 4 8 4 2 / 1 2 4 2 1, divisor 42.
class TStuckiDitherer final : public T5by3Ditherer {
public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};

// Weights 5 3 / 2 4 5 4 2 / 0 2 3 2 0, divisor 32.
class TSierraDitherer final : public T5by3Ditherer {
public:
    TSierraDitherer(int width, TColorLookup& lookup);
};

// Jarvis, Judice and Ninke: weights 7 5 / 3 5 7 5 3 / 1 3 5 3 1, divisor 48.
class TJaJuNiDitherer final : public T5by3Ditherer {
public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};

} // namespace gif
