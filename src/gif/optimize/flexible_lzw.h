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
// continues it is taken; where both can, or a new string starts, transparency unless the
// colour's string reaches clearly further (strings of transparency serve again wherever
// the screen stands still). The encoder, given the pixels chosen, parses them the same way.
class TFlexibleLzw {
public:
    TFlexibleLzw();

    // colors[i]: the pixel's value; free[i] != 0: it may be `transparent` instead.
    // Writes the chosen values to `out` (n of each). `codeSize`: the minimum code size.
    void Choose(const uint8_t* colors, const uint8_t* free, size_t n, uint8_t transparent,
                int codeSize, uint8_t* out);

private:
    static constexpr uint32_t None = 0xFFFFFFFF;
    static constexpr int MaxCodes = 4096;
    static constexpr int Lookahead = 24;
    // How much further a colour must reach than transparency to be chosen.
    static constexpr int Bias = 6;

    uint32_t Child(uint32_t code, uint8_t pixel) const {
        uint32_t slot = table_[size_t(code) * 256 + pixel];
        return (slot >> 12) == generation_ ? (slot & 0xFFF) : None;
    }
    void AddChild(uint32_t code, uint8_t pixel, uint32_t child) {
        table_[size_t(code) * 256 + pixel] = generation_ << 12 | child;
    }
    // Empties the string table in constant time: entries of older generations are stale.
    void ClearTable();
    // How many of the pixels from `pos` on the string `code` can be extended by.
    int Reach(uint32_t code, size_t pos) const;
    // The value a new string at `pos` starts with.
    uint8_t StartValue(size_t pos) const;

    std::unique_ptr<uint32_t[]> table_;   // (code, pixel) -> generation << 12 | child code
    uint32_t generation_ = 0;
    const uint8_t* colors_ = nullptr;
    const uint8_t* free_ = nullptr;
    size_t n_ = 0;
    uint8_t transparent_ = 0;
};

} // namespace gif::optimize
