#include "gif/reduce/palette_widening.h"

#include "gif/reduce/dib.h"
#include "gif/reduce/nearest_color_lookup.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gif {

namespace {

// An entry's neighbours: its Neighbours nearest other entries.
constexpr size_t Neighbours = 6;
// How far an entry's neighbours' mean may lie from it, as a share of their mean distance,
// before it counts as on the rim: not at all up to RimFrom, wholly from RimFull on. Inside a
// palette the neighbours surround an entry and their mean lies close to it.
constexpr double RimFrom = 0.3;
constexpr double RimFull = 0.6;
// An entry moves at most this share of its distance from its neighbours' mean.
constexpr double MostMove = 0.5;

using TPoint = std::array<double, 3>;

struct TRim {
    TPoint Outward{}; // unit vector away from the neighbours' mean, or 0
    double Room = 0;  // the most the entry may move
    double Reach = 0; // sum of the outward reach of its pixels
    uint64_t Pixels = 0;
};

TPoint PointOf(const TRGB& c) {
    return {double(c.Red), double(c.Green), double(c.Blue)};
}

double Distance(const TPoint& a, const TPoint& b) {
    double s = 0;
    for (size_t k = 0; k < 3; ++k)
        s += (a[k] - b[k]) * (a[k] - b[k]);
    return std::sqrt(s);
}

// The outward direction and room of every entry.
std::vector<TRim> FindRims(const std::vector<TRGB>& palette) {
    const size_t n = palette.size();
    std::vector<TRim> rims(n);
    if (n < 2) return rims;
    std::vector<TPoint> points;
    for (const TRGB& c : palette)
        points.push_back(PointOf(c));
    std::vector<std::pair<double, size_t>> others;
    for (size_t i = 0; i < n; ++i) {
        others.clear();
        for (size_t j = 0; j < n; ++j)
            if (j != i) others.push_back({Distance(points[i], points[j]), j});
        const size_t k = std::min(Neighbours, others.size());
        std::partial_sort(others.begin(), others.begin() + std::ptrdiff_t(k), others.end());
        TPoint mean{};
        double spread = 0;
        for (size_t t = 0; t < k; ++t) {
            for (size_t c = 0; c < 3; ++c)
                mean[c] += points[others[t].second][c] / double(k);
            spread += others[t].first / double(k);
        }
        const double away = Distance(points[i], mean);
        if (away <= 0 || spread <= 0) continue;
        const double rim = std::clamp((away / spread - RimFrom) / (RimFull - RimFrom), 0.0, 1.0);
        for (size_t c = 0; c < 3; ++c)
            rims[i].Outward[c] = (points[i][c] - mean[c]) / away;
        rims[i].Room = rim * MostMove * away;
    }
    return rims;
}

} // namespace

std::vector<TRGB> WidenForDiffusion(std::vector<TRGB> palette,
                                    std::span<const TBitmap* const> bitmaps, int step,
                                    uint32_t skip) {
    std::vector<TRim> rims = FindRims(palette);
    if (std::none_of(rims.begin(), rims.end(), [](const TRim& r) { return r.Room > 0; }))
        return palette;

    // How far past each rim entry, outward, its pixels reach on average.
    auto table = std::make_shared<TPalette>();
    for (const TRGB& c : palette)
        table->Entries.push_back({c.Red, c.Green, c.Blue, 0});
    TNearestColorLookup lookup(table);
    step = std::max(step, 1);
    for (const TBitmap* bitmap : bitmaps) {
        if (!bitmap || bitmap->Empty()) continue;
        TDIBReader reader(*bitmap, pf24bit);
        for (int y = 0; y < bitmap->Height(); y += step) {
            const uint8_t* p = reader.ScanLine(y);
            for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
                if ((uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]) == skip) continue;
                TRGB chosen;
                TRim& rim = rims[lookup.Lookup(p[2], p[1], p[0], chosen)];
                if (rim.Room <= 0) continue;
                const double reach = (p[2] - chosen.Red) * rim.Outward[0] +
                                     (p[1] - chosen.Green) * rim.Outward[1] +
                                     (p[0] - chosen.Blue) * rim.Outward[2];
                if (reach > 0) rim.Reach += reach;
                ++rim.Pixels;
            }
        }
    }

    std::vector<TRGB> out = palette;
    for (size_t i = 0; i < palette.size(); ++i) {
        const TRim& rim = rims[i];
        if (rim.Room <= 0 || rim.Pixels == 0) continue;
        const double move = std::min(rim.Room, rim.Reach / double(rim.Pixels));
        auto level = [&](uint8_t v, size_t c) {
            return uint8_t(std::clamp(std::lround(v + move * rim.Outward[c]), 0L, 255L));
        };
        const TRGB moved{level(palette[i].Red, 0), level(palette[i].Green, 1),
                         level(palette[i].Blue, 2)};
        // An entry that would land on another keeps its place: no colour is given twice.
        if (std::find(out.begin(), out.end(), moved) == out.end()) out[i] = moved;
    }
    return out;
}

} // namespace gif
