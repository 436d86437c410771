#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

namespace reducebench {

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

uint8_t Clamp(double v) {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

void Put(uint8_t* row, int x, double r, double g, double b) {
    row[3 * x] = Clamp(b);
    row[3 * x + 1] = Clamp(g);
    row[3 * x + 2] = Clamp(r);
}

// A photograph-like render: smooth diagonal and radial gradients, soft shaded discs,
// a hard-edged box and per-pixel sensor noise.
TBitmap Render() {
    TBitmap bmp(Width, Height, gif::pf24bit);
    Lcg rng{12345};
    struct Disc {
        double cx, cy, r, red, green, blue;
    };
    const Disc discs[] = {{400, 300, 220, 230, 120, 40},
                          {1300, 650, 330, 40, 140, 220},
                          {900, 850, 180, 90, 200, 80},
                          {1650, 250, 150, 250, 230, 200},
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
                    double shade = 0.55 + 0.45 * t; // soft, lit from the centre
                    r = r * (1 - t) + d.red * shade * t;
                    g = g * (1 - t) + d.green * shade * t;
                    b = b * (1 - t) + d.blue * shade * t;
                }
            }
            if (x > 1500 && x < 1800 && y > 700 && y < 950) { // a hard-edged box
                r = 200 - 0.2 * (y - 700);
                g = 40;
                b = 60;
            }
            double n = double(int(rng.Next() % 17) - 8);
            Put(row, x, r + n, g + n, b + n);
        }
    }
    return bmp;
}

// A sunset sky: four corner colours blended smoothly, with a soft sun, no noise. Every
// step of a too-coarse palette shows as a band.
TBitmap Gradient() {
    TBitmap bmp(Width, Height, gif::pf24bit);
    const double corners[4][3] = {{20, 40, 110}, {90, 60, 150}, {250, 140, 60}, {255, 210, 120}};
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = bmp.ScanLine(y);
        double fy = double(y) / (Height - 1);
        for (int x = 0; x < Width; ++x) {
            double fx = double(x) / (Width - 1);
            double c[3];
            for (int k = 0; k < 3; ++k) {
                double top = corners[0][k] * (1 - fx) + corners[1][k] * fx;
                double bottom = corners[2][k] * (1 - fx) + corners[3][k] * fx;
                c[k] = top * (1 - fy) + bottom * fy;
            }
            double dx = x - 1300.0, dy = y - 760.0;
            double sun = std::exp(-(dx * dx + dy * dy) / (2 * 160.0 * 160.0));
            Put(row, x, c[0] + (255 - c[0]) * sun, c[1] + (240 - c[1]) * sun,
                c[2] + (200 - c[2]) * sun * 0.6);
        }
    }
    return bmp;
}

// A graphic as drawn by a program: flat shapes in 12 colours with anti-aliased edges
// (4 x 4 samples per pixel), a shaded title bar and thin lines, so that it has thousands of
// colours of which a few dozen cover nearly every pixel.
TBitmap Graphic() {
    TBitmap bmp(Width, Height, gif::pf24bit);
    const uint32_t colors[12] = {0xF4F1EA, 0x1F3A5F, 0xE07A5F, 0x3D405B, 0x81B29A, 0xF2CC8F,
                                 0xFFFFFF, 0x000000, 0xD62828, 0x003049, 0xFCBF49, 0x6A4C93};
    // The colour index at a point of the drawing.
    auto paint = [](double x, double y) {
        int k = 0;
        if ((int(x) / 240 + int(y) / 180) % 5 == 0) k = 2 + (int(x) / 240) % 4;
        double dx = x - 960, dy = y - 560, r2 = dx * dx + dy * dy;
        if (r2 < 300.0 * 300.0) k = 6 + int(r2 / 9000) % 6;
        double ex = x - 1550, ey = y - 300;
        if (ex * ex / (220.0 * 220.0) + ey * ey / (120.0 * 120.0) < 1) k = 10;
        if (x > 100 && x < 700 && y > 800 && y < 1000 && std::fmod(x + 0.6 * y, 16.0) < 5) k = 7;
        if (std::fabs(y - (0.35 * x + 650)) < 1.2) k = 9; // a thin slanted line
        return k;
    };
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = bmp.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            double sum[3] = {0, 0, 0};
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    uint32_t c = colors[paint(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)];
                    sum[0] += c >> 16 & 0xFF;
                    sum[1] += c >> 8 & 0xFF;
                    sum[2] += c & 0xFF;
                }
            double r = sum[0] / 16, g = sum[1] / 16, b = sum[2] / 16;
            if (y < 120) { // title bar: dark blue shading to lighter
                double t = double(x) / Width;
                r = 31 + 40 * t;
                g = 58 + 50 * t;
                b = 95 + 70 * t - 0.2 * y;
            }
            Put(row, x, r + 0.5, g + 0.5, b + 0.5);
        }
    }
    return bmp;
}

} // namespace

std::vector<TPicture> MadePictures() {
    std::vector<TPicture> out;
    out.push_back({"render", Render()});
    out.push_back({"gradient", Gradient()});
    out.push_back({"graphic", Graphic()});
    return out;
}

std::vector<TPicture> LoadPictures(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<TPicture> out;
    for (const fs::path& file : files) {
        TPicture picture{file.stem().string(), {}};
        picture.Bitmap.LoadFromFile(file.string());
        picture.Bitmap.SetPixelFormat(gif::pf24bit);
        out.push_back(std::move(picture));
    }
    return out;
}

} // namespace reducebench
