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

FrameInput PosterFrame(int width, int height, uint32_t seed, int levels) {
    FrameInput f{width, height, false, std::vector<uint8_t>(size_t(width) * height)};
    Rng rng{seed};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double noise = double(rng.Next() % 25) - 12;
            double v = 128 + 70 * std::sin(x / 97.0 + seed) * std::cos(y / 131.0) + 40 * std::sin((x + y) / 53.0) + noise;
            f.Pixels[size_t(y) * width + x] = uint8_t(Dither(v, levels, Bayer(x, y)));
        }
    }
    return f;
}

FrameInput NoiseFrame(int width, int height, uint32_t seed, int colors) {
    FrameInput f{width, height, false, std::vector<uint8_t>(size_t(width) * height)};
    Rng rng{seed};
    for (uint8_t& p : f.Pixels)
        p = uint8_t(rng.Next() % unsigned(colors));
    return f;
}

FrameInput ScreenFrame(int width, int height, uint32_t seed) {
    FrameInput f{width, height, false, std::vector<uint8_t>(size_t(width) * height, 7)};
    Rng rng{seed};
    auto fill = [&](int x0, int y0, int x1, int y1, uint8_t c) {
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
                f.Pixels[size_t(y) * width + x] = c;
    };
    for (int w = 0; w < 6; ++w) {
        int x0 = int(rng.Next() % unsigned(width * 2 / 3)), y0 = int(rng.Next() % unsigned(height * 2 / 3));
        int x1 = x0 + width / 4 + int(rng.Next() % unsigned(width / 3));
        int y1 = y0 + height / 4 + int(rng.Next() % unsigned(height / 3));
        fill(x0, y0, x1, y1, 15);             // window
        fill(x0, y0, x1, y0 + 18, uint8_t(1 + w % 6)); // title bar
        fill(x0, y0, x0 + 1, y1, 8);
        fill(x1 - 1, y0, x1, y1, 8);
        // Lines of 5 x 7 glyphs drawn from a pseudo-random bit pattern per character.
        for (int ty = y0 + 24; ty + 9 < y1; ty += 11) {
            for (int tx = x0 + 4; tx + 6 < x1 - 4; tx += 6) {
                uint32_t glyph = rng.Next() | 1;
                if (glyph % 7 == 0) continue;   // a space
                for (int gy = 0; gy < 7; ++gy)
                    for (int gx = 0; gx < 5; ++gx)
                        if (glyph >> ((gy * 5 + gx) % 24) & 1) fill(tx + gx, ty + gy, tx + gx + 1, ty + gy + 1, 0);
            }
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

std::vector<Input> MakeEncoderCorpus() {
    std::vector<Input> corpus = MakeInputs();
    auto add = [&](const char* name, int bits, std::vector<FrameInput> frames) {
        corpus.push_back({name, bits, std::move(frames)});
    };
    auto animation = [](int count, auto makeFrame) {
        std::vector<FrameInput> frames;
        for (int i = 0; i < count; ++i)
            frames.push_back(makeFrame(i));
        return frames;
    };
    auto recolour = [](FrameInput f, int colors) {
        for (uint8_t& p : f.Pixels)
            p = uint8_t(p % colors);
        return f;
    };
    // Photographs and posterised pictures.
    add("photo_640x480", 8, {PhotoFrame(640, 480, 11)});
    add("photo_320x240", 8, {PhotoFrame(320, 240, 12)});
    add("photo_128x128", 8, {PhotoFrame(128, 128, 13)});
    add("photo_48x48", 8, {PhotoFrame(48, 48, 14)});
    FrameInput interlaced = PhotoFrame(800, 600, 15);
    interlaced.Interlaced = true;
    add("photo_interlaced_800x600", 8, {std::move(interlaced)});
    add("poster16_640x480", 4, {PosterFrame(640, 480, 16, 16)});
    add("poster64_800x600", 6, {PosterFrame(800, 600, 17, 64)});
    add("poster128_1024x768", 7, {PosterFrame(1024, 768, 18, 128)});
    add("gray256_1024x768", 8, {PosterFrame(1024, 768, 19, 256)});
    // Flat colours: cartoons, screenshots, line art.
    add("cartoon_320x240", 5, {CartoonFrame(320, 240, 21)});
    add("cartoon_1920x1080", 5, {CartoonFrame(1920, 1080, 22)});
    add("cartoon_in_256_640x480", 8, {CartoonFrame(640, 480, 23)});
    add("cartoon4_800x600", 2, {recolour(CartoonFrame(800, 600, 24), 4)});
    add("screen_1280x800", 4, {ScreenFrame(1280, 800, 25)});
    add("bilevel_320x240", 1, {BilevelFrame(320, 240, 26)});
    add("bilevel_in_256_640x480", 8, {BilevelFrame(640, 480, 27)});
    // Animations.
    add("bilevel_anim_20x200x200", 1,
        animation(20, [](int i) { return BilevelFrame(200, 200, uint32_t(30 + i)); }));
    add("cartoon_anim_100x320x240", 5,
        animation(100, [](int i) { return CartoonFrame(320, 240, 31, i * 3); }));
    add("photo_anim_30x320x240", 8,
        animation(30, [](int i) { return PhotoFrame(320, 240, uint32_t(32 + i)); }));
    add("sprite_anim_50x64x64", 8,
        animation(50, [](int i) { return CartoonFrame(64, 64, 33, i); }));
    add("tiny_anim_200x16x16", 4,
        animation(200, [&](int i) { return recolour(PhotoFrame(16, 16, uint32_t(34 + i)), 16); }));
    // Icons and the smallest pictures.
    add("icon16_16x16", 4, {recolour(CartoonFrame(16, 16, 35), 16)});
    add("icon256_32x32", 8, {PhotoFrame(32, 32, 36)});
    add("icon4_48x48", 2, {recolour(CartoonFrame(48, 48, 37), 4)});
    add("pixel_1x1", 1, {FrameInput{1, 1, false, {1}}});
    // Extremes: one colour, a smooth ramp, noise.
    add("solid_1000x1000", 8, {FrameInput{1000, 1000, false, std::vector<uint8_t>(1000000, 200)}});
    FrameInput ramp{1024, 768, false, std::vector<uint8_t>(1024 * 768)};
    for (size_t i = 0; i < ramp.Pixels.size(); ++i)
        ramp.Pixels[i] = uint8_t((i % 1024) / 4);
    add("ramp_1024x768", 8, {std::move(ramp)});
    add("noise_512x512", 8, {NoiseFrame(512, 512, 38, 256)});
    add("noise16_512x512", 4, {NoiseFrame(512, 512, 39, 16)});
    add("noise2_512x512", 1, {NoiseFrame(512, 512, 40, 2)});
    return corpus;
}

} // namespace benchcodec
