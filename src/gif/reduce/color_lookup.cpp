#include "gif/reduce/color_lookup.h"

namespace gif {

uint8_t TNetscapeColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) {
    int r = (red + 3) / 51, g = (green + 3) / 51, b = (blue + 3) / 51;
    chosen = {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)};
    return uint8_t(36 * r + 6 * g + b);
}

uint8_t TGrayScaleLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) {
    auto gray = uint8_t((77 * red + 150 * green + 29 * blue) >> 8);
    chosen = {gray, gray, gray};
    return gray;
}

uint8_t TMonochromeLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, TRGB& chosen) {
    if (77 * red + 150 * green + 29 * blue < 32513) {
        chosen = {0, 0, 0};
        return 0;
    }
    chosen = {255, 255, 255};
    return 1;
}

} // namespace gif
