// Widening a least-error palette for error diffusion. Error diffusion shows a colour by
// mixing entries around it, so it reaches only colours inside the palette's hull. The
// entries of a least-error palette are the means of their colours, so the hull stops short
// of the picture's outermost colours (the corners and borders of a gradient) by about half a
// cluster: there the dithered picture keeps a bias that no amount of diffusion removes.
#pragma once

#include "gif/graphics/bitmap.h"
#include "gif/reduce/color_lookup.h"

#include <cstdint>
#include <span>
#include <vector>

namespace gif {

// Entries on the rim of the palette, those whose nearest entries lie mostly to one side,
// moved outward, away from those neighbours, by the mean outward reach of the pixels they
// serve (every `step`-th row of `bitmaps`, step >= 1, pixels of colour `skip` (0xRRGGBB;
// above 0xFFFFFF for none) left out), and by no more than half their distance from their
// neighbours' mean. Entries inside the palette, and those whose pixels lie all on the inner
// side, stay. The result has as many entries, in the same order. Same input, same result.
std::vector<TRGB> WidenForDiffusion(std::vector<TRGB> palette,
                                    std::span<const TBitmap* const> bitmaps, int step,
                                    uint32_t skip);

} // namespace gif
