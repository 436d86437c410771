// Reduces two true-colour 1920x1080 pictures to 256 colours with dithering:
// our octree palette + Floyd-Steinberg (crOptimized, depth 8) and libimagequant
// (quantize + remap with full dithering). Reports time per picture and, as counters,
// each result's PSNR against the original.
#include <benchmark/benchmark.h>
#include <libimagequant.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/graphics/bitmap.h"
#include "gif/reduce/reduce_colors.h"

namespace {

using gif::TBitmap;

constexpr int Width = 1920;
constexpr int Height = 1080;

// Deterministic noise.
struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

uint8_t Clamp(double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// A photograph-like render: smooth diagonal and radial gradients, soft shaded discs,
// a few hard-edged shapes and per-pixel sensor noise.
TBitmap Photo() {
    TBitmap bmp(Width, Height, gif::pf24bit);
    Lcg rng{12345};
    struct Disc { double cx, cy, r, red, green, blue; };
    const Disc discs[] = {{400, 300, 220, 230, 120, 40},  {1300, 650, 330, 40, 140, 220},
                          {900, 850, 180, 90, 200, 80},   {1650, 250, 150, 250, 230, 200},
                          {250, 900, 260, 120, 60, 160}};
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = bmp.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            double fx = double(x) / Width, fy = double(y) / Height;
            double r = 60 + 150 * fx * (1 - 0.3 * fy);
            double g = 90 + 100 * fy + 30 * std::sin(fx * 6.0);
            double b = 170 - 120 * fx * fy + 25 * std::cos(fy * 9.0);
            for (const Disc& d : discs) {
                double dx = x - d.cx, dy = y - d.cy;
                double t = 1 - std::sqrt(dx * dx + dy * dy) / d.r;
                if (t > 0) {
                    double shade = 0.55 + 0.45 * t;   // soft, lit from the centre
                    r = r * (1 - t) + d.red * shade * t;
                    g = g * (1 - t) + d.green * shade * t;
                    b = b * (1 - t) + d.blue * shade * t;
                }
            }
            if (x > 1500 && x < 1800 && y > 700 && y < 950) {   // a hard-edged box
                r = 200 - 0.2 * (y - 700); g = 40; b = 60;
            }
            double n = double(int(rng.Next() % 17) - 8);
            row[3 * x] = Clamp(b + n);
            row[3 * x + 1] = Clamp(g + n);
            row[3 * x + 2] = Clamp(r + n);
        }
    }
    return bmp;
}

// A flat graphic: a plain background with bands, boxes and discs in 12 solid colours.
TBitmap Flat() {
    TBitmap bmp(Width, Height, gif::pf24bit);
    const uint32_t colors[12] = {0xF4F1EA, 0x1F3A5F, 0xE07A5F, 0x3D405B, 0x81B29A, 0xF2CC8F,
                                 0xFFFFFF, 0x000000, 0xD62828, 0x003049, 0xFCBF49, 0x6A4C93};
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = bmp.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            int k = 0;
            if (y < 120) k = 1;
            else if ((x / 240 + y / 180) % 5 == 0) k = 2 + (x / 240) % 4;
            int dx = x - 960, dy = y - 560;
            if (dx * dx + dy * dy < 300 * 300) k = 6 + ((dx * dx + dy * dy) / 9000) % 6;
            if (x > 100 && x < 700 && y > 800 && y < 1000 && (x / 8) % 2 == 0) k = 7;
            uint32_t c = colors[k];
            row[3 * x] = uint8_t(c);
            row[3 * x + 1] = uint8_t(c >> 8);
            row[3 * x + 2] = uint8_t(c >> 16);
        }
    }
    return bmp;
}

TBitmap Picture(int which) { return which == 0 ? Photo() : Flat(); }

// PSNR over the three channels of a 24-bit original and colours per pixel of the result.
template <typename ColorAt>
double Psnr(const TBitmap& original, ColorAt colorAt) {
    double sum = 0;
    for (int y = 0; y < Height; ++y) {
        const uint8_t* row = original.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            uint8_t rgb[3];
            colorAt(x, y, rgb);
            double dr = rgb[0] - row[3 * x + 2], dg = rgb[1] - row[3 * x + 1],
                   db = rgb[2] - row[3 * x];
            sum += dr * dr + dg * dg + db * db;
        }
    }
    double mse = sum / (3.0 * Width * Height);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

void BM_OctreeFloydSteinberg(benchmark::State& state) {
    const TBitmap src = Picture(int(state.range(0)));
    std::unique_ptr<TBitmap> out;
    for (auto _ : state) {
        out = gif::ReduceColors(src, gif::crOptimized, gif::dtFloydSteinberg, nullptr, 8);
        benchmark::DoNotOptimize(out.get());
    }
    auto table = out->ColorTable();
    state.counters["PSNR"] = Psnr(src, [&](int x, int y, uint8_t* rgb) {
        const gif::TPaletteEntry& e = table->Entries[out->ScanLine(y)[x]];
        rgb[0] = e.peRed;
        rgb[1] = e.peGreen;
        rgb[2] = e.peBlue;
    });
}

void BM_LibImageQuant(benchmark::State& state) {
    const TBitmap src = Picture(int(state.range(0)));
    // libimagequant takes RGBA; the conversion is input preparation, outside the timing.
    std::vector<uint8_t> rgba(size_t(Width) * Height * 4);
    for (int y = 0; y < Height; ++y) {
        const uint8_t* row = src.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            uint8_t* p = &rgba[(size_t(y) * Width + size_t(x)) * 4];
            p[0] = row[3 * x + 2];
            p[1] = row[3 * x + 1];
            p[2] = row[3 * x];
            p[3] = 255;
        }
    }
    std::vector<uint8_t> indices(size_t(Width) * Height);
    std::vector<liq_color> palette;
    for (auto _ : state) {
        liq_attr* attr = liq_attr_create();
        liq_set_max_colors(attr, 256);
        liq_image* image = liq_image_create_rgba(attr, rgba.data(), Width, Height, 0);
        liq_result* result = nullptr;
        if (liq_image_quantize(image, attr, &result) != LIQ_OK) {
            state.SkipWithError("liq_image_quantize failed");
            break;
        }
        liq_set_dithering_level(result, 1.0f);
        liq_write_remapped_image(result, image, indices.data(), indices.size());
        const liq_palette* pal = liq_get_palette(result);
        palette.assign(pal->entries, pal->entries + pal->count);
        benchmark::DoNotOptimize(indices.data());
        liq_result_destroy(result);
        liq_image_destroy(image);
        liq_attr_destroy(attr);
    }
    state.counters["PSNR"] = Psnr(src, [&](int x, int y, uint8_t* rgb) {
        const liq_color& c = palette[indices[size_t(y) * Width + size_t(x)]];
        rgb[0] = c.r;
        rgb[1] = c.g;
        rgb[2] = c.b;
    });
}

} // namespace

// Argument 0: the photograph-like render; 1: the flat graphic.
BENCHMARK(BM_OctreeFloydSteinberg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LibImageQuant)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
