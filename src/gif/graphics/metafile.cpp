#include "gif/graphics/metafile.h"

#include <algorithm>

#include "gif/base/exception.h"
#include "gif/base/messages.h"
#include "gif/base/stream.h"
#include "gif/graphics/bitmap.h"
#include "gif/graphics/canvas.h"

namespace gif {

namespace {

constexpr uint32_t Magic = 0x464D574C;   // "LWMF"

void Write32(TStream& s, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    s.WriteBuffer(b, 4);
}

uint32_t Read32(TStream& s) {
    uint8_t b[4];
    if (s.Read(b, 4) != 4) throw GIFException(msg::InvalidMetafile);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
           (uint32_t(b[3]) << 24);
}

// Target coordinate of picture coordinate v when [0, size) is mapped onto [origin, origin + extent).
int Scale(int v, int size, int origin, int extent) {
    return origin + int((int64_t(v) * extent) / size);
}

} // namespace

int64_t DrawingWork(const std::vector<TMetafileRecord>& records, int width, int height) {
    int64_t work = 0;
    for (const TMetafileRecord& r : records) {
        int64_t left = std::clamp<int64_t>(r.Rect.Left, 0, width);
        int64_t right = std::clamp<int64_t>(r.Kind == TMetafileRecord::mrPixel
                                                ? int64_t(r.Rect.Left) + 1
                                                : int64_t(r.Rect.Right),
                                            0, width);
        int64_t top = std::clamp<int64_t>(r.Rect.Top, 0, height);
        int64_t bottom = std::clamp<int64_t>(r.Kind == TMetafileRecord::mrPixel
                                                 ? int64_t(r.Rect.Top) + 1
                                                 : int64_t(r.Rect.Bottom),
                                             0, height);
        work += 1 + std::max<int64_t>(0, right - left) * std::max<int64_t>(0, bottom - top);
    }
    return work;
}

TMetafile::TMetafile(const TMetafile& other)
    : TGraphic(), width_(other.width_), height_(other.height_), records_(other.records_),
      raster_(other.raster_) {}

TMetafile& TMetafile::operator=(const TMetafile& other) {
    width_ = other.width_;
    height_ = other.height_;
    records_ = other.records_;
    raster_ = other.raster_;
    return *this;
}

void TMetafile::SetWidth(int value) {
    CheckBitmapSize(value, height_);
    width_ = value;
    raster_.clear();
    Changed(this);
}

void TMetafile::SetHeight(int value) {
    CheckBitmapSize(width_, value);
    height_ = value;
    raster_.clear();
    Changed(this);
}

void TMetafile::AddFillRect(const TRect& rect, TColor color) {
    records_.push_back({TMetafileRecord::mrFillRect, rect, color & 0xFFFFFF});
    Changed(this);
}

void TMetafile::AddPixel(int x, int y, TColor color) {
    records_.push_back({TMetafileRecord::mrPixel, Rect(x, y, x + 1, y + 1), color & 0xFFFFFF});
    Changed(this);
}

void TMetafile::SetRaster(std::vector<uint32_t> argb) {
    if (!argb.empty() && argb.size() != size_t(width_) * size_t(height_))
        throw GIFException(msg::InvalidImageDimensions);
    raster_ = std::move(argb);
    Changed(this);
}

void TMetafile::Clear() {
    records_.clear();
    raster_.clear();
    Changed(this);
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty() || rect.IsEmpty()) return;
    TColor brush = canvas.Brush.Color;
    for (const TMetafileRecord& r : records_) {
        canvas.Brush.Color = r.Color;
        canvas.FillRect(Rect(Scale(r.Rect.Left, width_, rect.Left, rect.Width()),
                             Scale(r.Rect.Top, height_, rect.Top, rect.Height()),
                             Scale(r.Rect.Right, width_, rect.Left, rect.Width()),
                             Scale(r.Rect.Bottom, height_, rect.Top, rect.Height())));
    }
    canvas.Brush.Color = brush;
    if (raster_.empty()) return;
    TRect clip = canvas.ClipRect();
    int x0 = std::max(rect.Left, clip.Left), x1 = std::min(rect.Right, clip.Right);
    int y0 = std::max(rect.Top, clip.Top), y1 = std::min(rect.Bottom, clip.Bottom);
    for (int y = y0; y < y1; ++y) {
        int sy = int((int64_t(y - rect.Top) * height_) / rect.Height());
        for (int x = x0; x < x1; ++x) {
            int sx = int((int64_t(x - rect.Left) * width_) / rect.Width());
            uint32_t argb = raster_[size_t(sy) * size_t(width_) + size_t(sx)];
            if ((argb >> 24) == 0) continue;
            canvas.SetPixels(x, y, RGB(uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb)));
        }
    }
}

void TMetafile::LoadFromStream(TStream& stream) {
    if (Read32(stream) != Magic) throw GIFException(msg::InvalidMetafile);
    uint32_t w = Read32(stream), h = Read32(stream), count = Read32(stream);
    if (w > uint32_t(MaxBitmapSide) || h > uint32_t(MaxBitmapSide) || count > MaxMetafileRecords)
        throw GIFException(msg::InvalidMetafile);
    CheckLoadedPictureSize(int(w), int(h));
    if (int64_t(count) * 24 > stream.Size() - stream.Position())
        throw GIFException(msg::InvalidMetafile);
    std::vector<TMetafileRecord> records;
    records.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t kind = Read32(stream);
        if (kind > TMetafileRecord::mrPixel) throw GIFException(msg::InvalidMetafile);
        TMetafileRecord r;
        r.Kind = TMetafileRecord::TKind(kind);
        r.Rect.Left = int32_t(Read32(stream));
        r.Rect.Top = int32_t(Read32(stream));
        r.Rect.Right = int32_t(Read32(stream));
        r.Rect.Bottom = int32_t(Read32(stream));
        r.Color = Read32(stream) & 0xFFFFFF;
        records.push_back(r);
    }
    // Each record fills its rectangle on every drawing: a few kilobytes of records covering
    // the whole picture would keep the conversion busy for minutes.
    if (DrawingWork(records, int(w), int(h)) > MaxMetafileDrawPixels)
        throw GIFException(msg::MetafileTooComplex);
    std::vector<uint32_t> raster;
    if (Read32(stream) != 0) {
        size_t n = size_t(w) * size_t(h);
        if (int64_t(n) * 4 > stream.Size() - stream.Position())
            throw GIFException(msg::InvalidMetafile);
        raster.resize(n);
        for (size_t i = 0; i < n; ++i) raster[i] = Read32(stream);
    }
    width_ = int(w);
    height_ = int(h);
    records_ = std::move(records);
    raster_ = std::move(raster);
    Changed(this);
}

void TMetafile::SaveToStream(TStream& stream) {
    Write32(stream, Magic);
    Write32(stream, uint32_t(width_));
    Write32(stream, uint32_t(height_));
    Write32(stream, uint32_t(records_.size()));
    for (const TMetafileRecord& r : records_) {
        Write32(stream, r.Kind);
        Write32(stream, uint32_t(r.Rect.Left));
        Write32(stream, uint32_t(r.Rect.Top));
        Write32(stream, uint32_t(r.Rect.Right));
        Write32(stream, uint32_t(r.Rect.Bottom));
        Write32(stream, r.Color);
    }
    Write32(stream, raster_.empty() ? 0u : 1u);
    for (uint32_t v : raster_) Write32(stream, v);
}

void TMetafile::Assign(const TPersistent* source) {
    if (auto* metafile = dynamic_cast<const TMetafile*>(source)) {
        if (metafile != this) *this = *metafile;
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

} // namespace gif
