// Turning pictures into frames: the steps shared by the conversions of bitmaps, icons,
// metafiles and other pictures. Internal to the conversion code.
#pragma once

namespace gif {

class TBitmap;
class TGIFSubImage;

struct TFrameConverter {
    // Makes `frame` hold `bitmap`: indexed bitmaps (1, 4, 8 bits) keep their indices and
    // colour table; others are reduced by the owning image's ReductionMethod, DitherMethod
    // and ReductionDepth first. `mask` (set pixels = transparent) is applied afterwards;
    // without one, a bitmap marked transparent applies the mask of its transparent colour.
    // Reports progress with "Converting...". An empty bitmap leaves the frame empty.
    static void CopyFromBitmap(TGIFSubImage& frame, const TBitmap& bitmap,
                               const TBitmap* mask = nullptr);

    // Makes the pixels under the mask's non-zero pixels transparent: the local table is
    // sorted by use, a black entry T is appended and those pixels become T, and a new
    // graphic control extension marks T transparent. Nothing changes for an empty or full
    // (256 entries) table, nor when the mask covers no pixel. Returns whether T was added.
    static bool ApplyTransparencyMask(TGIFSubImage& frame, const TBitmap& mask);
};

} // namespace gif
