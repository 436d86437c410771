#include "gif/optimize/histogram.h"

#include <algorithm>
#include <limits>

#include "gif/base/byte_words.h"
#include "gif/base/messages.h"
#include "gif/model/colormap.h"
#include "gif/model/graphic_control.h"
#include "gif/model/subimage.h"

namespace gif {

THistogram::THistogram(const TGIFColorMap& table) : table_(table) {
    std::span<const TGIFColor> entries = table.Entries();
    records_.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const TGIFColor& c = entries[i];
        records_[i].Index = int(i);
        records_[i].Key = uint32_t(c.Red) | uint32_t(c.Green) << 8 | uint32_t(c.Blue) << 16;
    }
    list_.reserve(records_.size());
    for (TColorRecord& r : records_) list_.push_back(&r);
}

bool THistogram::Feed(TGIFSubImage& frame) {
    frames_.push_back(&frame);
    const int transparent = frame.TransparentIndex();
    const size_t count = records_.size();
    constexpr uint32_t saturated = std::numeric_limits<uint32_t>::max();
    // Counted per index first, then per entry.
    std::array<uint64_t, 256> uses{};
    CountBytes(frame.PixelData(), uses);
    bool usesTransparency = false;
    if (transparent >= 0 && uses[size_t(transparent)] > 0) {
        usesTransparency = true;
        uses[size_t(transparent)] = 0;
    }
    // Pixels past the table's end become entry 0, warned of once for the frame.
    uint64_t outside = 0;
    std::array<uint8_t, 256> inside{};
    for (size_t v = 0; v < 256; ++v) {
        inside[v] = uint8_t(v);
        if (v >= count && int(v) != transparent && uses[v] > 0) {
            outside += uses[v];
            uses[v] = 0;
            inside[v] = 0;
        }
    }
    if (outside > 0) {
        frame.Warn(1, msg::ColorNotInTable);
        MapBytes(frame.PixelData(), inside);
        if (count > 0) uses[0] += outside;
    }
    for (size_t i = 0; i < count; ++i)
        records_[i].Count = uint32_t(std::min<uint64_t>(records_[i].Count + uses[i], saturated));
    if (transparent >= 0 && !usesTransparency) {
        frame.ControlBlock()->SetTransparentFlag(false);
        frame.ControlBlock()->SetTransparentIndexUnchecked(0);
    }
    return usesTransparency;
}

void THistogram::Prune() {
    std::stable_sort(list_.begin(), list_.end(),
                     [](const TColorRecord* a, const TColorRecord* b) { return a->Count > b->Count; });
    auto firstUnused =
        std::find_if(list_.begin(), list_.end(), [](const TColorRecord* r) { return r->Count == 0; });
    list_.erase(firstUnused, list_.end());
}

std::array<uint8_t, 256> THistogram::BuildMap() const {
    std::array<uint8_t, 256> map{};
    for (const TColorRecord* r : list_)
        if (r->NewIndex < TColorRecord::Unassigned) map[size_t(r->Index)] = uint8_t(r->NewIndex);
    return map;
}

} // namespace gif
