#include "gif/reduce/variance_split.h"

#include <algorithm>
#include <array>

namespace gif {

namespace {

using int128 = __int128;

constexpr int Levels = 32;       // boxes are cut on a 32-level grid per channel
constexpr int Side = Levels + 1; // plus a plane of zeros below each axis

// Running sums over the grid: entry (r, g, b) holds the moments of every cell with
// coordinates <= (r, g, b), so a box's moments take eight look-ups.
struct TMoments {
    std::vector<int64_t> Weight, Red, Green, Blue, Squares;
    TMoments()
        : Weight(Side * Side * Side), Red(Weight.size()), Green(Weight.size()), Blue(Weight.size()),
          Squares(Weight.size()) {}
    static size_t At(int r, int g, int b) {
        return (size_t(r) * Side + size_t(g)) * Side + size_t(b);
    }
};

// The moments of a box's pixels.
struct TSums {
    int64_t Weight = 0, Red = 0, Green = 0, Blue = 0, Squares = 0;
    TSums operator-(const TSums& o) const {
        return {Weight - o.Weight, Red - o.Red, Green - o.Green, Blue - o.Blue,
                Squares - o.Squares};
    }
    // Weight times the squared mean colour: the larger, the smaller the spread around it.
    int128 Score() const {
        if (Weight == 0) return 0;
        return (int128(Red) * Red + int128(Green) * Green + int128(Blue) * Blue) / Weight;
    }
};

// Low bounds exclusive, high bounds inclusive, per channel (red, green, blue).
struct TBox {
    std::array<int, 3> Low{};
    std::array<int, 3> High{};
    int128 Variance = 0; // sum of squared distances to the mean; 0 = not to be cut
};

void Accumulate(TMoments& m) {
    for (int r = 1; r < Side; ++r)
        for (int g = 1; g < Side; ++g)
            for (int b = 1; b < Side; ++b) {
                // Inclusion-exclusion over the three lower neighbours.
                auto sum = [&](std::vector<int64_t>& v) {
                    v[TMoments::At(r, g, b)] +=
                        v[TMoments::At(r - 1, g, b)] + v[TMoments::At(r, g - 1, b)] +
                        v[TMoments::At(r, g, b - 1)] - v[TMoments::At(r - 1, g - 1, b)] -
                        v[TMoments::At(r - 1, g, b - 1)] - v[TMoments::At(r, g - 1, b - 1)] +
                        v[TMoments::At(r - 1, g - 1, b - 1)];
                };
                sum(m.Weight);
                sum(m.Red);
                sum(m.Green);
                sum(m.Blue);
                sum(m.Squares);
            }
}

TSums Volume(const TMoments& m, const TBox& box) {
    const auto& lo = box.Low;
    const auto& hi = box.High;
    auto vol = [&](const std::vector<int64_t>& v) {
        return v[TMoments::At(hi[0], hi[1], hi[2])] - v[TMoments::At(hi[0], hi[1], lo[2])] -
               v[TMoments::At(hi[0], lo[1], hi[2])] + v[TMoments::At(hi[0], lo[1], lo[2])] -
               v[TMoments::At(lo[0], hi[1], hi[2])] + v[TMoments::At(lo[0], hi[1], lo[2])] +
               v[TMoments::At(lo[0], lo[1], hi[2])] - v[TMoments::At(lo[0], lo[1], lo[2])];
    };
    return {vol(m.Weight), vol(m.Red), vol(m.Green), vol(m.Blue), vol(m.Squares)};
}

int128 Variance(const TMoments& m, const TBox& box) {
    bool single = true;
    for (int k = 0; k < 3; ++k)
        single = single && box.High[size_t(k)] - box.Low[size_t(k)] <= 1;
    if (single) return 0;
    TSums s = Volume(m, box);
    int128 v = int128(s.Squares) - s.Score();
    return v > 0 ? v : 0;
}

// Cuts `box` where the two halves' spread is least; false when no plane leaves pixels on
// both sides.
bool Cut(const TMoments& m, TBox& box, TBox& upper) {
    const TSums whole = Volume(m, box);
    int bestAxis = -1, bestPlane = 0;
    int128 bestScore = -1;
    for (int axis = 0; axis < 3; ++axis) {
        TBox lower = box;
        for (int plane = box.Low[size_t(axis)] + 1; plane < box.High[size_t(axis)]; ++plane) {
            lower.High[size_t(axis)] = plane;
            TSums low = Volume(m, lower);
            TSums high = whole - low;
            if (low.Weight == 0 || high.Weight == 0) continue;
            int128 score = low.Score() + high.Score();
            if (score > bestScore) {
                bestScore = score;
                bestAxis = axis;
                bestPlane = plane;
            }
        }
    }
    if (bestAxis < 0) return false;
    upper = box;
    box.High[size_t(bestAxis)] = bestPlane;
    upper.Low[size_t(bestAxis)] = bestPlane;
    return true;
}

} // namespace

std::vector<TColorCell> SplitByVariance(std::span<const TColorCell> cells, int colors) {
    TMoments m;
    for (const TColorCell& cell : cells) {
        if (cell.Count == 0) continue;
        int at[3];
        for (int k = 0; k < 3; ++k)
            at[k] = int(cell.Sum[size_t(k)] / cell.Count) / (256 / Levels) + 1;
        size_t i = TMoments::At(at[0], at[1], at[2]);
        m.Weight[i] += cell.Count;
        m.Red[i] += int64_t(cell.Sum[0]);
        m.Green[i] += int64_t(cell.Sum[1]);
        m.Blue[i] += int64_t(cell.Sum[2]);
        int128 squares = 0;
        for (int k = 0; k < 3; ++k)
            squares += int128(cell.Sum[size_t(k)]) * int128(cell.Sum[size_t(k)]);
        m.Squares[i] += int64_t(squares / cell.Count);
    }
    Accumulate(m);

    std::vector<TBox> boxes(1);
    boxes[0].High = {Levels, Levels, Levels};
    boxes[0].Variance = Variance(m, boxes[0]);
    while (int(boxes.size()) < colors) {
        // The box whose colours vary most (the first of equals).
        size_t worst = 0;
        for (size_t i = 1; i < boxes.size(); ++i)
            if (boxes[i].Variance > boxes[worst].Variance) worst = i;
        if (boxes[worst].Variance <= 0) break;
        TBox upper;
        if (!Cut(m, boxes[worst], upper)) {
            boxes[worst].Variance = 0;
            continue;
        }
        boxes[worst].Variance = Variance(m, boxes[worst]);
        upper.Variance = Variance(m, upper);
        boxes.push_back(upper);
    }

    std::vector<TColorCell> out;
    for (const TBox& box : boxes) {
        TSums s = Volume(m, box);
        if (s.Weight == 0) continue;
        TColorCell cell;
        cell.Count = uint32_t(s.Weight);
        cell.Sum = {uint64_t(s.Red), uint64_t(s.Green), uint64_t(s.Blue)};
        out.push_back(cell);
    }
    return out;
}

} // namespace gif
