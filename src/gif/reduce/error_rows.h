// Per-channel error rows of the error-diffusion ditherers: `rows` rows of `width` entries
// plus `guard` entries on each side, so that spreading needs no bounds tests. The three
// channels of one column sit next to each other (red, green, blue).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace gif {

class TErrorRows {
public:
    TErrorRows(int rows, int width, int guard)
        : rows_(rows), rowSize_(size_t(width + 2 * guard) * 3), guard_(guard),
          data_(size_t(rows) * rowSize_, 0), order_(size_t(rows)) {
        for (int i = 0; i < rows; ++i) order_[size_t(i)] = i;
    }

    // Row k (0 = the current row) with the entry of column 0 at offset 0; columns
    // -guard .. width-1+guard are valid. Entry 3x + channel.
    int32_t* Row(int k) { return data_.data() + size_t(order_[size_t(k)]) * rowSize_ + size_t(guard_) * 3; }

    // The current row is cleared and becomes the last; the others move up one place.
    void Rotate() {
        int first = order_[0];
        std::memset(data_.data() + size_t(first) * rowSize_, 0, rowSize_ * sizeof(int32_t));
        for (int i = 0; i + 1 < rows_; ++i) order_[size_t(i)] = order_[size_t(i) + 1];
        order_[size_t(rows_) - 1] = first;
    }

private:
    int rows_;
    size_t rowSize_;
    int guard_;
    std::vector<int32_t> data_;
    std::vector<int> order_;
};

// Floyd-Steinberg's share of an error for the row below, at entry `b` (the pixel's column)
// with `ahead` = +3 or -3 entries in the walking direction: 3/16 behind, 5/16 below and
// 1/16 ahead (the 7/16 for the next pixel of the row is the caller's).
inline void SpreadFloydSteinbergBelow(int32_t* b, int ahead, int er, int eg, int eb) {
    b[-ahead] += 3 * er;
    b[1 - ahead] += 3 * eg;
    b[2 - ahead] += 3 * eb;
    b[0] += 5 * er;
    b[1] += 5 * eg;
    b[2] += 5 * eb;
    b[ahead] += er;
    b[1 + ahead] += eg;
    b[2 + ahead] += eb;
}

// Clamps a diffused channel value to 0..255.
inline int ClampChannel(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

} // namespace gif
