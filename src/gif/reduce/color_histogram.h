// How often each colour occurs in one or more pictures, the input of the least-error
// palette. Colours are counted in cells of 4 x 4 x 4 (64 levels per channel); each cell also
// sums the low two bits of its colours, so the mean colour of its pixels is exact.
#pragma once

#include "gif/reduce/color_lookup.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace gif {

class TBitmap;

// The pixels of one non-empty cell: their number and per-channel sums.
struct TColorCell {
    uint32_t Count = 0;
    std::array<uint64_t, 3> Sum{}; // red, green, blue
};

class TColorHistogram {
  public:
    // Pixels counted at most; beyond it a picture is sampled by rows, so the 32-bit cell
    // counters cannot overflow.
    static constexpr uint64_t MaxPixels = uint64_t(1) << 30;

    // A histogram that also remembers the exact colours while there are at most
    // `exactLimit` (0..256) of them.
    explicit TColorHistogram(int exactLimit);

    // Counts every pixel of the bitmap (read as 24 bits), or every k-th row when the
    // picture would take the total past MaxPixels.
    void AddBitmap(const TBitmap& bitmap);
    // Counts `width` pixels stored blue, green, red.
    void AddRow(const uint8_t* bgr, int width);
    // Pixels of this colour (0xRRGGBB) are left out from now on: a colour that will be
    // transparent needs no palette entry.
    void SkipColor(uint32_t rgb) { skip_ = rgb; }

    // Pixels counted (not skipped).
    uint64_t PixelCount() const { return pixels_; }
    // The non-empty cells in cell order.
    std::vector<TColorCell> Cells() const;
    // The exact colours in order of first appearance, when there were at most exactLimit.
    std::optional<std::vector<TRGB>> ExactColors() const;

  private:
    struct TCounter {
        uint32_t Count;
        uint32_t Low[3]; // sums of the two low bits of red, green, blue
    };
    void NoteExact(uint32_t rgb);
    template <bool Skipping> void CountRow(const uint8_t* bgr, int width);

    std::vector<TCounter> counters_; // 2^18 cells
    uint64_t pixels_ = 0;            // pixels counted
    uint64_t rowPixels_ = 0;         // pixels of the rows taken, counted or skipped
    int exactLimit_;
    bool exactOverflow_ = false;
    std::vector<uint32_t> exact_;    // colours seen, 0xRRGGBB, in order
    std::vector<uint32_t> exactSet_; // open-addressing set of exact_ (colour + 1, 0 = empty)
    uint32_t lastExact_ = 0xFFFFFFFF;
    uint32_t skip_ = 0xFFFFFFFF; // none
};

} // namespace gif
