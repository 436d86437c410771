// Colour lookups: map a colour to the index of a palette entry and tell which colour
// that entry holds. The ditherers measure their error against that colour.
#pragma once

#include <cstdint>

namespace gif {

struct TRGB {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TRGB&) const = default;
};

class TColorLookup {
public:
    explicit TColorLookup(int colors) : colors_(colors) {}
    virtual ~TColorLookup() = default;
    TColorLookup(const TColorLookup&) = delete;
    TColorLookup& operator=(const TColorLookup&) = delete;

    // Number of palette entries the lookup chooses from.
    int Colors() const { return colors_; }
    // Index of the entry chosen for (red, green, blue); `chosen` receives its colour.
    virtual uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) = 0;
    // The colour of entry `index` (< Colors()), for lookups that know their entries;
    // false for those that do not.
    virtual bool Entry(int index, TRGB& color) const { return false; }

  private:
    int colors_;
};

// The 216-colour web cube: each channel is rounded to a multiple of 51 by (c + 3) div 51.
class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) override {
        int r = (red + 3) / 51, g = (green + 3) / 51, b = (blue + 3) / 51;
        chosen = {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)};
        return uint8_t(36 * r + 6 * g + b);
    }
    bool Entry(int index, TRGB& color) const override {
        color = {uint8_t(51 * (index / 36)), uint8_t(51 * (index / 6 % 6)),
                 uint8_t(51 * (index % 6))};
        return true;
    }
};

// 256 grays: gray = (77 red + 150 green + 29 blue) >> 8, which is also the index.
class TGrayScaleLookup final : public TColorLookup {
public:
    TGrayScaleLookup() : TColorLookup(256) {}
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) override {
        auto gray = uint8_t((77 * red + 150 * green + 29 * blue) >> 8);
        chosen = {gray, gray, gray};
        return gray;
    }
    bool Entry(int index, TRGB& color) const override {
        color = {uint8_t(index), uint8_t(index), uint8_t(index)};
        return true;
    }
};

// Black (index 0) when 77 red + 150 green + 29 blue < 32513, else white (index 1).
class TMonochromeLookup final : public TColorLookup {
public:
    TMonochromeLookup() : TColorLookup(2) {}
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) override {
        if (77 * red + 150 * green + 29 * blue < 32513) {
            chosen = {0, 0, 0};
            return 0;
        }
        chosen = {255, 255, 255};
        return 1;
    }
    bool Entry(int index, TRGB& color) const override {
        uint8_t v = index == 0 ? 0 : 255;
        color = {v, v, v};
        return true;
    }
};

} // namespace gif
