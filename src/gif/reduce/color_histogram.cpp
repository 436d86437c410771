#include "gif/reduce/color_histogram.h"

#include "gif/graphics/bitmap.h"
#include "gif/reduce/dib.h"

namespace gif {

namespace {

constexpr int CellBits = 6;
constexpr size_t CellCount = size_t(1) << (3 * CellBits);
constexpr size_t ExactSetSize = 1024; // power of two, over twice the largest limit

} // namespace

TColorHistogram::TColorHistogram(int exactLimit)
    : counters_(CellCount, TCounter{0, {0, 0, 0}}), exactLimit_(exactLimit),
      exactSet_(ExactSetSize, 0) {
    if (exactLimit_ < 0 || exactLimit_ > 256) exactLimit_ = 0;
}

void TColorHistogram::NoteExact(uint32_t rgb) {
    size_t slot = (rgb * 2654435761u) >> 22 & (ExactSetSize - 1);
    while (exactSet_[slot] != 0) { // the set is never more than half full
        if (exactSet_[slot] == rgb + 1) return;
        slot = (slot + 1) & (ExactSetSize - 1);
    }
    if (int(exact_.size()) == exactLimit_) {
        exactOverflow_ = true;
        return;
    }
    exactSet_[slot] = rgb + 1;
    exact_.push_back(rgb);
}

void TColorHistogram::AddRow(const uint8_t* bgr, int width) {
    if (skip_ > 0xFFFFFF)
        CountRow<false>(bgr, width);
    else
        CountRow<true>(bgr, width);
}

template <bool Skipping> void TColorHistogram::CountRow(const uint8_t* bgr, int width) {
    TCounter* const counters = counters_.data();
    const bool exact = !exactOverflow_;
    for (int x = 0; x < width; ++x, bgr += 3) {
        const uint32_t b = bgr[0], g = bgr[1], r = bgr[2];
        if (Skipping && (r << 16 | g << 8 | b) == skip_) continue;
        ++pixels_;
        TCounter& c = counters[(r >> 2) << 12 | (g >> 2) << 6 | (b >> 2)];
        ++c.Count;
        c.Low[0] += r & 3;
        c.Low[1] += g & 3;
        c.Low[2] += b & 3;
        if (exact) {
            uint32_t rgb = r << 16 | g << 8 | b;
            if (rgb != lastExact_) {
                lastExact_ = rgb;
                if (!exactOverflow_) NoteExact(rgb);
            }
        }
    }
}

void TColorHistogram::AddBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    TDIBReader reader(bitmap, pf24bit);
    const uint64_t width = uint64_t(bitmap.Width()), height = uint64_t(bitmap.Height());
    const uint64_t room = MaxPixels > rowPixels_ ? MaxPixels - rowPixels_ : 0;
    if (room < width) return;
    // Every step-th row, so that the rows taken fit into the room left.
    uint64_t step = 1;
    while ((height + step - 1) / step * width > room)
        ++step;
    for (uint64_t y = 0; y < height; y += step) {
        AddRow(reader.ScanLine(int(y)), int(width));
        rowPixels_ += width;
    }
}

std::vector<TColorCell> TColorHistogram::Cells() const {
    std::vector<TColorCell> out;
    for (size_t i = 0; i < CellCount; ++i) {
        const TCounter& c = counters_[i];
        if (c.Count == 0) continue;
        const uint64_t base[3] = {(i >> 12 & 63) << 2, (i >> 6 & 63) << 2, (i & 63) << 2};
        TColorCell cell;
        cell.Count = c.Count;
        for (int k = 0; k < 3; ++k)
            cell.Sum[size_t(k)] = base[k] * c.Count + c.Low[k];
        out.push_back(cell);
    }
    return out;
}

std::optional<std::vector<TRGB>> TColorHistogram::ExactColors() const {
    if (exactOverflow_ || pixels_ == 0) return std::nullopt;
    std::vector<TRGB> out;
    for (uint32_t rgb : exact_)
        out.push_back({uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
    return out;
}

} // namespace gif
