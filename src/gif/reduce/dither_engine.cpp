#include "gif/reduce/dither_engine.h"

#include "gif/reduce/burkes.h"
#include "gif/reduce/clamped_floyd_steinberg.h"
#include "gif/reduce/dither_5by3.h"
#include "gif/reduce/floyd_steinberg.h"
#include "gif/reduce/ordered_dither.h"
#include "gif/reduce/steve_arche.h"

namespace gif {

uint8_t TDitherEngine::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    TRGB chosen;
    uint8_t index = lookup_.Lookup(red, green, blue, chosen);
    column_ += direction_;
    return index;
}

void TDitherEngine::DitherRow(const uint8_t* bgr, uint8_t* indices) {
    for (int x = column_; x >= 0 && x < width_; x = column_)
        indices[x] = Dither(bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]);
}

void TDitherEngine::NextLine() {
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMode mode, int width, TColorLookup& lookup) {
    switch (mode) {
    case dtNearest: return std::make_unique<TDitherEngine>(width, lookup);
    case dtFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case dtStucki: return std::make_unique<TStuckiDitherer>(width, lookup);
    case dtSierra: return std::make_unique<TSierraDitherer>(width, lookup);
    case dtJarvisJudiceNinke: return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case dtStevensonArce: return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case dtBurkes: return std::make_unique<TBurkesDitherer>(width, lookup);
    case dtClampedFloydSteinberg:
        return std::make_unique<TClampedFloydSteinbergDitherer>(width, lookup);
    case dtOrdered:
        return std::make_unique<TOrderedDitherer>(width, lookup);
    }
    return nullptr;
}

} // namespace gif

