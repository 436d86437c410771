// A logical palette: what the original platform called a palette handle.
// Shared ownership stands in for the handle; comparing handles compares pointers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gif/base/types.h"

namespace gif {

struct TPaletteEntry {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

inline constexpr uint8_t PC_NOCOLLAPSE = 4;

class TPalette {
public:
    TPalette() = default;
    explicit TPalette(std::vector<TPaletteEntry> entries) : Entries(std::move(entries)) {}

    int Count() const { return int(Entries.size()); }
    TColor ColorAt(int i) const {
        const TPaletteEntry& e = Entries[size_t(i)];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }

    uint16_t Version = 0x300;
    std::vector<TPaletteEntry> Entries;   // at most 256
};

using HPALETTE = std::shared_ptr<TPalette>;

inline HPALETTE CopyPalette(const HPALETTE& source) {
    return source ? std::make_shared<TPalette>(*source) : nullptr;
}

} // namespace gif
