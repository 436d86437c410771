#include "metrics.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace reducebench {

namespace {

double PsnrOfSquares(double sumOfSquares, size_t samples) {
    double mse = sumOfSquares / double(samples);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

void CheckSizes(const TRgbPicture& a, const TRgbPicture& b) {
    if (a.Width != b.Width || a.Height != b.Height || a.Rgb.size() != b.Rgb.size())
        throw std::runtime_error("pictures of different sizes");
}

// Nine times the 3x3 box blur, per channel, as integers.
std::vector<int32_t> BoxSums(const TRgbPicture& p) {
    const int w = p.Width, h = p.Height;
    std::vector<int32_t> rows(p.Rgb.size()), out(p.Rgb.size());
    auto at = [&](int x, int y, int c) { return p.Rgb[(size_t(y) * w + size_t(x)) * 3 + c]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                rows[(size_t(y) * w + size_t(x)) * 3 + c] =
                    at(std::max(x - 1, 0), y, c) + at(x, y, c) + at(std::min(x + 1, w - 1), y, c);
    for (int y = 0; y < h; ++y) {
        const int32_t* up = &rows[size_t(std::max(y - 1, 0)) * w * 3];
        const int32_t* mid = &rows[size_t(y) * w * 3];
        const int32_t* down = &rows[size_t(std::min(y + 1, h - 1)) * w * 3];
        int32_t* dst = &out[size_t(y) * w * 3];
        for (int i = 0; i < w * 3; ++i)
            dst[i] = up[i] + mid[i] + down[i];
    }
    return out;
}

} // namespace

TRgbPicture ToRgb(const gif::TBitmap& bitmap) {
    TRgbPicture out{bitmap.Width(), bitmap.Height(), {}};
    out.Rgb.resize(size_t(out.Width) * size_t(out.Height) * 3);
    const bool indexed = bitmap.PixelFormat() == gif::pf8bit;
    if (!indexed && bitmap.PixelFormat() != gif::pf24bit)
        throw std::runtime_error("only 8- and 24-bit pictures are compared");
    for (int y = 0; y < out.Height; ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        uint8_t* dst = &out.Rgb[size_t(y) * size_t(out.Width) * 3];
        for (int x = 0; x < out.Width; ++x, dst += 3) {
            if (indexed) {
                const gif::TPaletteEntry& e = bitmap.ColorTable()->Entries.at(row[x]);
                dst[0] = e.peRed;
                dst[1] = e.peGreen;
                dst[2] = e.peBlue;
            } else {
                dst[0] = row[3 * x + 2];
                dst[1] = row[3 * x + 1];
                dst[2] = row[3 * x];
            }
        }
    }
    return out;
}

double Psnr(const TRgbPicture& original, const TRgbPicture& result) {
    CheckSizes(original, result);
    double sum = 0;
    for (size_t i = 0; i < original.Rgb.size(); ++i) {
        double d = double(original.Rgb[i]) - double(result.Rgb[i]);
        sum += d * d;
    }
    return PsnrOfSquares(sum, original.Rgb.size());
}

double BlurredPsnr(const TRgbPicture& original, const TRgbPicture& result) {
    CheckSizes(original, result);
    std::vector<int32_t> a = BoxSums(original), b = BoxSums(result);
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        double d = double(a[i] - b[i]) / 9.0;
        sum += d * d;
    }
    return PsnrOfSquares(sum, a.size());
}

} // namespace reducebench
