#include "gif/optimize/colormap_optimizer.h"

#include <algorithm>
#include <limits>
#include <mutex>

#include "gif/base/byte_words.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"
#include "gif/optimize/palette_sort.h"

namespace gif {

namespace {

TGIFColor KeyColor(uint32_t key) {
    return {uint8_t(key), uint8_t(key >> 8), uint8_t(key >> 16)};
}

int SquaredDistance(const TGIFColor& a, const TGIFColor& b) {
    int r = int(a.Red) - b.Red, g = int(a.Green) - b.Green, bl = int(a.Blue) - b.Blue;
    return r * r + g * g + bl * bl;
}

// The first of `colors` nearest to `color` in red, green and blue. Comparing sums of the
// three instead would call pure red and pure blue equal.
int NearestColor(const std::array<TGIFColor, 256>& colors, int count, const TGIFColor& color) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < count; ++i) {
        int distance = SquaredDistance(colors[size_t(i)], color);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

void TColorMapOptimizer::Optimize() {
    // The background colour is named by index; find it again in the merged table.
    TGIFGlobalColorMap& global = image_.GlobalColorMap();
    int background = image_.Header().BackgroundIndex();
    bool hadBackground = background < global.EntryCount();
    TGIFColor backgroundColor = hadBackground ? global.Entries()[size_t(background)] : TGIFColor{};

    Analyse();
    // Nothing draws with any table (no frames, or only blank ones): the tables, which the
    // user may be about to draw with, stay as they are.
    if (histograms_.empty()) return;
    MergeEqualColors();
    BuildFinalTable();
    Apply();
    Remap();

    if (hadBackground && finalCount_ > 0) {
        int index = -1;
        for (int i = 0; i < finalCount_ && index < 0; ++i)
            if (finalTable_[size_t(i)] == backgroundColor) index = i;
        if (index < 0) index = NearestColor(finalTable_, finalCount_, backgroundColor);
        image_.Header().SetBackgroundIndex(uint8_t(index));
    }
    // The merged table is ordered by use already; sorting it once more by the final pixel
    // counts gives it the sorted mark truthfully (the remapped and transparent pixels
    // count now too).
    optimize::SortGlobalTable(image_);
}

void TColorMapOptimizer::Analyse() {
    transparencyInUse_ = false;
    TGIFGlobalColorMap& global = image_.GlobalColorMap();
    if (global.EntryCount() > 0) {
        auto histogram = std::make_unique<THistogram>(global);
        for (int i = 0; i < image_.FrameCount(); ++i) {
            TGIFSubImage& frame = *image_.Frame(i);
            if (frame.IsBlank() || frame.LocalTable().EntryCount() > 0) continue;
            transparencyInUse_ |= histogram->Feed(frame);
        }
        if (!histogram->Frames().empty()) histograms_.push_back(std::move(histogram));
    }
    for (int i = 0; i < image_.FrameCount(); ++i) {
        TGIFSubImage& frame = *image_.Frame(i);
        if (frame.IsBlank() || frame.LocalTable().EntryCount() == 0) continue;
        auto histogram = std::make_unique<THistogram>(frame.LocalTable());
        transparencyInUse_ |= histogram->Feed(frame);
        histograms_.push_back(std::move(histogram));
    }
    for (auto& histogram : histograms_) {
        histogram->Prune();
        combined_.insert(combined_.end(), histogram->List().begin(), histogram->List().end());
    }
}

void TColorMapOptimizer::MergeEqualColors() {
    std::stable_sort(combined_.begin(), combined_.end(),
                     [](const TColorRecord* a, const TColorRecord* b) { return a->Key < b->Key; });
    TColorRecord* head = nullptr;
    for (TColorRecord* record : combined_) {
        if (head && head->Key == record->Key) {
            // Every duplicate refers to the first record of its run, which keeps the count.
            uint64_t sum = uint64_t(head->Count) + record->Count;
            head->Count = uint32_t(std::min<uint64_t>(sum, std::numeric_limits<uint32_t>::max()));
            record->Count = 0;
            record->MergedInto = head;
        } else {
            head = record;
        }
    }
}

void TColorMapOptimizer::BuildFinalTable() {
    std::stable_sort(combined_.begin(), combined_.end(),
                     [](const TColorRecord* a, const TColorRecord* b) { return a->Count > b->Count; });
    const int cap = transparencyInUse_ ? TGIFColorMap::MaxColors - 1 : TGIFColorMap::MaxColors;
    int used = int(std::count_if(combined_.begin(), combined_.end(),
                                 [](const TColorRecord* r) { return r->Count > 0; }));
    finalCount_ = std::min(used, cap);
    // Sorted by count, so the records with a count come first and every duplicate comes
    // after the record that absorbed it.
    for (size_t k = 0; k < combined_.size(); ++k) {
        TColorRecord* record = combined_[k];
        if (int(k) < finalCount_) {
            record->NewIndex = int(k);
            finalTable_[k] = KeyColor(record->Key);
        } else if (record->Count == 0) {
            record->NewIndex = record->MergedInto ? record->MergedInto->NewIndex : 0;
        } else {
            record->NewIndex = NearestColor(finalTable_, finalCount_, KeyColor(record->Key));
        }
    }
    transparentIndex_ = -1;
    if (transparencyInUse_) {
        transparentIndex_ = finalCount_;
        finalTable_[size_t(finalCount_)] = TGIFColor{0, 0, 0};
        ++finalCount_;
    }
}

void TColorMapOptimizer::Apply() {
    for (int i = 0; i < image_.FrameCount(); ++i) image_.Frame(i)->LocalTable().RemoveAll();
    image_.GlobalColorMap().FromRgbTriples(finalTable_, finalCount_);
}

void TColorMapOptimizer::Remap() {
    for (auto& histogram : histograms_) {
        std::array<uint8_t, 256> map = histogram->BuildMap();
        for (TGIFSubImage* frame : histogram->Frames()) {
            int transparent = transparencyInUse_ ? frame->TransparentIndex() : -1;
            std::array<uint8_t, 256> frameMap = map;
            if (transparent >= 0) frameMap[size_t(transparent)] = uint8_t(transparentIndex_);
            MapBytes(frame->PixelData(), frameMap);
            if (transparent >= 0) frame->ControlBlock()->SetTransparentIndex(uint8_t(transparentIndex_));
        }
    }
    for (int i = 0; i < image_.FrameCount(); ++i) {
        TGIFSubImage& frame = *image_.Frame(i);
        frame.DropBitmap();
        frame.DropMask();
        frame.SetFramePalette(nullptr);
    }
}

void TGIFImage::OptimizeColorMaps() {
    StopAllPainters();
    {
        std::lock_guard<std::recursive_mutex> lock(painterLock_);
        TColorMapOptimizer optimizer(*this);
        optimizer.Optimize();
        DropCachedBitmap();
    }
    Changed(this);
}

} // namespace gif
