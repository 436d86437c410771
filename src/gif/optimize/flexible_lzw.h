// Choosing pixels that may be either their colour or transparent so that the LZW encoder
// matches longer strings. Internal to gif/optimize.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gif::optimize {

// Runs the GIF LZW parse (the string table, clears at code 4095, codes as the encoder
// assigns them) over pixels of which some are free: each of those may be written as its
// colour or as the transparent index. Where the current string can go on, the choice that
// continues it is taken; where both can, or a new string starts, the one whose string
// reaches further, with a bias for transparency when asked (strings of transparency serve
// again wherever the screen stands still). The encoder, given the pixels chosen, parses
// them the same way.
class TFlexibleLzw {
  public:
    TFlexibleLzw();

    // colors[i]: the pixel's value; free[i] != 0: it may be `transparent` instead.
    // Writes the chosen values to `out` (n of each). `codeSize`: the minimum code size.
    // `bias`: how much further a colour's string must reach than transparency's to be
    // taken (0: whichever reaches further, a run going on when they tie). `lookahead`: how
    // many pixels ahead a string's reach is followed (at most MaxLookahead).
    // Returns the bytes the LZW encoder writes for `out` as one row of n pixels at that
    // code size (the parse is the encoder's, so only the code widths need adding up): the
    // code size byte, the sub-blocks and their terminator. 0 when n is 0.
    int64_t Choose(const uint8_t* colors, const uint8_t* free, size_t n, uint8_t transparent,
                   int codeSize, int bias, int lookahead, uint8_t* out);

    static constexpr int MaxLookahead = 64;

    // The bytes the LZW encoder writes for `pixels` as one row at `codeSize`, as Choose
    // reports them, when at most `most`; else some larger value, found without parsing the
    // rest.
    int64_t Measure(const uint8_t* pixels, size_t n, int codeSize, int64_t most);

  private:
    static constexpr uint32_t None = 0xFFFFFFFF;
    static constexpr int MaxCodes = 4096;

    // The children other than the first: open addressing over (code, pixel) keys, stamped
    // with the generation that wrote them so that emptying the table costs nothing. At most
    // 4094 strings live at once, so it is never more than half full.
    struct TSlot {
        uint32_t Key; // code << 8 | pixel
        uint16_t Code;
        uint16_t Generation;
    };
    static constexpr size_t Slots = 8192;

    static size_t SlotOf(uint32_t key) { return (key * 0x9E3779B1u) >> 19; }
    uint32_t Child(uint32_t code, uint8_t pixel) const {
        const uint32_t first = firstPixel_[code];
        if (first == uint32_t(pixel) + 1) return firstCode_[code];
        if (first == 0) return None; // no child at all
        const uint32_t key = code << 8 | pixel;
        for (size_t slot = SlotOf(key);; slot = (slot + 1) & (Slots - 1)) {
            const TSlot& s = table_[slot];
            if (s.Generation != generation_) return None;
            if (s.Key == key) return s.Code;
        }
    }
    void AddChild(uint32_t code, uint8_t pixel, uint32_t child) {
        firstPixel_[child] = 0;
        if (firstPixel_[code] == 0) {
            firstPixel_[code] = uint16_t(pixel + 1);
            firstCode_[code] = uint16_t(child);
            return;
        }
        const uint32_t key = code << 8 | pixel;
        size_t slot = SlotOf(key);
        while (table_[slot].Generation == generation_)
            slot = (slot + 1) & (Slots - 1);
        table_[slot] = {key, uint16_t(child), generation_};
    }
    // Empties the string table: entries of older generations are stale, and the single
    // pixels lose their first children (longer strings lose theirs as their codes are
    // given out again).
    void ClearTable();
    // How many of the pixels from `pos` on the string `code` can be extended by.
    int Reach(uint32_t code, size_t pos) const;
    // The value a new string at `pos` starts with.
    uint8_t StartValue(size_t pos, uint8_t previous) const;

    std::unique_ptr<TSlot[]> table_;
    uint16_t generation_ = 0;
    // Each code's first child, where most lookups end in flat pictures: its pixel + 1 (0:
    // no child yet) and its code. Other children live in the string table.
    std::unique_ptr<uint16_t[]> firstPixel_;
    std::unique_ptr<uint16_t[]> firstCode_;
    uint32_t singles_ = 0; // codes of single pixels, 2^code size
    const uint8_t* colors_ = nullptr;
    const uint8_t* free_ = nullptr;
    size_t n_ = 0;
    uint8_t transparent_ = 0;
    int bias_ = 0;
    int lookahead_ = 0;
};

} // namespace gif::optimize
