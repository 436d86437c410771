#include "gif/optimize/compact_indices.h"

#include "gif/base/byte_words.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/optimize/frame_rules.h"
#include "gif/optimize/two_threads.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace gif::optimize {

namespace {

int BitsFor(int largest) {
    int bits = 2;
    while ((1 << bits) <= largest)
        ++bits;
    return bits;
}

// Which entries the frame draws with (its transparent pixels left out).
std::array<bool, 256> UsedEntries(const TGIFSubImage& frame) {
    std::array<bool, 256> used{};
    const int transparent = frame.TransparentIndex();
    MarkPresentBytes(frame.PixelData(), used);
    if (transparent >= 0) used[size_t(transparent)] = false;
    return used;
}

bool DrawsWithGlobalTable(const TGIFSubImage& frame) {
    return !frame.IsBlank() && frame.HasPixels() && frame.LocalTable().EntryCount() == 0;
}

void ReorderGlobalTable(TGIFImage& image) {
    TGIFGlobalColorMap& global = image.GlobalColorMap();
    const int count = global.EntryCount();
    if (count < 2) return;
    // The frames' entries are found on two threads, then weighed in frame order.
    const bool second = WorthASecondThread(image);
    std::vector<std::array<bool, 256>> usedByFrame(size_t(image.FrameCount()));
    ShareOutOnTwoThreads(usedByFrame.size(), second, [&](size_t i, int) {
        const TGIFSubImage& frame = *image.Frame(int(i));
        if (DrawsWithGlobalTable(frame)) usedByFrame[i] = UsedEntries(frame);
    });
    std::array<double, 256> weight{};
    for (int i = 0; i < image.FrameCount(); ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        if (!DrawsWithGlobalTable(frame)) continue;
        const std::array<bool, 256>& used = usedByFrame[size_t(i)];
        const auto colors = double(std::count(used.begin(), used.end(), true));
        for (int v = 0; v < count; ++v)
            if (used[size_t(v)]) weight[size_t(v)] += 1.0 / colors;
        // A pixel past the table end cannot be renumbered: leave the table as it is.
        for (int v = count; v < 256; ++v)
            if (used[size_t(v)]) return;
    }
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&weight](int a, int b) { return weight[size_t(a)] > weight[size_t(b)]; });
    bool moved = false;
    for (int k = 0; k < count; ++k)
        moved = moved || order[size_t(k)] != k;
    if (!moved) return;

    std::array<uint8_t, 256> map{};
    for (int v = 0; v < 256; ++v)
        map[size_t(v)] = uint8_t(v); // past the end: unchanged
    std::array<TGIFColor, 256> colors{};
    for (int k = 0; k < count; ++k) {
        map[size_t(order[size_t(k)])] = uint8_t(k);
        colors[size_t(k)] = global.Entries()[size_t(order[size_t(k)])];
    }
    global.FromRgbTriples(colors, count);
    ShareOutOnTwoThreads(size_t(image.FrameCount()), second, [&](size_t i, int) {
        TGIFSubImage& frame = *image.Frame(int(i));
        if (!DrawsWithGlobalTable(frame)) return;
        MapBytes(frame.PixelData(), map);
        if (TGIFGraphicControlExtension* control = frame.ControlBlock())
            control->SetTransparentIndexUnchecked(map[control->TransparentIndex()]);
        frame.DropBitmap();
        frame.DropMask();
    });
    const int background = image.Header().BackgroundIndex();
    if (background < count) image.Header().SetBackgroundIndex(map[size_t(background)]);
}

// The lowest transparent index the frame can have, and the code size its pixels need.
void LowerFrame(TGIFSubImage& frame) {
    if (frame.IsBlank() || !frame.HasPixels()) return;
    const int transparent = frame.TransparentIndex();
    if (transparent > 0) {
        const std::array<bool, 256> used = UsedEntries(frame);
        const int lowest = int(std::find(used.begin(), used.end(), false) - used.begin());
        if (lowest < transparent) {
            std::array<uint8_t, 256> map{};
            std::iota(map.begin(), map.end(), uint8_t(0));
            map[size_t(transparent)] = uint8_t(lowest);
            MapBytes(frame.PixelData(), map);
            frame.ControlBlock()->SetTransparentIndexUnchecked(uint8_t(lowest));
            frame.DropMask();
        }
    }
    frame.SetCodeSizeHint(BitsFor(LargestByte(frame.PixelData())));
}

// Whether no viewer can show the background colour: the first frame covers the whole
// screen without transparency, and no frame restores its area to the background.
bool BackgroundNeverShown(const TGIFImage& image) {
    if (image.FrameCount() == 0) return false;
    const TGIFSubImage& first = *image.Frame(0);
    if (first.IsBlank() || first.TransparentIndex() >= 0 || first.FrameLeft() != 0 ||
        first.FrameTop() != 0 || first.FrameWidth() < image.Width() ||
        first.FrameHeight() < image.Height())
        return false;
    for (int i = 0; i < image.FrameCount(); ++i)
        if (DisposalOf(*image.Frame(i)) == dmBackground) return false;
    return true;
}

} // namespace

void CompactIndices(TGIFImage& image) {
    ReorderGlobalTable(image);
    // Each frame on its own, on two threads.
    ShareOutOnTwoThreads(size_t(image.FrameCount()), WorthASecondThread(image),
                         [&image](size_t i, int) { LowerFrame(*image.Frame(int(i))); });
}

bool DropUnusedGlobalEntries(TGIFImage& image) {
    TGIFGlobalColorMap& global = image.GlobalColorMap();
    const int count = global.EntryCount();
    int needed = 1;
    for (int i = 0; i < image.FrameCount() && needed < count; ++i) {
        const TGIFSubImage& frame = *image.Frame(i);
        if (frame.IsBlank() || frame.LocalTable().EntryCount() > 0) continue;
        if (!frame.HasPixels()) return false;
        needed = std::max(needed, LargestByte(frame.PixelData()) + 1);
        needed = std::max(needed, frame.TransparentIndex() + 1);
    }
    // The background entry is kept too; when its colour is also one the frames use, the
    // background may name that entry instead and the table end there.
    const int background = image.Header().BackgroundIndex();
    if (background >= count) return false; // no entry to keep: the table stays as it is
    if (background >= needed) {
        const TGIFColor wanted = global.Entries()[size_t(background)];
        int same = -1;
        for (int i = 0; i < needed && same < 0; ++i)
            if (global.Entries()[size_t(i)] == wanted) same = i;
        if (same >= 0)
            image.Header().SetBackgroundIndex(uint8_t(same));
        else if (BackgroundNeverShown(image))
            image.Header().SetBackgroundIndex(0);
        else
            needed = background + 1;
    }
    if (needed >= count) return false;
    std::array<TGIFColor, 256> colors{};
    std::copy_n(global.Entries().begin(), needed, colors.begin());
    global.FromRgbTriples(colors, needed);
    return true;
}

} // namespace gif::optimize
