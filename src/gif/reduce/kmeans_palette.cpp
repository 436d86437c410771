#include "gif/reduce/kmeans_palette.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace gif {

namespace {

constexpr int Fraction = 4; // fixed point: colours times 16
constexpr int One = 1 << Fraction;

using TPoint = std::array<int32_t, 3>;

TPoint MeanOf(const TColorCell& cell) {
    TPoint p{};
    for (size_t k = 0; k < 3; ++k)
        p[k] = int32_t((cell.Sum[k] * One + cell.Count / 2) / cell.Count);
    return p;
}

int32_t Distance(const TPoint& a, const TPoint& b) {
    int32_t dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return dr * dr + dg * dg + db * db; // at most 3 * (255 * 16)^2, fits 32 bits
}

// Nearest centre by a walk outwards from the point's green value over the centres sorted
// by green: a side stops once the green distance alone is no better than the best found.
class TCentreSearch {
  public:
    explicit TCentreSearch(const std::vector<TPoint>& centres) : centres_(centres) {
        order_.resize(centres.size());
        for (size_t i = 0; i < order_.size(); ++i)
            order_[i] = int(i);
        std::sort(order_.begin(), order_.end(), [&](int a, int b) {
            return centres[size_t(a)][1] != centres[size_t(b)][1]
                       ? centres[size_t(a)][1] < centres[size_t(b)][1]
                       : a < b;
        });
        greens_.resize(order_.size());
        for (size_t i = 0; i < order_.size(); ++i)
            greens_[i] = centres[size_t(order_[i])][1];
    }

    // The nearest centre (the lowest index among equals), starting from `guess` (or -1).
    int Nearest(const TPoint& p, int guess, int32_t& distance) const {
        int best = guess;
        int32_t bestDistance = guess >= 0 ? Distance(p, centres_[size_t(guess)]) : INT32_MAX;
        auto consider = [&](int c) {
            int32_t d = Distance(p, centres_[size_t(c)]);
            if (d < bestDistance || (d == bestDistance && c < best)) {
                bestDistance = d;
                best = c;
            }
        };
        const size_t n = order_.size();
        size_t up =
            size_t(std::lower_bound(greens_.begin(), greens_.end(), p[1]) - greens_.begin());
        size_t down = up; // entries below `down` are still to be visited downwards
        bool goUp = up<n, goDown = down> 0;
        while (goUp || goDown) {
            if (goUp) {
                int32_t dg = greens_[up] - p[1];
                if (dg * dg > bestDistance)
                    goUp = false;
                else {
                    consider(order_[up]);
                    goUp = ++up < n;
                }
            }
            if (goDown) {
                int32_t dg = p[1] - greens_[down - 1];
                if (dg * dg > bestDistance)
                    goDown = false;
                else {
                    consider(order_[down - 1]);
                    goDown = --down > 0;
                }
            }
        }
        distance = bestDistance;
        return best;
    }

  private:
    const std::vector<TPoint>& centres_;
    std::vector<int> order_;
    std::vector<int32_t> greens_;
};

} // namespace

std::vector<TRGB> RefineByKMeans(std::span<const TColorCell> cells,
                                 std::span<const TColorCell> clusters, int passes) {
    std::vector<TPoint> centres;
    for (const TColorCell& c : clusters)
        if (c.Count > 0) centres.push_back(MeanOf(c));
    std::vector<TPoint> points;
    points.reserve(cells.size());
    for (const TColorCell& c : cells)
        points.push_back(MeanOf(c));
    std::vector<int> owner(points.size(), -1);

    struct TTotal {
        uint64_t Count = 0;
        std::array<uint64_t, 3> Sum{};
    };
    for (int pass = 0; pass < passes && !centres.empty(); ++pass) {
        TCentreSearch search(centres);
        std::vector<TTotal> totals(centres.size());
        std::vector<int64_t> costs(points.size());
        bool changed = false;
        for (size_t i = 0; i < points.size(); ++i) {
            int32_t distance = 0;
            int c = search.Nearest(points[i], owner[i], distance);
            changed = changed || c != owner[i];
            owner[i] = c;
            costs[i] = int64_t(distance) * cells[i].Count;
            TTotal& t = totals[size_t(c)];
            t.Count += cells[i].Count;
            for (size_t k = 0; k < 3; ++k)
                t.Sum[k] += cells[i].Sum[k];
        }
        if (!changed) break;
        // Colours without cells take the worst-served cells, worst first.
        std::vector<size_t> worst;
        for (size_t c = 0; c < centres.size(); ++c) {
            if (totals[c].Count > 0) {
                for (size_t k = 0; k < 3; ++k)
                    centres[c][k] =
                        int32_t((totals[c].Sum[k] * One + totals[c].Count / 2) / totals[c].Count);
                continue;
            }
            if (worst.empty()) {
                worst.resize(points.size());
                for (size_t i = 0; i < worst.size(); ++i)
                    worst[i] = i;
                std::sort(worst.begin(), worst.end(), [&](size_t a, size_t b) {
                    return costs[a] != costs[b] ? costs[a] > costs[b] : a < b;
                });
                std::reverse(worst.begin(), worst.end()); // taken from the back
            }
            while (!worst.empty() && costs[worst.back()] == 0)
                worst.clear();
            if (worst.empty()) continue;
            size_t i = worst.back();
            worst.pop_back();
            centres[c] = points[i];
            costs[i] = 0;
        }
    }

    std::vector<TRGB> out;
    for (const TPoint& c : centres) {
        auto level = [](int32_t v) {
            return uint8_t(std::clamp((v + One / 2) >> Fraction, 0, 255));
        };
        TRGB rgb{level(c[0]), level(c[1]), level(c[2])};
        if (std::find(out.begin(), out.end(), rgb) == out.end()) out.push_back(rgb);
    }
    return out;
}

} // namespace gif
