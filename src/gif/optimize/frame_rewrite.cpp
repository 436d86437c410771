#include "gif/optimize/frame_rewrite.h"

#include "gif/base/byte_words.h"
#include "gif/base/stream.h"
#include "gif/codec/image_data_writer.h"
#include "gif/model/image.h"
#include "gif/optimize/bounded_size.h"
#include "gif/optimize/frame_rules.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace gif::optimize {

namespace {

constexpr int DescriptorBytes = 10;

// The two LZW-guided choices: transparency wherever it continues the string (a bias no
// reach can beat, so one pixel of lookahead is enough), and whichever string reaches
// further within a few pixels. Looking further ahead measured larger: strings far ahead
// are rarely the ones the parse ends up taking.
struct TGuidedChoice {
    int Bias;
    int Lookahead;
};
constexpr TGuidedChoice TransparencyFirst{6, 1};
constexpr TGuidedChoice FurtherReach{0, 6};
constexpr int ControlBlockBytes = 8;

// What a pixel of a rewritten frame may be; each kind allows transparency more than the one
// before.
enum TCellKind : uint8_t {
    ckColor, // its colour: the screen changes here
    ckFree,  // its colour or transparent: the screen shows that colour already
    ckHole,  // transparent: the screen shows what no entry of the table holds
};

struct TLayout {
    int Disposal;
    TRect Rect; // in the frame's own coordinates
};

struct TCells {
    std::vector<uint8_t> Color; // the entry to draw (ckColor, ckFree)
    std::vector<uint8_t> Kind;
    bool HasFree = false;
    bool HasHole = false;
};

struct TEncoding {
    TLayout Layout{};
    std::vector<uint8_t> Pixels;
    int Transparent = -1; // -1: no pixel is transparent
    int CodeSize = 0;     // 0: the one the colour table needs
    bool Interlaced = false;
    int64_t Data = 0;                                   // bytes of the compressed pixels
    int64_t Cost = std::numeric_limits<int64_t>::max(); // with the descriptor and blocks added
};

// The code size and colour limit the writer uses for the frame's table.
struct TTableBits {
    int Bits;
    int Limit;
};

TTableBits WriterBits(const TGIFSubImage& frame, int screenBits) {
    if (frame.LocalTable().EntryCount() > 0)
        return {frame.LocalTable().BitsNeeded(), frame.LocalTable().EntryCount()};
    const int bits = frame.OwnerImage() ? screenBits : 8;
    return {bits, 1 << bits};
}

TEncodingMethod MethodOf(const TGIFSubImage& frame) {
    const TGIFImage* image = frame.OwnerImage();
    return image ? image->EncodingMethod : emLZW;
}

int BitsFor(int largest) {
    int bits = 2;
    while ((1 << bits) <= largest)
        ++bits;
    return bits;
}

// Bytes of the compressed pixels when at most `most`, else some larger value (the encoding
// stops as soon as it is known to lose).
int64_t DataBytes(const TGIFSubImage& frame, const uint8_t* pixels, int width, int height,
                  bool interlaced, int bits, int limit, int64_t most) {
    return EncodedSizeUpTo(TEncodeSource{pixels, width, height, interlaced, bits, limit},
                           MethodOf(frame), most);
}

// The frame's size as it would be written now (blocks and table left out: they stay), when
// at most `most`, else some larger value.
int64_t CurrentCost(const TGIFSubImage& frame, const TTableBits& table, int64_t most,
                    TFlexibleLzw& lzw) {
    int bits = table.Bits;
    std::span<const uint8_t> pixels = frame.PixelData();
    int hint = frame.CodeSizeHint();
    if (hint > 0 && hint < std::max(bits, 2) &&
        LargestByte(pixels) < (1 << hint))
        bits = hint;
    if (MethodOf(frame) == emLZW && !frame.IsInterlaced())
        return DescriptorBytes + lzw.Measure(frame.Pixels(), pixels.size(), std::max(bits, 2),
                                             most - DescriptorBytes);
    return DescriptorBytes + DataBytes(frame, frame.Pixels(), frame.FrameWidth(),
                                       frame.FrameHeight(), frame.IsInterlaced(), bits,
                                       std::min(table.Limit, 1 << std::max(bits, 2)),
                                       most - DescriptorBytes);
}

template <typename F> bool AllViews(std::span<const TFrameView> views, F&& test) {
    for (const TFrameView& view : views)
        if (!test(view)) return false;
    return true;
}

// The smallest rectangle (frame coordinates) for which `disposal` shows and leaves the
// same screens, or none when that disposal cannot.
std::optional<TRect> LayoutRect(int disposal, int width, int height,
                                std::span<const TFrameView> views) {
    TRect box{width, height, 0, 0};
    for (const TFrameView& view : views) {
        for (int y = 0; y < height; ++y) {
            const TColorKey* before = view.Before->Row(y);
            const TColorKey* shown = view.Shown->Row(y);
            const TColorKey* next = view.Next ? view.Next->Row(y) : nullptr;
            for (int x = 0; x < width; ++x) {
                bool changed = shown[x] != before[x];
                if (!next) {
                    // Nothing shows what the frame leaves: any disposal will do.
                } else if (disposal == dmPrevious) {
                    if (next[x] != before[x]) return std::nullopt;
                } else if (disposal == dmBackground) {
                    changed = changed || next[x] != shown[x];
                    // Restoring to the background clears every pixel it draws.
                    if (changed && next[x] != ScreenBackground) return std::nullopt;
                } else if (next[x] != shown[x]) {
                    return std::nullopt;
                }
                if (changed) {
                    box.Left = std::min(box.Left, x);
                    box.Right = std::max(box.Right, x + 1);
                    box.Top = std::min(box.Top, y);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
            }
        }
    }
    // Nothing changes: one pixel (transparent, or the colour already shown) will do.
    if (box.IsEmpty()) box = {0, 0, 1, 1};
    if (disposal == dmBackground) {
        // Restoring to the background clears the whole rectangle.
        for (const TFrameView& view : views)
            for (int y = box.Top; view.Next && y < box.Bottom; ++y)
                for (int x = box.Left; x < box.Right; ++x)
                    if (view.Next->At(x, y) != ScreenBackground) return std::nullopt;
    }
    return box;
}

// The first entry of a table holding each colour: open addressing over at most 256
// colours in 512 slots.
class TEntryOf {
  public:
    explicit TEntryOf(const TFrameColors& colors, int entries) {
        slots_.fill({NoColor, 0});
        for (int i = 0; i < entries; ++i) {
            size_t slot = SlotOf(colors[size_t(i)]);
            while (slots_[slot].Key != NoColor && slots_[slot].Key != colors[size_t(i)])
                slot = (slot + 1) & 511;
            if (slots_[slot].Key == NoColor) slots_[slot] = {colors[size_t(i)], uint8_t(i)};
        }
    }
    // The entry, or -1 when no entry has the colour.
    int Find(TColorKey key) const {
        for (size_t slot = SlotOf(key);; slot = (slot + 1) & 511) {
            if (slots_[slot].Key == key) return slots_[slot].Entry;
            if (slots_[slot].Key == NoColor) return -1;
        }
    }

  private:
    struct TSlot {
        TColorKey Key;
        uint8_t Entry;
    };
    static size_t SlotOf(TColorKey key) { return (key * 0x9E3779B1u) >> 23; }
    std::array<TSlot, 512> slots_;
};

// What each pixel of the rectangle may be; none when some pixel can be neither.
std::optional<TCells> BuildCells(const TGIFSubImage& frame, const TRect& rect,
                                 std::span<const TFrameView> views, const TEntryOf& entryOf) {
    TCells cells;
    const size_t count = size_t(rect.Width()) * size_t(rect.Height());
    cells.Color.resize(count);
    cells.Kind.resize(count);
    const int transparent = frame.TransparentIndex();
    bool hasFree = false, hasHole = false;
    size_t i = 0;
    // Each view's row of the picture shown and of the screen before, for the row at hand.
    std::vector<std::pair<const TColorKey*, const TColorKey*>> rows(views.size());
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const uint8_t* original = frame.Pixels() + size_t(y) * size_t(frame.FrameWidth());
        for (size_t v = 0; v < views.size(); ++v)
            rows[v] = {views[v].Shown->Row(y), views[v].Before->Row(y)};
        const TColorKey* shownRow = rows[0].first;
        for (int x = rect.Left; x < rect.Right; ++x, ++i) {
            const TColorKey shown = shownRow[x];
            bool same = true;     // every view shows what was there before
            bool constant = true; // every view shows the same colour
            for (const auto& [viewShownRow, beforeRow] : rows) {
                const TColorKey viewShown = viewShownRow[x];
                same &= viewShown == beforeRow[x];
                constant &= viewShown == shown;
            }
            int entry = -1;
            if (constant && shown != ScreenBackground)
                entry = original[x] != transparent ? original[x] : entryOf.Find(shown);
            if (entry < 0 && !same) return std::nullopt;
            const uint8_t kind = entry < 0 ? ckHole : same ? ckFree : ckColor;
            cells.Color[i] = uint8_t(std::max(entry, 0));
            cells.Kind[i] = kind;
            hasFree |= kind == ckFree;
            hasHole |= kind == ckHole;
        }
    }
    cells.HasFree = hasFree;
    cells.HasHole = hasHole;
    return cells;
}

// The transparent index for the cells: an entry no pixel needs as its colour that keeps
// the code size smallest, preferably the colour of many free pixels (they then match
// either way), else the lowest. -1 when every entry is needed.
int ChooseTransparent(const TCells& cells, int entries) {
    std::array<bool, 256> needed{};
    std::array<int, 256> freeUse{};
    int largest = 0;
    for (size_t i = 0; i < cells.Kind.size(); ++i) {
        if (cells.Kind[i] == ckHole) continue;
        largest = std::max<int>(largest, cells.Color[i]);
        if (cells.Kind[i] == ckColor)
            needed[cells.Color[i]] = true;
        else
            ++freeUse[cells.Color[i]];
    }
    int best = -1;
    for (int v = 0; v < entries && v < 256; ++v) {
        if (needed[size_t(v)]) continue;
        if (best < 0) {
            best = v;
        } else if (BitsFor(std::max(largest, v)) == BitsFor(std::max(largest, best)) &&
                   freeUse[size_t(v)] > freeUse[size_t(best)]) {
            best = v;
        }
    }
    return best;
}

// The cells' colours, with `transparent` for every cell of kind `firstKind` or later. Kept
// apart from the rewrite, the loop is simple enough for the compiler to take many pixels at
// a time.
void FillTransparentFrom(const uint8_t* __restrict kind, const uint8_t* __restrict color,
                         size_t n, uint8_t firstKind, uint8_t transparent,
                         uint8_t* __restrict out) {
    for (size_t i = 0; i < n; ++i) {
        // Read whatever the kind: a read under a condition keeps the compiler from it.
        const uint8_t c = color[i];
        out[i] = kind[i] >= firstKind ? transparent : c;
    }
}

// What the LZW-guided choices start from: each cell's value (holes `transparent`) and
// whether it is free. Returns the largest value and the largest of those that are not free.
std::pair<uint8_t, uint8_t> SplitFreeCells(const uint8_t* __restrict kind,
                                           const uint8_t* __restrict color, size_t n,
                                           uint8_t transparent, uint8_t* __restrict values,
                                           uint8_t* __restrict free) {
    uint8_t most = 0, mostForced = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t k = kind[i], c = color[i];
        const uint8_t v = k == ckHole ? transparent : c;
        const uint8_t isFree = k == ckFree;
        values[i] = v;
        free[i] = isFree;
        most = std::max(most, v);
        mostForced = std::max(mostForced, uint8_t(v & (isFree - 1))); // 0 where free
    }
    return {most, mostForced};
}

// Transparency for the stretches between changing pixels that are at least MinRun long
// (or must be transparent somewhere), colours for the shorter ones. Ten measured smallest
// on recordings of text: short gaps between changed letters compress better as the colour
// LZW already sees around them.
void ChooseRuns(const TCells& cells, uint8_t transparent, std::vector<uint8_t>& chosen) {
    constexpr size_t MinRun = 10;
    const size_t count = cells.Kind.size();
    size_t i = 0;
    while (i < count) {
        if (cells.Kind[i] == ckColor) {
            chosen[i] = cells.Color[i];
            ++i;
            continue;
        }
        size_t end = i;
        bool hole = false;
        for (; end < count && cells.Kind[end] != ckColor; ++end)
            if (cells.Kind[end] == ckHole) hole = true;
        const bool transparentRun = hole || end - i >= MinRun;
        for (; i < end; ++i)
            chosen[i] = transparentRun ? transparent : cells.Color[i];
    }
}

// Draws the encoding on each view's screen and checks that it shows and leaves the same.
bool ShowsTheSame(const TEncoding& encoding, const TFrameColors& colors,
                  std::span<const TFrameView> views) {
    const TRect& rect = encoding.Layout.Rect;
    for (const TFrameView& view : views) {
        TScreen screen = *view.Before;
        size_t i = 0;
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x, ++i)
                if (int(encoding.Pixels[i]) != encoding.Transparent)
                    screen.Row(y)[x] = colors[encoding.Pixels[i]];
        if (screen.Pixels != view.Shown->Pixels) return false;
        if (!view.Next) continue;
        ApplyDisposal(encoding.Layout.Disposal, rect, *view.Before, screen);
        if (screen.Pixels != view.Next->Pixels) return false;
    }
    return true;
}

} // namespace

TFrameRewriter::TFrameRewriter(const TGIFImage& image) : screenBits_(image.ScreenBitDepth()) {}

bool TFrameRewriter::Rewrite(TGIFSubImage& frame, std::span<const TFrameView> views,
                             bool keepPlacement) {
    if (views.empty() || frame.IsBlank() || !frame.HasPixels() || ControlBlockCount(frame) > 1)
        return false;
    const int disposal = DisposalOf(frame);
    if (disposal > dmPrevious) return false;

    const TFrameColors colors = FrameColors(frame);
    const TTableBits table = WriterBits(frame, screenBits_);
    const int entries = std::min(frame.EffectiveTable().EntryCount(), table.Limit);
    const TEntryOf entryOf(colors, entries);

    // The disposals worth a try: the frame's own, and those that restore.
    std::vector<int> disposals{disposal};
    if (!keepPlacement) {
        for (int d : {int(dmBackground), int(dmPrevious), int(dmNoDisposal)})
            if (d != disposal && !(d == dmNoDisposal && disposal == dmNone)) disposals.push_back(d);
    }

    TEncoding best;
    std::vector<uint8_t> chosen;
    for (int d : disposals) {
        std::optional<TRect> rect =
            keepPlacement
                ? std::optional<TRect>(TRect{0, 0, frame.FrameWidth(), frame.FrameHeight()})
                : LayoutRect(d, frame.FrameWidth(), frame.FrameHeight(), views);
        if (!rect) continue;
        std::optional<TCells> cells = BuildCells(frame, *rect, views, entryOf);
        if (!cells) continue;
        const bool mayHaveHoles = cells->HasFree || cells->HasHole;
        int transparent = mayHaveHoles ? ChooseTransparent(*cells, entries) : -1;
        if (transparent < 0 && cells->HasHole) continue;
        const bool hasControl = frame.ControlBlock() != nullptr;
        const int width = rect->Width(), height = rect->Height();
        const size_t count = cells->Kind.size();

        // The pixel choices: colours wherever possible, transparency wherever possible,
        // transparency only in runs (between pixels that change) of at least ten, and
        // whichever LZW prefers, with and without a bias for transparency.
        const int variants = transparent >= 0 && cells->HasFree ? 5 : 1;
        std::vector<std::vector<uint8_t>> tried;
        std::vector<uint8_t> free, values; // what the LZW-guided choices start from
        int largest = transparent;
        int forcedLargest = 0; // the largest value of the pixels that have no choice
        for (int variant = 0; variant < variants; ++variant) {
            chosen.resize(count);
            int64_t chosenBytes = 0; // the LZW-guided choices count their encoded bytes
            int chosenCodeSize = 0;
            if (variant == 2 || variant == 4) {
                if (free.empty()) {
                    free.resize(count);
                    values.resize(count);
                    const auto [most, mostForced] = SplitFreeCells(
                        cells->Kind.data(), cells->Color.data(), count, uint8_t(transparent),
                        values.data(), free.data());
                    largest = std::max<int>(largest, most);
                    forcedLargest = mostForced;
                }
                chosenCodeSize = BitsFor(largest);
                // When the pixels without a choice already need that code size, the choice
                // is written at it: its count can stop once it cannot beat the best (with
                // the least overhead a candidate can have).
                const bool sizeCertain = BitsFor(forcedLargest) == chosenCodeSize &&
                                         chosenCodeSize <= std::max(table.Bits, 2) &&
                                         MethodOf(frame) == emLZW;
                const int64_t chooseMost = sizeCertain ? best.Cost - DescriptorBytes - 1
                                                       : std::numeric_limits<int64_t>::max() - 1;
                const TGuidedChoice guided = variant == 2 ? TransparencyFirst : FurtherReach;
                chosenBytes = lzw_.Choose(values.data(), free.data(), count,
                                          uint8_t(transparent), chosenCodeSize, guided.Bias,
                                          guided.Lookahead, chosen.data(), chooseMost);
                if (chosenBytes > chooseMost) continue; // lost, and `chosen` is incomplete
            } else if (variant == 3) {
                ChooseRuns(*cells, uint8_t(transparent), chosen);
            } else {
                // Holes are transparent; in the second choice free pixels too.
                FillTransparentFrom(cells->Kind.data(), cells->Color.data(), count,
                                    variant == 1 ? ckFree : ckHole, uint8_t(transparent),
                                    chosen.data());
            }
            // Choices often coincide (no short runs, nothing LZW prefers): encode each once.
            if (std::find(tried.begin(), tried.end(), chosen) != tried.end()) continue;
            if (variant + 1 < variants) tried.push_back(chosen);
            const bool usesTransparency =
                transparent >= 0 &&
                std::memchr(chosen.data(), transparent, chosen.size()) != nullptr;
            const int bits = BitsFor(LargestByte(chosen));
            const int codeSize = std::min(bits, std::max(table.Bits, 2));
            const bool needsControl = usesTransparency || d != dmNone;
            const int64_t overhead =
                DescriptorBytes + (needsControl && !hasControl ? ControlBlockBytes : 0);
            // Only a candidate smaller than the best so far matters, and it is parsed only
            // until it loses. The LZW-guided choice knows its size already when the encoder
            // would use the code size it parsed with.
            const int64_t most = best.Cost - overhead - 1;
            const bool lzw = MethodOf(frame) == emLZW;
            const int64_t data =
                chosenBytes > 0 && codeSize == chosenCodeSize && lzw ? chosenBytes
                : lzw ? lzw_.Measure(chosen.data(), count, codeSize, most)
                      : DataBytes(frame, chosen.data(), width, height, false, codeSize,
                                  std::min(table.Limit, 1 << codeSize), most);
            const int64_t cost = overhead + data;
            if (cost < best.Cost) {
                best.Data = data;
                best.Layout = {d, *rect};
                std::swap(best.Pixels, chosen); // every choice writes `chosen` afresh
                best.Transparent = usesTransparency ? transparent : -1;
                best.CodeSize = codeSize;
                best.Cost = cost;
            }
        }
    }
    if (best.Pixels.empty()) return false;

    // Interlacing, for a frame that had it, can still be smaller. (A larger code size than
    // the smallest hardly ever is: every code is as wide or wider.)
    const int width = best.Layout.Rect.Width(), height = best.Layout.Rect.Height();
    if (frame.IsInterlaced()) {
        const int64_t overhead = best.Cost - best.Data;
        const int64_t cost =
            overhead + DataBytes(frame, best.Pixels.data(), width, height, true, best.CodeSize,
                                 std::min(table.Limit, 1 << best.CodeSize),
                                 best.Cost - overhead - 1);
        if (cost < best.Cost) {
            best.Cost = cost;
            best.Interlaced = true;
        }
    }
    if (best.Cost >= CurrentCost(frame, table, best.Cost, lzw_)) return false;
    if (!ShowsTheSame(best, colors, views)) return false;

    const TRect& rect = best.Layout.Rect;
    frame.SetPlacement(frame.FrameLeft() + rect.Left, frame.FrameTop() + rect.Top, width, height);
    std::copy(best.Pixels.begin(), best.Pixels.end(), frame.Pixels());
    frame.SetInterlaced(best.Interlaced);
    frame.SetCodeSizeHint(best.CodeSize < std::max(table.Bits, 2) ? best.CodeSize : 0);
    if (best.Transparent >= 0 || best.Layout.Disposal != disposal) {
        TGIFGraphicControlExtension& control = EnsureControlBlock(frame);
        control.SetDisposalCode(uint8_t(best.Layout.Disposal));
        if (best.Transparent >= 0) control.SetTransparentIndexUnchecked(uint8_t(best.Transparent));
        control.SetTransparentFlag(best.Transparent >= 0);
    } else if (TGIFGraphicControlExtension* control = frame.ControlBlock()) {
        control->SetTransparentFlag(false);
    }
    frame.DropBitmap();
    frame.DropMask();
    return true;
}

} // namespace gif::optimize
