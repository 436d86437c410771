// An LZW string table for encoders that walk it several times per pixel.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

namespace gif {

// (code, pixel) -> code. Each code's first child sits in a direct array, where most lookups
// end on flat pictures; the others in an open-addressed table of 64 KB whose slots carry
// the generation that wrote them, so that emptying the table costs nothing. At most 4094
// strings live at once, so the table is never more than half full.
class TLzwStringTable {
  public:
    static constexpr int kNone = -1;

    TLzwStringTable()
        : slots_(std::make_unique<TSlot[]>(kSlots)), firstPixel_(std::make_unique<uint16_t[]>(kCodes)),
          firstCode_(std::make_unique<uint16_t[]>(kCodes)) {}

    // Empties the table for codes of `rootBits` bits: the single pixels lose their children
    // here, longer strings when their codes are given out again (Add).
    void Clear(int rootBits) {
        std::fill_n(firstPixel_.get(), size_t(1) << rootBits, uint16_t(0));
        if (++generation_ == 0) { // the stamp wrapped: old slots could look current
            std::fill_n(slots_.get(), kSlots, TSlot{0, 0, 0});
            generation_ = 1;
        }
    }

    int Child(uint32_t code, uint8_t pixel) const {
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
    static size_t SlotOf(uint32_t key) { return (key * 0x9E3779B1u) >> 19; }

    std::unique_ptr<TSlot[]> slots_;
    uint16_t generation_ = 0;
    std::unique_ptr<uint16_t[]> firstPixel_; // pixel + 1 of each code's first child, 0: none
    std::unique_ptr<uint16_t[]> firstCode_;
};

} // namespace gif
