// Choosing pixels that may be either their colour or transparent so that the LZW encoder
// matches longer strings. Internal to gif/optimize.
#pragma once

#include "gif/codec/lzw_string_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace gif::optimize {

// What became of the table when a code went out.
enum class TSent : uint8_t { kAdded, kFull, kCleared };

// Runs the GIF LZW parse (the string table, clears at code 4095, codes as the encoder
// assigns them) over pixels of which some are free: each of those may be written as its
// colour or as the transparent index. Where the current string can go on, the choice that
// continues it is taken; where both can, or a new string starts, the one whose string
// reaches further, with a bias for transparency when asked (strings of transparency serve
// again wherever the screen stands still). The encoder, given the pixels chosen, parses
// them the same way.
class TFlexibleLzw {
  public:
    // colors[i]: the pixel's value; free[i] != 0: it may be `transparent` instead.
    // Writes the chosen values to `out` (n of each). `codeSize`: the minimum code size.
    // `bias`: how much further a colour's string must reach than transparency's to be
    // taken (0: whichever reaches further, a run going on when they tie). `lookahead`: how
    // many pixels ahead a string's reach is followed (at most MaxLookahead).
    // Returns the bytes the LZW encoder writes for `out` as one row of n pixels at that
    // code size (the parse is the encoder's, so only the code widths need adding up): the
    // code size byte, the sub-blocks and their terminator. 0 when n is 0. When that count
    // passes `most`, the choice stops there and returns some larger value (`out` is then
    // filled only in part).
    int64_t Choose(const uint8_t* colors, const uint8_t* free, size_t n, uint8_t transparent,
                   int codeSize, int bias, int lookahead, uint8_t* out,
                   int64_t most = std::numeric_limits<int64_t>::max() - 1);

    static constexpr int MaxLookahead = 64;

    // The bytes the LZW encoder writes for `pixels` as one row at `codeSize`, as Choose
    // reports them, when at most `most`; else some larger value, found without parsing the
    // rest. `clearDelay`: codes sent with a full table before it is cleared (the longest
    // match of TLZWLookaheadEncoder with that delay).
    int64_t Measure(const uint8_t* pixels, size_t n, int codeSize, int64_t most,
                    int clearDelay = 0);

    // How many times the table was cleared in the last Measure (as far as it went).
    int Clears() const { return clears_; }

    // The same without a bound at `codeSize` and every larger code size up to 8, from one
    // parse: sizes[b] for each b it can tell. Without a clear the strings are the same at
    // every code size (the table grows alike; only the codes' numbers and widths differ), so
    // a size is known unless the table fills at it; those stay as they were.
    void MeasureEachCodeSize(const uint8_t* pixels, size_t n, int codeSize,
                             std::array<int64_t, 9>& sizes);

  private:
    static constexpr uint32_t None = 0xFFFFFFFF;

    uint32_t Child(uint32_t code, uint8_t pixel) const {
        const int child = table_.Child(code, pixel);
        return child < 0 ? None : uint32_t(child);
    }
    void AddChild(uint32_t code, uint8_t pixel, uint32_t child) { table_.Add(code, pixel, child); }
    void ClearTable() { table_.Clear(codeSize_); }
    // After the code of `prefix` went out: `prefix` + `value` takes the next free code, or
    // the table stays full, or (a clear code went out) it starts again.
    void TableAfterCode(TSent sent, uint32_t prefix, uint8_t value, uint32_t& next,
                        uint32_t firstFree);
    // How many of the pixels from `pos` on the string `code` can be extended by.
    int Reach(uint32_t code, size_t pos) const;
    // The value a new string at `pos` starts with.
    uint8_t StartValue(size_t pos, uint8_t previous) const;
    // The encoder's longest-match parse of the pixels (n > 0), its codes counted by `sent`
    // (the code-width count of flexible_lzw.cpp); `onCode(added)` after each code but the
    // last (`added` false: the table was full and started again) says whether to go on.
    // Returns the bytes written, or -1 when stopped.
    template <typename Sent, typename OnCode>
    int64_t Parse(const uint8_t* pixels, size_t n, int codeSize, Sent& sent, OnCode&& onCode);

    TLzwStringTable table_;
    int codeSize_ = 0; // the single pixels' codes are those below 2^codeSize_
    const uint8_t* colors_ = nullptr;
    const uint8_t* free_ = nullptr;
    size_t n_ = 0;
    uint8_t transparent_ = 0;
    int bias_ = 0;
    int lookahead_ = 0;
    int clears_ = 0;
};

} // namespace gif::optimize
