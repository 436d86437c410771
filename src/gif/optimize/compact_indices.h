// Numbering colours for small LZW code sizes. Internal to gif/optimize.
#pragma once

namespace gif {
class TGIFImage;
}

namespace gif::optimize {

// A frame's minimum code size follows from the largest index it uses, so the global table
// is reordered for frames that draw with few colours to find them at low indices: each
// frame adds 1 / (its colour count) to the weight of every colour it draws, heaviest first.
// Each transparent frame then takes the lowest index none of its other pixels uses as its
// transparent index, and every frame is given the smallest code size its pixels allow.
// Only numbers change: every pixel shows the colour it showed, the background index too.
void CompactIndices(TGIFImage& image);

// Drops the global entries past the last one a frame drawing with the global table uses
// (as a colour or as its transparent index) or the screen's background index names; a
// background whose colour a used entry also holds is moved onto that entry, and one that no
// viewer can show (the first frame covers the screen opaquely, no frame restores to the
// background) onto entry 0. Every entry
// written costs three bytes, and a smaller table lets frames without a code size of their
// own take a smaller one. Returns whether the table shrank.
bool DropUnusedGlobalEntries(TGIFImage& image);

} // namespace gif::optimize
