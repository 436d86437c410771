#include "gif/reduce/exact_split.h"

#include "gif/reduce/dib.h"
#include "gif/reduce/nearest_color_lookup.h"

#include <algorithm>
#include <array>

namespace gif {

namespace {

using int128 = __int128;

// Colours are counted in blocks of 8 x 8 x 8 levels, one block of counters for each such
// region that holds a colour: memory follows the regions used, not the 2^24 colours.
constexpr size_t Regions = size_t(1) << 15;
constexpr size_t BlockSize = 512;
constexpr int32_t NoBlock = -1;

TRGB ColorOf(const TColorCell& cell) {
    auto channel = [&](size_t k) { return uint8_t(cell.Sum[k] / cell.Count); };
    return {channel(0), channel(1), channel(2)};
}

struct TExactPoint {
    std::array<int32_t, 3> Color; // red, green, blue
    uint32_t Count;
};

// The moments of a run of points.
struct TMoments {
    int64_t Count = 0;
    std::array<int64_t, 3> Sum{};
    int128 Squares = 0; // sum of count times squared length

    void Add(const TExactPoint& p) {
        Count += p.Count;
        for (size_t k = 0; k < 3; ++k) {
            Sum[k] += int64_t(p.Count) * p.Color[k];
            Squares += int128(p.Count) * p.Color[k] * p.Color[k];
        }
    }
    TMoments operator-(const TMoments& o) const {
        TMoments m;
        m.Count = Count - o.Count;
        for (size_t k = 0; k < 3; ++k)
            m.Sum[k] = Sum[k] - o.Sum[k];
        m.Squares = Squares - o.Squares;
        return m;
    }
    // Count times the squared mean: the larger for a split, the less its halves vary.
    int128 Score() const {
        if (Count == 0) return 0;
        int128 s = 0;
        for (size_t k = 0; k < 3; ++k)
            s += int128(Sum[k]) * Sum[k];
        return s / Count;
    }
    // Sum of squared distances to the mean; above 0 whenever two colours differ.
    int128 Spread() const { return Squares - Score(); }
};

struct TBox {
    size_t Begin = 0, End = 0; // points [Begin, End)
    TMoments Moments;
    int128 Spread = 0;
};

// Cuts `box` into itself and `upper` at the plane where the halves' spread is least; the
// planes lie between two levels of one channel. The box must hold two colours at least.
// The moments per level of each channel make the search linear in the box's colours.
void Cut(std::vector<TExactPoint>& points, TBox& box, TBox& upper) {
    std::array<std::array<TMoments, 256>, 3> levels{};
    for (size_t i = box.Begin; i < box.End; ++i)
        for (size_t axis = 0; axis < 3; ++axis)
            levels[axis][size_t(points[i].Color[axis])].Add(points[i]);
    size_t bestAxis = 0;
    int32_t bestPlane = 0; // colours with this level or less go below
    int128 bestScore = -1;
    TMoments bestLow;
    for (size_t axis = 0; axis < 3; ++axis) {
        TMoments low;
        for (int32_t level = 0; level < 255; ++level) {
            const TMoments& here = levels[axis][size_t(level)];
            if (here.Count == 0) continue;
            low.Count += here.Count;
            for (size_t k = 0; k < 3; ++k)
                low.Sum[k] += here.Sum[k];
            low.Squares += here.Squares;
            if (low.Count == box.Moments.Count) break;
            int128 score = low.Score() + (box.Moments - low).Score();
            if (score > bestScore) {
                bestScore = score;
                bestAxis = axis;
                bestPlane = level;
                bestLow = low;
            }
        }
    }
    auto middle = std::stable_partition(
        points.begin() + std::ptrdiff_t(box.Begin), points.begin() + std::ptrdiff_t(box.End),
        [&](const TExactPoint& p) { return p.Color[bestAxis] <= bestPlane; });
    const size_t at = size_t(middle - points.begin());
    upper.Begin = at;
    upper.End = box.End;
    upper.Moments = box.Moments - bestLow;
    upper.Spread = upper.Moments.Spread();
    box.End = at;
    box.Moments = bestLow;
    box.Spread = bestLow.Spread();
}

} // namespace

std::optional<std::vector<TColorCell>> CountExactColors(std::span<const TBitmap* const> bitmaps,
                                                        int step, uint32_t skip, size_t maxColors,
                                                        size_t maxRegions, int smoothWeight) {
    step = std::max(step, 1);
    smoothWeight = std::clamp(smoothWeight, 1, 16);
    std::vector<int32_t> blockOf(Regions, NoBlock);
    std::vector<uint32_t> counts;
    size_t distinct = 0;
    for (const TBitmap* bitmap : bitmaps) {
        if (!bitmap || bitmap->Empty()) continue;
        TDIBReader reader(*bitmap, pf24bit);
        uint32_t last = 0xFFFFFFFF;
        size_t lastAt = 0;
        for (int y = 0; y < bitmap->Height(); y += step) {
            const uint8_t* row = reader.ScanLine(y);
            const uint8_t* above = y > 0 ? reader.ScanLine(y - 1) : row;
            const uint8_t* p = row;
            for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
                const uint32_t r = p[2], g = p[1], b = p[0], rgb = r << 16 | g << 8 | b;
                if (rgb == skip) continue;
                if (rgb != last) { // flat areas repeat one colour: find its counter once
                    int32_t& block = blockOf[(r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)];
                    if (block == NoBlock) {
                        if (counts.size() / BlockSize >= maxRegions) return std::nullopt;
                        block = int32_t(counts.size() / BlockSize);
                        counts.resize(counts.size() + BlockSize, 0);
                    }
                    last = rgb;
                    lastAt = size_t(block) * BlockSize + ((r & 7) << 6 | (g & 7) << 3 | (b & 7));
                    if (counts[lastAt] == 0 && ++distinct > maxColors) return std::nullopt;
                }
                counts[lastAt] += smoothWeight > 1 &&
                                          IsSmoothPixel(p, x > 0 ? p - 3 : p, above + 3 * x)
                                      ? uint32_t(smoothWeight)
                                      : 1;
            }
        }
    }
    std::vector<TColorCell> out;
    for (size_t region = 0; region < Regions; ++region) {
        if (blockOf[region] == NoBlock) continue;
        const uint32_t* block = counts.data() + size_t(blockOf[region]) * BlockSize;
        for (size_t fine = 0; fine < BlockSize; ++fine) {
            if (block[fine] == 0) continue;
            const uint64_t r = (region >> 10) << 3 | fine >> 6,
                           g = (region >> 5 & 31) << 3 | (fine >> 3 & 7),
                           b = (region & 31) << 3 | (fine & 7);
            TColorCell cell;
            cell.Count = block[fine];
            cell.Sum = {r * cell.Count, g * cell.Count, b * cell.Count};
            out.push_back(cell);
        }
    }
    return out;
}

std::vector<TColorCell> SplitExactColors(std::span<const TColorCell> exact, int colors) {
    std::vector<TExactPoint> points;
    points.reserve(exact.size());
    TBox all;
    for (const TColorCell& cell : exact) {
        if (cell.Count == 0) continue;
        TRGB c = ColorOf(cell);
        points.push_back({{c.Red, c.Green, c.Blue}, cell.Count});
        all.Moments.Add(points.back());
    }
    if (points.empty()) return {};
    all.End = points.size();
    all.Spread = all.Moments.Spread();

    std::vector<TBox> boxes{all};
    while (int(boxes.size()) < colors) {
        size_t worst = 0; // the first of equals
        for (size_t i = 1; i < boxes.size(); ++i)
            if (boxes[i].Spread > boxes[worst].Spread) worst = i;
        if (boxes[worst].Spread <= 0 || boxes[worst].End - boxes[worst].Begin < 2) break;
        TBox upper;
        Cut(points, boxes[worst], upper);
        boxes.push_back(upper);
    }

    std::vector<TColorCell> out;
    for (const TBox& box : boxes) {
        TColorCell cell;
        cell.Count = uint32_t(box.Moments.Count);
        for (size_t k = 0; k < 3; ++k)
            cell.Sum[k] = uint64_t(box.Moments.Sum[k]);
        out.push_back(cell);
    }
    return out;
}

std::vector<TRGB> FillWithWorstServed(std::span<const TColorCell> exact, std::vector<TRGB> palette,
                                      int colors) {
    if (int(palette.size()) >= colors) return palette;
    auto table = std::make_shared<TPalette>();
    for (const TRGB& c : palette)
        table->Entries.push_back({c.Red, c.Green, c.Blue, 0});
    TNearestColorLookup lookup(table);
    const bool none = palette.empty(); // then the most frequent colours come first
    struct TNeed {
        uint64_t Cost;
        size_t At;
    };
    std::vector<TNeed> needs;
    for (size_t i = 0; i < exact.size(); ++i) {
        if (exact[i].Count == 0) continue;
        TRGB c = ColorOf(exact[i]), chosen;
        if (none) {
            needs.push_back({exact[i].Count, i});
            continue;
        }
        lookup.Lookup(c.Red, c.Green, c.Blue, chosen);
        int dr = c.Red - chosen.Red, dg = c.Green - chosen.Green, db = c.Blue - chosen.Blue;
        uint64_t cost = uint64_t(dr * dr + dg * dg + db * db) * exact[i].Count;
        if (cost > 0) needs.push_back({cost, i});
    }
    std::sort(needs.begin(), needs.end(), [](const TNeed& a, const TNeed& b) {
        return a.Cost != b.Cost ? a.Cost > b.Cost : a.At < b.At;
    });
    for (size_t i = 0; i < needs.size() && int(palette.size()) < colors; ++i)
        palette.push_back(ColorOf(exact[needs[i].At]));
    return palette;
}

} // namespace gif
