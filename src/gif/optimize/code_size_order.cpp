#include "gif/optimize/code_size_order.h"

#include "gif/base/byte_words.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/flexible_lzw.h"
#include "gif/optimize/frame_rules.h"
#include "gif/optimize/two_threads.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace gif::optimize {

namespace {

using TColorSet = std::bitset<256>;

int BitsFor(int largest) {
    int bits = 2;
    while ((1 << bits) <= largest)
        ++bits;
    return bits;
}

struct TFrameUse {
    TGIFSubImage* Frame;
    TColorSet Colors; // the entries its drawn pixels use
    bool Holes;       // whether it needs a transparent index
    double Weight;    // its pixel count: what a narrower code saves grows with it
    int CodeSize;     // as written now
    // Bytes of its image data at each code size its colours fit, numbered anyhow (LZW
    // parses any one-to-one renumbering alike); -1 until measured.
    std::array<int64_t, 9> SizeAt;
};

// Whether the frame fits `level` entries together with `set`: its colours and the set's
// within them, and one more entry for its transparent pixels.
bool Fits(const TFrameUse& use, const TColorSet& set, size_t level) {
    const size_t colors = use.Colors.count();
    return (set | use.Colors).count() <= level && (!use.Holes || colors < level);
}

// A set of at most `level` colours within `within` that as many frames as possible (by
// weight) fit: greedily the frame adding the fewest colours for its weight, the new colours
// counted to the power `newColorCost`.
TColorSet ChooseLevel(const std::vector<TFrameUse>& uses, const std::vector<double>& weights,
                      const TColorSet& within, size_t level, double newColorCost) {
    TColorSet set;
    std::vector<bool> taken(uses.size(), false);
    for (;;) {
        int bestFrame = -1;
        double bestScore = 0;
        for (size_t f = 0; f < uses.size(); ++f) {
            const TFrameUse& use = uses[f];
            if (taken[f] || weights[f] <= 0 || (use.Colors & ~within).any() ||
                !Fits(use, set, level))
                continue;
            const double score =
                weights[f] / std::pow(double((use.Colors & ~set).count() + 1), newColorCost);
            if (bestFrame < 0 || score > bestScore) {
                bestFrame = int(f);
                bestScore = score;
            }
        }
        if (bestFrame < 0) return set;
        taken[size_t(bestFrame)] = true;
        set |= uses[size_t(bestFrame)].Colors;
    }
}

// Renumbers the frame's pixels by `map`, its transparent pixels (and index) moved to the
// lowest entry its renumbered colours leave free, and gives it the code size they need.
void Renumber(TGIFSubImage& frame, const std::array<uint8_t, 256>& map, int tableCodeSize) {
    const int transparent = frame.TransparentIndex();
    // The values present first, then one lookup per pixel through the whole renumbering.
    std::array<bool, 256> present{};
    MarkPresentBytes(frame.PixelData(), present);
    TColorSet used;
    for (size_t v = 0; v < 256; ++v)
        if (present[v] && int(v) != transparent) used.set(map[v]);
    std::array<uint8_t, 256> renumber = map;
    if (transparent >= 0) {
        int lowest = 0;
        while (lowest < 256 && used.test(size_t(lowest)))
            ++lowest;
        renumber[size_t(transparent)] = uint8_t(lowest);
        frame.ControlBlock()->SetTransparentIndexUnchecked(uint8_t(lowest));
    }
    int largest = 0;
    for (size_t v = 0; v < 256; ++v)
        if (present[v]) largest = std::max<int>(largest, renumber[v]);
    MapBytes(frame.PixelData(), renumber);
    const int codeSize = std::min(BitsFor(largest), tableCodeSize);
    frame.SetCodeSizeHint(codeSize < tableCodeSize ? codeSize : 0);
}

// The code size the frame gets with `map`, from its colours alone; 9 when its transparent
// index finds no free entry below 2^tableCodeSize.
int MappedCodeSize(const TFrameUse& use, const std::array<uint8_t, 256>& map, int tableCodeSize) {
    TColorSet mapped;
    int largest = 0;
    for (size_t v = 0; v < 256; ++v)
        if (use.Colors.test(v)) {
            mapped.set(map[v]);
            largest = std::max<int>(largest, map[v]);
        }
    if (use.Frame->TransparentIndex() >= 0) {
        int transparent = 0;
        while (transparent < 256 && mapped.test(size_t(transparent)))
            ++transparent;
        if (transparent >= (1 << tableCodeSize)) return 9;
        if (use.Holes) largest = std::max(largest, transparent);
    }
    return std::min(BitsFor(largest), tableCodeSize);
}

// The code size the writer uses for a frame drawing with the global table.
int WrittenCodeSize(const TGIFSubImage& frame, int tableCodeSize) {
    const int hint = frame.CodeSizeHint();
    if (hint > 0 && hint < tableCodeSize && LargestByte(frame.PixelData()) < (1 << hint))
        return hint;
    return tableCodeSize;
}

// The bytes of the frame's image data with `pixels` at `codeSize`: counted by the
// optimiser's own LZW parse (the encoder's, without writing a code) unless interlaced.
// `lzw` is the calling thread's.
int64_t DataSize(const TGIFSubImage& frame, const uint8_t* pixels, int codeSize,
                 TFlexibleLzw& lzw) {
    constexpr int64_t Unbounded = std::numeric_limits<int64_t>::max() - 1;
    if (!frame.IsInterlaced())
        return lzw.Measure(pixels, frame.PixelData().size(), codeSize, Unbounded);
    return EncodedSizeUpTo({pixels, frame.FrameWidth(), frame.FrameHeight(), true, codeSize,
                            1 << codeSize},
                           emLZW, Unbounded);
}

// The frame's image data at `bits`, its colours (and holes) numbered from 0 in order. One
// parse tells the sizes at the larger code sizes too, unless the table fills.
int64_t SizeAt(TFrameUse& use, int bits, TFlexibleLzw& lzw) {
    int64_t& size = use.SizeAt[size_t(bits)];
    if (size >= 0) return size;
    std::array<uint8_t, 256> rank{};
    int next = 0;
    for (size_t v = 0; v < 256; ++v)
        if (use.Colors.test(v)) rank[v] = uint8_t(next++);
    const TGIFSubImage& frame = *use.Frame;
    const int transparent = frame.TransparentIndex();
    if (transparent >= 0) rank[size_t(transparent)] = uint8_t(next);
    std::vector<uint8_t> pixels(frame.PixelData().begin(), frame.PixelData().end());
    MapBytes(pixels, rank);
    if (!frame.IsInterlaced())
        lzw.MeasureEachCodeSize(pixels.data(), pixels.size(), bits, use.SizeAt);
    else
        size = DataSize(frame, pixels.data(), bits, lzw);
    return size;
}

// The old entries in a new order: the nested levels' colours first (those of the 4-entry
// level, then the rest of the 8-entry one, ... up to 128), then every other entry.
std::vector<int> LevelOrder(std::vector<TFrameUse>& uses, int count, int tableCodeSize,
                            double newColorCost, bool bySavings, TFlexibleLzw (&lzws)[2],
                            bool secondThread) {
    TColorSet all;
    for (int v = 0; v < count; ++v)
        all.set(size_t(v));
    std::vector<TColorSet> levels;
    TColorSet within = all;
    for (size_t level = 128; level >= 4; level /= 2) {
        if (level >= size_t(count)) continue;
        // A frame weighs its pixels, or the bytes it saves one code size down at this level
        // (measured on two threads, each frame by one).
        std::vector<double> weights(uses.size(), 0);
        const int bits = BitsFor(int(level) - 1);
        auto weigh = [&](size_t f, int thread) {
            TFrameUse& use = uses[f];
            const size_t needs = use.Colors.count() + (use.Holes ? 1 : 0);
            if (!bySavings)
                weights[f] = use.Weight;
            else if (needs <= level && bits < tableCodeSize)
                weights[f] = double(SizeAt(use, bits + 1, lzws[thread]) -
                                    SizeAt(use, bits, lzws[thread]));
        };
        if (bySavings)
            ShareOutOnTwoThreads(uses.size(), secondThread, weigh);
        else
            for (size_t f = 0; f < uses.size(); ++f)
                weigh(f, 0);
        within = ChooseLevel(uses, weights, within, level, newColorCost);
        levels.push_back(within);
    }
    std::vector<int> order;
    TColorSet placed;
    auto place = [&](const TColorSet& set) {
        for (int v = 0; v < count; ++v)
            if (set.test(size_t(v)) && !placed.test(size_t(v))) {
                order.push_back(v);
                placed.set(size_t(v));
            }
    };
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        place(*level);
    place(all);
    return order;
}

} // namespace

bool OrderColorsForCodeSizes(TGIFImage& image) {
    if (image.EncodingMethod != emLZW) return false;
    TGIFGlobalColorMap& global = image.GlobalColorMap();
    const int count = global.EntryCount();
    const int tableCodeSize = std::max(image.ScreenBitDepth(), 2);
    if (count <= 4 || tableCodeSize <= 2) return false;

    std::vector<TFrameUse> uses;
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank() || !frame.HasPixels() || frame.LocalTable().EntryCount() > 0) continue;
        TFrameUse use{&frame,
                      {},
                      false,
                      double(frame.PixelData().size()),
                      WrittenCodeSize(frame, tableCodeSize),
                      {}};
        use.SizeAt.fill(-1);
        const int transparent = frame.TransparentIndex();
        std::array<bool, 256> present{};
        MarkPresentBytes(frame.PixelData(), present);
        for (int v = 0; v < 256; ++v) {
            if (!present[size_t(v)]) continue;
            if (v == transparent) {
                use.Holes = true;
                continue;
            }
            if (v >= count) return false; // a pixel past the table's end keeps its number
            use.Colors.set(size_t(v));
        }
        uses.push_back(use);
    }
    if (uses.empty()) return false;

    // Orders from a few ways of weighing frames (by their pixels, or by the bytes a smaller
    // code size saves them) against the colours they add; the one whose frames write
    // fewest bytes is taken.
    TFlexibleLzw lzws[2]; // one for each thread measuring
    const bool secondThread = WorthASecondThread(image);
    std::vector<int> order;
    std::array<uint8_t, 256> map{};
    int64_t saved = 0;
    struct TWeighing {
        double NewColorCost;
        bool BySavings;
    };
    for (const TWeighing weighing : {TWeighing{0, false}, TWeighing{1, false}, TWeighing{2, false},
                                     TWeighing{4, false}, TWeighing{1, true}}) {
        const std::vector<int> tried =
            LevelOrder(uses, count, tableCodeSize, weighing.NewColorCost, weighing.BySavings, lzws,
                       secondThread);
        std::array<uint8_t, 256> triedMap{};
        for (int v = 0; v < 256; ++v)
            triedMap[size_t(v)] = uint8_t(v);
        for (size_t k = 0; k < tried.size(); ++k)
            triedMap[size_t(tried[k])] = uint8_t(k);
        std::vector<int> codeSizes(uses.size());
        bool valid = true;
        for (size_t f = 0; f < uses.size() && valid; ++f) {
            codeSizes[f] = MappedCodeSize(uses[f], triedMap, tableCodeSize);
            valid = codeSizes[f] <= 8;
        }
        if (!valid) continue;
        // Only frames whose code size changes write a different number of bytes. LZW parses
        // any one-to-one renumbering alike, so a frame's bytes at a code size are those of
        // its colours numbered from 0 (kept from weighing to weighing). The frames are
        // measured on two threads, each frame by one.
        std::vector<int64_t> frameSaved(uses.size(), 0);
        ShareOutOnTwoThreads(uses.size(), secondThread, [&](size_t f, int thread) {
            TFrameUse& use = uses[f];
            if (codeSizes[f] == use.CodeSize) return;
            frameSaved[f] = SizeAt(use, use.CodeSize, lzws[thread]) -
                            SizeAt(use, codeSizes[f], lzws[thread]);
        });
        const int64_t triedSaved =
            std::accumulate(frameSaved.begin(), frameSaved.end(), int64_t(0));
        if (triedSaved > saved) {
            saved = triedSaved;
            order = tried;
            map = triedMap;
        }
    }
    if (saved <= 0) return false;

    std::array<TGIFColor, 256> colors{};
    for (size_t k = 0; k < order.size(); ++k)
        colors[k] = global.Entries()[size_t(order[k])];
    global.FromRgbTriples(colors, count);
    ShareOutOnTwoThreads(uses.size(), secondThread, [&](size_t f, int) {
        TGIFSubImage& frame = *uses[f].Frame;
        Renumber(frame, map, tableCodeSize);
        frame.DropBitmap();
        frame.DropMask();
    });
    // Frames drawing with their own tables keep their numbers; the screen's background
    // entry follows its colour.
    const int background = image.Header().BackgroundIndex();
    if (background < count) image.Header().SetBackgroundIndex(map[size_t(background)]);
    return true;
}

} // namespace gif::optimize
