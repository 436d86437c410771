// THistogram: how often each entry of one colour table is used by the frames that
// draw with it. One per colour table taking part in the colour-map merge.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace gif {

class TGIFColorMap;
class TGIFSubImage;

// One colour-table entry as the merge sees it.
struct TColorRecord {
    static constexpr int Unassigned = 256;

    uint32_t Count = 0;        // pixels using the entry (saturates at the 32-bit maximum)
    int Index = 0;             // the entry's index in its own table
    int NewIndex = Unassigned; // its index in the merged table
    uint32_t Key = 0;          // red | green << 8 | blue << 16: equal colours, equal keys
    TColorRecord* MergedInto = nullptr;   // for a duplicate colour: the record that absorbed it
};

class THistogram {
public:
    // Records for every entry of `table`, all with count 0.
    explicit THistogram(const TGIFColorMap& table);
    THistogram(const THistogram&) = delete;
    THistogram& operator=(const THistogram&) = delete;

    const TGIFColorMap& Table() const { return table_; }
    int EntryCount() const { return int(records_.size()); }
    const std::vector<TGIFSubImage*>& Frames() const { return frames_; }
    // The records that survived Prune, most used first (all records before pruning).
    std::vector<TColorRecord*>& List() { return list_; }

    // Counts the frame's pixels and remembers the frame. Transparent pixels are not counted;
    // a pixel outside the table is set to 0 with the warning "Color not in color table". A
    // transparent frame whose transparent index no pixel uses becomes opaque (index 0).
    // Returns whether the frame uses transparency.
    bool Feed(TGIFSubImage& frame);
    // Sorts the records by count, highest first, and drops the unused ones.
    void Prune();
    // Old index -> new index, from the records' NewIndex (filled by the merge).
    std::array<uint8_t, 256> BuildMap() const;

private:
    const TGIFColorMap& table_;
    std::vector<TColorRecord> records_;
    std::vector<TColorRecord*> list_;
    std::vector<TGIFSubImage*> frames_;
};

} // namespace gif
