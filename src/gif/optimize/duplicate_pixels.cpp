#include "gif/optimize/duplicate_pixels.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "gif/base/byte_words.h"
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/frame_rules.h"
#include "gif/optimize/frame_trim.h"
#include "gif/optimize/optimize_progress.h"

namespace gif::optimize {

namespace {

inline constexpr TColor Gray = RGB(128, 128, 128);

// The colour table that decides what a pixel of `frame` shows.
const TGIFColorMap& ShownTable(const TGIFSubImage& frame) {
    return frame.EffectiveTable();
}

// The table an opaque frame's new transparent index refers to: its local table if that
// has entries, else the global one.
TGIFColorMap& ActiveTable(TGIFSubImage& frame) {
    if (frame.LocalTable().EntryCount() > 0) return frame.LocalTable();
    return frame.OwnerImage()->GlobalColorMap();
}

bool UsesIndex(const TGIFSubImage& frame, int index) {
    std::span<const uint8_t> pixels = frame.PixelData();
    return std::find(pixels.begin(), pixels.end(), uint8_t(index)) != pixels.end();
}

// Whether index `a` of table `ta` shows the same colour as index `b` of table `tb`.
// Indices outside their table only match themselves in the same table.
bool SameColor(const TGIFColorMap& ta, int a, const TGIFColorMap& tb, int b) {
    if (&ta == &tb && a == b) return true;
    if (a >= ta.EntryCount() || b >= tb.EntryCount()) return false;
    return ta.Entries()[size_t(a)] == tb.Entries()[size_t(b)];
}

bool HasRepeatedColors(const TGIFColorMap& table) {
    std::vector<TGIFColor> colors(table.Entries().begin(), table.Entries().end());
    const auto key = [](const TGIFColor& c) { return c.Red << 16 | c.Green << 8 | c.Blue; };
    std::sort(colors.begin(), colors.end(),
              [&key](const TGIFColor& a, const TGIFColor& b) { return key(a) < key(b); });
    return std::adjacent_find(colors.begin(), colors.end(),
                              [&key](const TGIFColor& a, const TGIFColor& b) {
                                  return key(a) == key(b);
                              }) != colors.end();
}

// Marks the pixels of `frame` (row-major, frame coordinates) that repeat `reference`.
// Returns the number marked.
int MarkDuplicates(const TGIFSubImage& frame, int frameTransparent, const TGIFSubImage& reference,
                   std::vector<uint8_t>& marks) {
    TRect overlap = Intersection(frame.BoundsRect(), reference.BoundsRect());
    if (overlap.IsEmpty()) return 0;
    const TGIFColorMap& frameTable = ShownTable(frame);
    const TGIFColorMap& refTable = ShownTable(reference);
    int refTransparent = reference.TransparentIndex();
    const int fw = frame.FrameWidth();
    const int rw = reference.FrameWidth();
    const uint8_t* framePixels = frame.Pixels();
    const uint8_t* refPixels = reference.Pixels();

    // With one table that holds each colour once, a pixel repeats the reference exactly
    // when its index does: a comparison the compiler does many pixels at a time.
    const bool indicesDecide = &frameTable == &refTable && !HasRepeatedColors(frameTable);
    // Otherwise colour equality of index pairs is looked up once per pair, not once per
    // pixel.
    std::array<int8_t, 256 * 256> same{};   // 0 unknown, 1 same, -1 different
    int marked = 0;
    const int width = overlap.Width();
    for (int y = overlap.Top; y < overlap.Bottom; ++y) {
        size_t frameAt = size_t(y - frame.FrameTop()) * fw + size_t(overlap.Left - frame.FrameLeft());
        size_t refAt = size_t(y - reference.FrameTop()) * rw + size_t(overlap.Left - reference.FrameLeft());
        const uint8_t* f = framePixels + frameAt;
        const uint8_t* r = refPixels + refAt;
        uint8_t* m = marks.data() + frameAt;
        if (indicesDecide) {
            for (int x = 0; x < width; ++x) {
                const bool repeats =
                    f[x] == r[x] && f[x] != frameTransparent && r[x] != refTransparent;
                m[x] = repeats;
                marked += repeats;
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            int fp = f[x];
            int rp = r[x];
            if (fp == frameTransparent || rp == refTransparent) continue;
            int8_t& known = same[size_t(fp) * 256 + size_t(rp)];
            if (known == 0) known = SameColor(frameTable, fp, refTable, rp) ? 1 : -1;
            if (known > 0) {
                m[x] = 1;
                ++marked;
            }
        }
    }
    return marked;
}

// Picks the transparent index for an opaque frame: it must not be used by any pixel that
// stays visible, or those pixels would vanish too. Returns -1 when no index is free.
int ChooseTransparentIndex(TGIFSubImage& frame, const std::vector<uint8_t>& marks,
                           TColor preferred) {
    std::array<bool, 256> used{};
    std::span<const uint8_t> pixels = frame.PixelData();
    size_t i = 0;
    for (; i + 8 <= pixels.size(); i += 8) {
        if (EightAre(marks.data() + i, 1)) continue; // all eight become transparent
        for (size_t k = i; k < i + 8; ++k)
            if (!marks[k]) used[pixels[k]] = true;
    }
    for (; i < pixels.size(); ++i)
        if (!marks[i]) used[pixels[i]] = true;

    TGIFColorMap& table = ActiveTable(frame);
    int wanted = table.FindColor(preferred);
    if (wanted < 0) wanted = 0;
    if (!used[size_t(wanted)]) return wanted;
    for (int i = 0; i < table.EntryCount(); ++i)
        if (!used[size_t(i)]) return i;
    // Every entry is still in use: a new entry (EntryCount, appended by the caller) becomes
    // the transparent one. The caller made sure the table has room.
    if (used[size_t(table.EntryCount())]) return -1;
    return table.EntryCount();
}

// The bytes of LZW data for what trimming would keep of `pixels`: the rectangle of the
// pixels other than `transparent` (all of them when it is -1), when at most `most`, else
// some larger value.
int64_t TrimmedCompressedSize(const TGIFSubImage& frame, std::span<const uint8_t> pixels,
                              int transparent, int bits, int64_t most) {
    const int width = frame.FrameWidth();
    const TRect kept = OpaqueRect(pixels, width, frame.FrameHeight(), transparent);
    if (kept.IsEmpty()) return 0;
    const int w = kept.Width(), h = kept.Height(), left = kept.Left, top = kept.Top;
    if (w == width && h == frame.FrameHeight())
        return EncodedSizeUpTo({pixels.data(), w, h, frame.IsInterlaced(), bits, 256}, emLZW,
                               most);
    std::vector<uint8_t> rect(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        std::copy_n(pixels.data() + size_t(top + y) * width + left, w, rect.data() + size_t(y) * w);
    return EncodedSizeUpTo({rect.data(), w, h, frame.IsInterlaced(), bits, 256}, emLZW, most);
}

} // namespace

int ReferenceFrameIndex(const TGIFImage& image, int index) {
    int reference = index - 1;
    while (reference > 0 && DisposalOf(*image.Frame(reference)) == dmPrevious) --reference;
    return reference;
}

TColor PreferredTransparentColor(const TGIFImage& image) {
    if (image.FrameCount() == 0) return Gray;
    const TGIFSubImage& first = *image.Frame(0);
    if (first.IsBlank() || first.FrameWidth() < 2) return Gray;
    uint8_t index = first.Pixels()[size_t(first.FrameHeight() - 1) * first.FrameWidth() + 1];
    const TGIFColorMap& table = first.EffectiveTable();
    if (index >= table.EntryCount()) return Gray;
    const TGIFColor& c = table.Entries()[index];
    return RGB(c.Red, c.Green, c.Blue);
}

bool ReplaceDuplicatePixels(TGIFSubImage& frame, const TGIFSubImage& reference, TColor preferred) {
    if (frame.IsBlank() || reference.IsBlank()) return false;
    // The reference's picture is on the screen only if it is left in place.
    if (!LeavesFrameInPlace(reference)) return false;
    int transparent = frame.TransparentIndex();
    if (transparent >= ActiveTable(frame).EntryCount()) {
        // The transparent entry is not in the table (sorting drops it when no pixel uses
        // it). Writing that index into pixels would make the frame unwritable, so such a
        // frame counts as opaque, or is left alone when its holes use the missing index.
        if (UsesIndex(frame, transparent)) return false;
        transparent = -1;
    }
    bool opaque = transparent < 0;
    if (opaque) {
        const TGIFColorMap& table = ActiveTable(frame);
        if (table.EntryCount() < 1 || table.EntryCount() >= TGIFColorMap::MaxColors) return false;
    }

    std::vector<uint8_t> marks(frame.PixelData().size(), 0);
    if (MarkDuplicates(frame, transparent, reference, marks) == 0) return false;

    int replacement = transparent;
    if (opaque) {
        replacement = ChooseTransparentIndex(frame, marks, preferred);
        if (replacement < 0) return false;
    }
    std::span<uint8_t> pixels = frame.PixelData();
    std::vector<uint8_t> replaced(pixels.size());
    {
        // Each mark is 0 or 1: its negation selects the replacement's bits or the pixel's,
        // many pixels at a time.
        const uint8_t* __restrict from = pixels.data();
        const uint8_t* __restrict mark = marks.data();
        uint8_t* __restrict to = replaced.data();
        const auto with = uint8_t(replacement);
        for (size_t i = 0; i < replaced.size(); ++i)
            to[i] = uint8_t(from[i] ^ ((from[i] ^ with) & -mark[i]));
    }

    // Transparency scattered through noisy pictures (video, dithering) breaks the runs LZW
    // feeds on and can make the frame larger: the replacement is kept only when what is
    // left of the frame compresses to no more than before.
    TGIFColorMap& table = ActiveTable(frame);
    int bitsBefore = table.BitsNeeded();
    int bitsAfter = TGIFColorMap::BitsFor(std::max(table.EntryCount(), replacement + 1));
    // The original is measured only as far as it takes to reach the replacement's size.
    const int64_t replacedSize = TrimmedCompressedSize(
        frame, replaced, replacement, bitsAfter, std::numeric_limits<int64_t>::max() - 1);
    if (replacedSize >
        TrimmedCompressedSize(frame, pixels, transparent, bitsBefore, replacedSize - 1))
        return false;

    if (opaque && replacement == table.EntryCount()) table.AppendColor(preferred);
    std::copy(replaced.begin(), replaced.end(), pixels.begin());
    if (opaque) {
        TGIFGraphicControlExtension& gce = EnsureControlBlock(frame);
        gce.SetTransparentIndex(uint8_t(replacement));
        gce.SetTransparentFlag(true);
    }
    frame.DropBitmap();
    frame.DropMask();
    return true;
}

void RemoveDuplicatePixels(TGIFImage& image, TOptimizeProgress& progress) {
    TColor preferred = PreferredTransparentColor(image);
    for (int i = image.FrameCount() - 1; i >= 1; --i) {
        ReplaceDuplicatePixels(*image.Frame(i), *image.Frame(ReferenceFrameIndex(image, i)),
                               preferred);
        progress.Step(2);
    }
}

} // namespace gif::optimize
