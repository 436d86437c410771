// GIF colour tables: the global table of the header and the local table of a frame.
// Entries are stored red, green, blue as in the file; callers exchange TColor values.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gif/base/object.h"
#include "gif/base/types.h"
#include "gif/graphics/palette.h"

namespace gif {

class TGIFHeader;
class TGIFImage;
class TGIFSubImage;
class TStream;

struct TGIFColor {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

// (use count, entry index) per possible pixel value, as filled by CountUse.
struct TUsageEntry {
    int64_t Count = 0;
    int Index = 0;
};
using TColormapHistogram = std::array<TUsageEntry, 256>;
using TColormapReverse = std::array<uint8_t, 256>;   // old index -> new index

class TGIFColorMap : public TPersistent {
public:
    static constexpr int MaxColors = 256;

    const char* ClassName() const override { return "TGIFColorMap"; }

    int EntryCount() const { return count_; }
    int Capacity() const { return int(entries_.size()); }
    bool SortedByUse() const { return sorted_; }
    std::span<const TGIFColor> Entries() const { return {entries_.data(), size_t(count_)}; }

    // Frees the storage: no entries, no capacity, not sorted. No notification.
    void RemoveAll();
    // Grows the capacity so that at least `n` entries fit (16, then multiples of 32, at most 256).
    void EnsureRoom(int n);
    // Index of `value`, or -1. Sorted tables give the first match, others the last.
    int FindColor(TColor value) const;
    // Appends `value` and returns its index; "Color table overflow" at 256 entries.
    int AppendColor(TColor value);
    int FindOrAppend(TColor value);
    // Removes entry `index`; pixels are not changed.
    void DeleteAt(int index);
    // Entry `index`; a bad index warns "Invalid color index" and gives entry 0.
    TColor ColorAt(int index);
    void SetColorAt(int index, TColor value);
    // Bits per pixel needed for EntryCount entries (0 for an empty table).
    int BitsNeeded() const { return BitsFor(count_); }
    // Bits per pixel needed for `count` entries: the smallest b >= 1 with 2^b >= count.
    static int BitsFor(int count);

    // Writes the entries padded with black to 2^BitsNeeded entries; nothing when empty.
    void SaveToStream(TStream& stream) const;
    // Reads exactly `n` entries ("Premature end of data" when they are not there).
    void LoadFromStream(TStream& stream, int n);

    void FromPaletteHandle(const HPALETTE& palette);
    // `quads` holds `n` entries of blue, green, red, reserved.
    void FromRgbQuads(std::span<const uint8_t> quads, int n);
    // The first `n` of 256 red-green-blue triples.
    void FromRgbTriples(const std::array<TGIFColor, 256>& triples, int n);
    // A palette of the entries (flag PC_NOCOLLAPSE), or none for an empty table.
    HPALETTE ToPaletteHandle() const;

    void Assign(const TPersistent* source) override;
    void CopyFrom(const TGIFColorMap& source);

    // Sorts the entries by how many pixels use them, remaps the pixels and drops unused
    // entries. Returns false when there was nothing to examine.
    virtual bool SortByUse();

    virtual void Warn(uint8_t severity, const std::string& message) = 0;
    // Counts the pixels that use each entry.
    virtual void CountUse(TColormapHistogram& histogram) = 0;
    // Rewrites every pixel (and transparent index) p of the table's users as map[p].
    virtual void RemapPixels(const TColormapReverse& map) = 0;
    // Drops the cached palette (and bitmap) of the table's owner.
    virtual void NotifyChanged() = 0;

protected:
    TGIFColorMap() = default;
    // Remaps one frame's pixels and transparent index through `map`.
    static void RemapFrame(TGIFSubImage& frame, const TColormapReverse& map);
    static void CountFrame(const TGIFSubImage& frame, TColormapHistogram& histogram);

private:
    bool SortByUseCommon();

    std::vector<TGIFColor> entries_;   // Capacity() slots, EntryCount() of them used
    int count_ = 0;
    bool sorted_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader* owner) : ownerHeader_(owner) {}
    const char* ClassName() const override { return "TGIFGlobalColorMap"; }
    TGIFHeader* OwnerHeader() const { return ownerHeader_; }

    bool SortByUse() override;
    void Warn(uint8_t severity, const std::string& message) override;
    void CountUse(TColormapHistogram& histogram) override;
    void RemapPixels(const TColormapReverse& map) override;
    void NotifyChanged() override;

private:
    TGIFImage* Image() const;
    TGIFHeader* ownerHeader_;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* owner) : ownerFrame_(owner) {}
    const char* ClassName() const override { return "TGIFLocalColorMap"; }
    TGIFSubImage* OwnerFrame() const { return ownerFrame_; }

    void Warn(uint8_t severity, const std::string& message) override;
    void CountUse(TColormapHistogram& histogram) override;
    void RemapPixels(const TColormapReverse& map) override;
    void NotifyChanged() override;

private:
    TGIFSubImage* ownerFrame_;
};

} // namespace gif
