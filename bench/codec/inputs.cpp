#include "inputs.h"

#include <algorithm>
#include <cmath>

namespace benchcodec {
namespace {

// 8x8 Bayer threshold matrix, values 0..63.
int Bayer(int x, int y) {
    int v = 0;
    for (int bit = 0; bit < 3; ++bit) {
        int xb = (x >> bit) & 1, yb = (y >> bit) & 1;
        v |= ((xb ^ yb) << (5 - 2 * bit)) | (yb << (4 - 2 * bit));
    }
    return v;
}

struct Rng {
    uint32_t State;
    uint32_t Next() {
        State = State * 1664525u + 1013904223u;
        return State >> 8;
    }
};

// Quantises a 0..255 channel to `levels` levels with the ordered-dither threshold.
int Dither(double value, int levels, int threshold) {
    double scaled = std::clamp(value, 0.0, 255.0) * (levels - 1) / 255.0;
    int base = int(scaled);
    double frac = scaled - base;
    if (frac * 64 > threshold + 0.5 && base < levels - 1) ++base;
    return base;
}

} // namespace

FrameInput PhotoFrame(int width, int height, uint32_t seed) {
    FrameInput f{width, height, false, std::vector<uint8_t>(size_t(width) * height)};
    Rng rng{seed};
    const double phase = seed % 97;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double noise = double(rng.Next() % 41) - 20;
            double r = 128 + 90 * std::sin((x + phase) / 173.0 + y / 411.0) + noise;
            double g = 120 + 80 * std::cos(x / 257.0 - (y + phase) / 133.0) + noise * 0.8;
            double b = 110 + 100 * std::sin((x + y) / 311.0) + noise * 1.2;
            int t = Bayer(x, y);
            f.Pixels[size_t(y) * width + x] =
                uint8_t(Dither(r, 6, t) * 42 + Dither(g, 7, t) * 6 + Dither(b, 6, t));
        }
    }
    return f;
}

FrameInput CartoonFrame(int width, int height, uint32_t seed, int shift) {
    FrameInput f{width, height, false, std::vector<uint8_t>(size_t(width) * height, 1)};
    Rng rng{seed};
    // Sky and ground.
    for (int y = height * 2 / 3; y < height; ++y)
        std::fill_n(f.Pixels.begin() + long(size_t(y) * width), width, uint8_t(2));
    for (int shape = 0; shape < 40; ++shape) {
        int cx = int(rng.Next() % unsigned(width)) + shift, cy = int(rng.Next() % unsigned(height));
        int r = 10 + int(rng.Next() % unsigned(std::max(11, width / 8)));
        uint8_t color = uint8_t(3 + rng.Next() % 21);
        bool circle = rng.Next() % 2;
        for (int y = std::max(0, cy - r); y < std::min(height, cy + r); ++y) {
            for (int x = std::max(0, cx - r); x < std::min(width, cx + r); ++x) {
                int dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
                if (circle && d2 > r * r) continue;
                bool edge = circle ? d2 > (r - 2) * (r - 2)
                                   : (x < cx - r + 2 || x >= cx + r - 2 || y < cy - r + 2 ||
                                      y >= cy + r - 2);
                f.Pixels[size_t(y) * width + x] = edge ? 0 : color;
            }
        }
    }
    return f;
}

FrameInput BilevelFrame(int width, int height, uint32_t seed) {
    FrameInput f{width, height, false, std::vector<uint8_t>(size_t(width) * height, 1)};
    Rng rng{seed};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // A dithered shading band in the middle third, lines of "text" elsewhere.
            uint8_t v = 1;
            if (y > height / 3 && y < height * 2 / 3) {
                double grey = 255.0 * x / width;
                v = grey * 64 / 255.0 > Bayer(x, y) ? 1 : 0;
            } else if ((y / 12) % 2 == 0 && (y % 12) < 9) {
                v = (rng.Next() % 100) < 22 ? 0 : 1;
            }
            f.Pixels[size_t(y) * width + x] = v;
        }
    }
    return f;
}

std::vector<Input> MakeInputs() {
    std::vector<Input> inputs;
    inputs.push_back({"photo_1024x768", 8, {PhotoFrame(1024, 768, 1)}});
    inputs.push_back({"cartoon_1024x768", 5, {CartoonFrame(1024, 768, 2)}});
    inputs.push_back({"bilevel_1600x1200", 1, {BilevelFrame(1600, 1200, 3)}});
    Input anim{"interlaced_anim_12x480x360", 5, {}};
    for (int i = 0; i < 12; ++i) {
        FrameInput f = CartoonFrame(480, 360, 4, i * 6);
        f.Interlaced = true;
        anim.Frames.push_back(std::move(f));
    }
    inputs.push_back(std::move(anim));
    inputs.push_back({"photo_5000x4400", 8, {PhotoFrame(5000, 4400, 5)}});
    return inputs;
}

} // namespace benchcodec
