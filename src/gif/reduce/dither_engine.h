// Mapping pixels to palette indices row by row in serpentine order: row 0 left to right,
// row 1 right to left, and so on. The plain engine (dtNearest) only looks colours up;
// the error-diffusion ditherers derive from it.
#pragma once

#include <cstdint>
#include <memory>

#include "gif/reduce/color_lookup.h"
#include "gif/reduce/reduction.h"

namespace gif {

class TDIBReader;

class TDitherEngine {
public:
    // An engine for rows of `width` pixels choosing from `lookup`, which must outlive it.
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;
    TDitherEngine(const TDitherEngine&) = delete;
    TDitherEngine& operator=(const TDitherEngine&) = delete;

    // Index chosen for the pixel at Column() of the current row; moves the column one
    // step in the walking direction.
    virtual uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue);
    // Dithers the rest of the current row in walking order, from Column() to the row's
    // end: pixel x is read from bgr[3x..3x+2] (blue, green, red) and its index written to
    // indices[x]. The same as calling Dither for each pixel; the caller then calls NextLine.
    virtual void DitherRow(const uint8_t* bgr, uint8_t* indices);
    // Ends the row: reverses the direction and puts the column at the new row's start.
    virtual void NextLine();
    // Shows the whole picture (24 bits) before the first row, to ditherers that adapt to
    // it; the others ignore it. Optional: without it a ditherer works as if not adapting.
    virtual void Prepare(const TDIBReader& picture) {}

    int Width() const { return width_; }
    int Direction() const { return direction_; }
    int Column() const { return column_; }

protected:
    TColorLookup& lookup_;
    int width_;
    int direction_ = 1;
    int column_ = 0;
};

// The engine or ditherer of a dither mode; null for a mode above LastDitherMode.
std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMode mode, int width, TColorLookup& lookup);

} // namespace gif
