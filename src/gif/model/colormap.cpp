#include "gif/model/colormap.h"

#include <algorithm>

#include "gif/base/byte_words.h"
#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/model/graphic_control.h"
#include "gif/model/image.h"

namespace gif {

namespace {

TGIFColor ToGifColor(TColor value) {
    return {GetRValue(value), GetGValue(value), GetBValue(value)};
}

TColor ToColor(const TGIFColor& c) {
    return RGB(c.Red, c.Green, c.Blue);
}

// The quicksort of the use counts, largest first. Equal counts end up in whatever
// order this particular partitioning produces; callers (and stored files) rely on it.
void SortUsage(TColormapHistogram& pairs, int lo, int hi) {
    while (lo < hi) {
        int64_t pivot = pairs[size_t((lo + hi) / 2)].Count;
        int i = lo;
        int j = hi;
        do {
            while (pairs[size_t(i)].Count > pivot) ++i;
            while (pairs[size_t(j)].Count < pivot) --j;
            if (i <= j) {
                std::swap(pairs[size_t(i)], pairs[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j) SortUsage(pairs, lo, j);
        lo = i;
    }
}

} // namespace

void TGIFColorMap::RemoveAll() {
    entries_.clear();
    entries_.shrink_to_fit();
    count_ = 0;
    sorted_ = false;
}

void TGIFColorMap::EnsureRoom(int n) {
    if (n < Capacity()) return;
    int capacity = n <= 16 ? 16 : (n + 31) / 32 * 32;
    capacity = std::min(capacity, MaxColors);
    entries_.resize(size_t(capacity));
}

int TGIFColorMap::FindColor(TColor value) const {
    TGIFColor wanted = ToGifColor(value);
    if (sorted_) {
        // The most used colours come first; the first match is the best one.
        for (int i = 0; i < count_; ++i)
            if (entries_[size_t(i)] == wanted) return i;
    } else {
        for (int i = count_ - 1; i >= 0; --i)
            if (entries_[size_t(i)] == wanted) return i;
    }
    return -1;
}

int TGIFColorMap::AppendColor(TColor value) {
    if (count_ >= MaxColors) throw GIFException(msg::ColorTableOverflow);
    if (count_ >= Capacity()) EnsureRoom(count_ + 1);
    entries_[size_t(count_)] = ToGifColor(value);
    ++count_;
    sorted_ = false;
    NotifyChanged();
    return count_ - 1;
}

int TGIFColorMap::FindOrAppend(TColor value) {
    int index = FindColor(value);
    return index >= 0 ? index : AppendColor(value);
}

void TGIFColorMap::DeleteAt(int index) {
    if (index < 0 || index >= count_) throw GIFException(msg::InvalidColorIndex);
    std::copy(entries_.begin() + index + 1, entries_.begin() + count_, entries_.begin() + index);
    --count_;
    sorted_ = false;
    NotifyChanged();
}

TColor TGIFColorMap::ColorAt(int index) {
    if (index < 0 || index >= count_) {
        Warn(1, msg::InvalidColorIndex);
        if (count_ == 0) throw GIFException(msg::ColorTableEmpty);
        index = 0;
    }
    return ToColor(entries_[size_t(index)]);
}

void TGIFColorMap::SetColorAt(int index, TColor value) {
    if (index < 0 || index >= count_) throw GIFException(msg::InvalidColorIndex);
    entries_[size_t(index)] = ToGifColor(value);
    NotifyChanged();
}

int TGIFColorMap::BitsFor(int count) {
    if (count <= 0) return 0;
    int bits = 1;
    while ((1 << bits) < count) ++bits;
    return bits;
}

void TGIFColorMap::SaveToStream(TStream& stream) const {
    if (count_ == 0) return;
    int padded = 1 << BitsNeeded();
    std::vector<uint8_t> bytes(size_t(padded) * 3, 0);   // padding entries are black
    std::memcpy(bytes.data(), entries_.data(), size_t(count_) * 3);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void TGIFColorMap::LoadFromStream(TStream& stream, int n) {
    RemoveAll();
    EnsureRoom(n);
    stream.ReadBuffer(entries_.data(), size_t(n) * 3);
    count_ = n;
}

void TGIFColorMap::FromPaletteHandle(const HPALETTE& palette) {
    RemoveAll();
    if (!palette || palette->Entries.empty()) return;
    int n = std::min<int>(palette->Count(), MaxColors);
    EnsureRoom(n);
    for (int i = 0; i < n; ++i) {
        const TPaletteEntry& e = palette->Entries[size_t(i)];
        entries_[size_t(i)] = {e.peRed, e.peGreen, e.peBlue};
    }
    count_ = n;
    NotifyChanged();
}

void TGIFColorMap::FromRgbQuads(std::span<const uint8_t> quads, int n) {
    RemoveAll();
    n = std::min({n, MaxColors, int(quads.size() / 4)});
    if (n <= 0) return;
    EnsureRoom(n);
    for (int i = 0; i < n; ++i) {
        const uint8_t* q = &quads[size_t(i) * 4];
        entries_[size_t(i)] = {q[2], q[1], q[0]};
    }
    count_ = n;
    NotifyChanged();
}

void TGIFColorMap::FromRgbTriples(const std::array<TGIFColor, 256>& triples, int n) {
    RemoveAll();
    n = std::min(n, MaxColors);
    if (n > 0) {
        EnsureRoom(n);
        std::copy_n(triples.begin(), n, entries_.begin());
        count_ = n;
    }
    NotifyChanged();
}

HPALETTE TGIFColorMap::ToPaletteHandle() const {
    if (count_ == 0) return nullptr;
    auto palette = std::make_shared<TPalette>();
    palette->Version = 0x300;
    palette->Entries.reserve(size_t(count_));
    for (int i = 0; i < count_; ++i) {
        const TGIFColor& c = entries_[size_t(i)];
        palette->Entries.push_back({c.Red, c.Green, c.Blue, PC_NOCOLLAPSE});
    }
    return palette;
}

void TGIFColorMap::Assign(const TPersistent* source) {
    if (auto* map = dynamic_cast<const TGIFColorMap*>(source)) {
        CopyFrom(*map);
        return;
    }
    TPersistent::Assign(source);
}

void TGIFColorMap::CopyFrom(const TGIFColorMap& source) {
    if (&source == this) return;
    RemoveAll();
    entries_.assign(size_t(source.Capacity()), TGIFColor{});
    std::copy_n(source.entries_.begin(), source.count_, entries_.begin());
    count_ = source.count_;
    sorted_ = source.sorted_;
    NotifyChanged();
}

bool TGIFColorMap::SortByUse() {
    return SortByUseCommon();
}

bool TGIFColorMap::SortByUseCommon() {
    if (count_ <= 1) return false;
    sorted_ = true;

    TColormapHistogram usage;
    for (int i = 0; i < 256; ++i) usage[size_t(i)] = {0, i};
    CountUse(usage);
    SortUsage(usage, 0, count_ - 1);

    bool unchanged = true;
    for (int k = 0; k < count_ && unchanged; ++k) unchanged = usage[size_t(k)].Index == k;
    if (unchanged) return true;

    TColormapReverse map{};
    for (int k = 0; k < count_; ++k) map[size_t(usage[size_t(k)].Index)] = uint8_t(k);
    RemapPixels(map);

    std::vector<TGIFColor> old(entries_.begin(), entries_.begin() + count_);
    int used = count_;
    for (int k = 0; k < count_; ++k) {
        entries_[size_t(k)] = old[size_t(usage[size_t(k)].Index)];
        if (usage[size_t(k)].Count == 0 && used == count_) used = k;
    }
    count_ = used;
    NotifyChanged();
    return true;
}

void TGIFColorMap::CountFrame(const TGIFSubImage& frame, TColormapHistogram& histogram) {
    std::array<uint64_t, 256> counts{};
    CountBytes(frame.PixelData(), counts);
    for (size_t v = 0; v < 256; ++v)
        histogram[v].Count += int64_t(counts[v]);
}

void TGIFColorMap::RemapFrame(TGIFSubImage& frame, const TColormapReverse& map) {
    MapBytes(frame.PixelData(), map);
    if (frame.IsTransparent() && frame.ControlBlock()) {
        TGIFGraphicControlExtension* gce = frame.ControlBlock();
        gce->SetTransparentIndex(map[gce->TransparentIndex()]);
    }
    frame.DropBitmap();
}

// Global table

TGIFImage* TGIFGlobalColorMap::Image() const {
    return ownerHeader_ ? ownerHeader_->OwnerImage() : nullptr;
}

bool TGIFGlobalColorMap::SortByUse() {
    TGIFImage* image = Image();
    if (!image || image->FrameCount() == 0) return false;
    return TGIFColorMap::SortByUse();
}

void TGIFGlobalColorMap::Warn(uint8_t severity, const std::string& message) {
    if (TGIFImage* image = Image()) image->Warning(this, severity, message);
}

void TGIFGlobalColorMap::CountUse(TColormapHistogram& histogram) {
    TGIFImage* image = Image();
    if (!image) return;
    for (int i = 0; i < image->FrameCount(); ++i) {
        TGIFSubImage* frame = image->Frame(i);
        if (&frame->EffectiveTable() == this) CountFrame(*frame, histogram);
    }
}

void TGIFGlobalColorMap::RemapPixels(const TColormapReverse& map) {
    TGIFImage* image = Image();
    if (!image) return;
    for (int i = 0; i < image->FrameCount(); ++i) {
        TGIFSubImage* frame = image->Frame(i);
        if (&frame->EffectiveTable() == this) RemapFrame(*frame, map);
    }
}

void TGIFGlobalColorMap::NotifyChanged() {
    if (TGIFImage* image = Image()) image->SetImagePalette(nullptr);
}

// Local table

void TGIFLocalColorMap::Warn(uint8_t severity, const std::string& message) {
    if (ownerFrame_ && ownerFrame_->OwnerImage())
        ownerFrame_->OwnerImage()->Warning(this, severity, message);
}

void TGIFLocalColorMap::CountUse(TColormapHistogram& histogram) {
    if (ownerFrame_) CountFrame(*ownerFrame_, histogram);
}

void TGIFLocalColorMap::RemapPixels(const TColormapReverse& map) {
    if (ownerFrame_) RemapFrame(*ownerFrame_, map);
}

void TGIFLocalColorMap::NotifyChanged() {
    if (ownerFrame_) ownerFrame_->SetFramePalette(nullptr);
}

} // namespace gif

