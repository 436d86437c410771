// An LZW string table for encoders that walk it several times per pixel.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <memory>

namespace gif {

// (code, pixel) -> code, for pixels below 2^rootBits (the single pixels' codes).
//
// Up to 32 pixel values, each code has a row of children indexed by the pixel: a lookup is
// one load, with no branch on where the child lives. A row is emptied when its code is given
// out, so emptying the table touches only the single pixels' rows. (The rows of 32 take
// 256 KB, which stays in the second-level cache; rows of 64 would fill it.)
//
// Above that, each code's first child sits in a direct array, where most lookups end on flat
// pictures; the others in an open-addressed table of 64 KB whose slots carry the generation
// that wrote them, so that emptying the table costs nothing. At most 4094 strings live at
// once, so the table is never more than half full.
class TLzwStringTable {
  public:
    static constexpr int kNone = -1;

    // Empties the table for codes of `rootBits` bits: the single pixels lose their children
    // here, longer strings when their codes are given out again (Add). The storage of each
    // kind is set up the first time it is needed: a table serves many frames, mostly of one
    // kind.
    void Clear(int rootBits) {
        const size_t roots = size_t(1) << rootBits;
        if (rootBits <= kMaxRowBits) {
            if (!rows_)
                rows_ = std::make_unique_for_overwrite<uint16_t[]>((kCodes + 1) << kMaxRowBits);
            rowBits_ = unsigned(rootBits);
            std::fill_n(rows_.get(), roots << rowBits_, uint16_t(0));
            return;
        }
        if (!slots_) {
            slots_ = std::make_unique<TSlot[]>(kSlots); // generation 0: never current
            firstPixel_ = std::make_unique_for_overwrite<uint16_t[]>(kCodes);
            firstCode_ = std::make_unique_for_overwrite<uint16_t[]>(kCodes);
        }
        rowBits_ = 0;
        std::fill_n(firstPixel_.get(), roots, uint16_t(0));
        if (++generation_ == 0) { // the stamp wrapped: old slots could look current
            std::fill_n(slots_.get(), kSlots, TSlot{0, 0, 0});
            generation_ = 1;
        }
    }

    int Child(uint32_t code, uint8_t pixel) const {
        if (rowBits_ != 0) {
            assert(pixel < (1u << rowBits_));
            const int child = rows_[code << rowBits_ | pixel];
            return child != 0 ? child : kNone; // code 0 is a single pixel, never a child
        }
        const uint32_t first = firstPixel_[code];
        if (first == uint32_t(pixel) + 1) return firstCode_[code];
        if (first == 0) return kNone; // no child at all
        const uint32_t key = code << 8 | pixel;
        for (size_t slot = SlotOf(key);; slot = (slot + 1) & (kSlots - 1)) {
            const TSlot& s = slots_[slot];
            if (s.Generation != generation_) return kNone;
            if (s.Key == key) return s.Code;
        }
    }

    // Adds the string `code` + `pixel` as `child`, a code given out now (not in the table).
    void Add(uint32_t code, uint8_t pixel, uint32_t child) {
        if (rowBits_ != 0) {
            // The widest row's worth of zeros, whatever the width: the rows after the
            // newest code belong to codes not given out yet (a fixed size needs no call).
            std::fill_n(rows_.get() + (size_t(child) << rowBits_), size_t(1) << kMaxRowBits,
                        uint16_t(0));
            rows_[code << rowBits_ | pixel] = uint16_t(child);
            return;
        }
        firstPixel_[child] = 0;
        if (firstPixel_[code] == 0) {
            firstPixel_[code] = uint16_t(pixel + 1);
            firstCode_[code] = uint16_t(child);
            return;
        }
        const uint32_t key = code << 8 | pixel;
        size_t slot = SlotOf(key);
        while (slots_[slot].Generation == generation_)
            slot = (slot + 1) & (kSlots - 1);
        slots_[slot] = {key, uint16_t(child), generation_};
    }

  private:
    struct TSlot {
        uint32_t Key; // code << 8 | pixel
        uint16_t Code;
        uint16_t Generation;
    };
    static constexpr size_t kSlots = 8192;
    static constexpr size_t kCodes = 4096;
    static constexpr int kMaxRowBits = 5; // rows of up to 32 children: 256 KB
    static size_t SlotOf(uint32_t key) { return (key * 0x9E3779B1u) >> 19; }

    unsigned rowBits_ = 0; // 0: first children and the slots instead of rows
    std::unique_ptr<uint16_t[]> rows_;
    std::unique_ptr<TSlot[]> slots_;
    uint16_t generation_ = 0;
    std::unique_ptr<uint16_t[]> firstPixel_; // pixel + 1 of each code's first child, 0: none
    std::unique_ptr<uint16_t[]> firstCode_;
};

} // namespace gif
