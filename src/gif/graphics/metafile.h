// A small vector picture standing in for the platform's metafile: filled rectangles,
// single pixels and an optional ARGB raster, all in picture coordinates. Drawing scales
// them to the target rectangle and leaves every pixel they do not cover untouched.
#pragma once

#include <cstdint>
#include <vector>

#include "gif/graphics/graphic.h"

namespace gif {

// Limit on the records of one metafile.
inline constexpr uint32_t MaxMetafileRecords = 1u << 20;
// Limit on the pixels that the records of a metafile read from a file fill when it is
// drawn at its own size (a picture is drawn up to three times when it becomes a frame).
inline constexpr int64_t MaxMetafileDrawPixels = int64_t(1) << 28;

struct TMetafileRecord {
    enum TKind : uint8_t { mrFillRect, mrPixel };
    TKind Kind = mrFillRect;
    TRect Rect;          // a pixel record uses Left/Top only
    TColor Color = clBlack;
    bool operator==(const TMetafileRecord&) const = default;
};

// The pixels `records` fill (one per record at least) when drawn at `width` x `height`.
int64_t DrawingWork(const std::vector<TMetafileRecord>& records, int width, int height);

class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    TMetafile(const TMetafile& other);
    TMetafile& operator=(const TMetafile& other);
    const char* ClassName() const override { return "TMetafile"; }

    bool Empty() const override { return width_ <= 0 || height_ <= 0; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;

    // Appends a filled rectangle / a single pixel in picture coordinates.
    void AddFillRect(const TRect& rect, TColor color);
    void AddPixel(int x, int y, TColor color);
    const std::vector<TMetafileRecord>& Records() const { return records_; }
    // An ARGB raster of Width() x Height() (0xAARRGGBB) drawn after the records where
    // alpha is not 0; an empty vector removes it. A raster of another size is refused.
    void SetRaster(std::vector<uint32_t> argb);
    const std::vector<uint32_t>& Raster() const { return raster_; }
    void Clear();

    // Plays the records scaled into `rect`.
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Own compact format: "LWMF", size, records, raster. Damaged data is refused.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Assign(const TPersistent* source) override;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<TMetafileRecord> records_;
    std::vector<uint32_t> raster_;
};

} // namespace gif
