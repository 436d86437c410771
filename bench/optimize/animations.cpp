#include "animations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gif/model/application_extension.h"
#include "gif/model/graphic_control.h"

namespace optbench {

using namespace gif;

namespace {

// Deterministic noise (the standard distributions differ between libraries).
struct TNoise {
    uint64_t State;
    explicit TNoise(uint64_t seed) : State(seed * 0x9E3779B97F4A7C15ull + 1) {}
    int Next(int n) {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return int(State % uint64_t(n));
    }
};

TGIFSubImage& AddFrame(TGIFImage& image, int left, int top, int width, int height,
                       const std::vector<uint8_t>& pixels, int delay, int disposal = dmNone,
                       int transparent = -1) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetPlacement(left, top, width, height);
    std::copy(pixels.begin(), pixels.end(), frame->Pixels());
    auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
    gce->SetDelayTime(uint16_t(delay));
    gce->SetDisposalCode(uint8_t(disposal));
    if (transparent >= 0) {
        gce->SetTransparentIndexUnchecked(uint8_t(transparent));
        gce->SetTransparentFlag(true);
    }
    frame->Blocks().Add(std::move(gce));
    TGIFSubImage& ref = *frame;
    image.AddFrame(std::move(frame));
    return ref;
}

void AddLoop(TGIFImage& image) {
    TGIFSubImage& first = *image.Frame(0);
    first.Blocks().InsertAt(0, std::make_unique<TGIFAppExtNSLoop>(&first));
}

// A 6 x 7 x 6 colour cube: 252 colours.
void CubePalette(TGIFColorMap& table) {
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b) table.AppendColor(RGB(uint8_t(r * 51), uint8_t(g * 42), uint8_t(b * 51)));
}

int CubeIndex(double r, double g, double b) {
    auto level = [](double v, int n) { return std::clamp(int(v * (n - 1) + 0.5), 0, n - 1); };
    return (level(r, 6) * 7 + level(g, 7)) * 6 + level(b, 6);
}

std::vector<uint8_t> TexturedBackground(int width, int height) {
    std::vector<uint8_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double sky = double(y) / height;
            bool brick = ((x / 12 + (y / 6) % 2) % 2 == 0) && y > height * 2 / 3;
            pixels[size_t(y) * width + x] =
                uint8_t(brick ? CubeIndex(0.7, 0.3, 0.2) : CubeIndex(0.3 * sky, 0.5 * sky + 0.2, 0.9));
        }
    return pixels;
}

void DrawSprite(std::vector<uint8_t>& pixels, int width, int height, int cx, int cy, int radius,
                uint8_t color) {
    for (int y = std::max(0, cy - radius); y < std::min(height, cy + radius); ++y)
        for (int x = std::max(0, cx - radius); x < std::min(width, cx + radius); ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < radius * radius)
                pixels[size_t(y) * width + x] = uint8_t(color + ((x + y) % 3 == 0 ? 1 : 0));
}

// A still background with three sprites moving across it; every frame is the whole screen.
std::unique_ptr<TGIFImage> StillWithSprites() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 240, H = 160;
    CubePalette(image->GlobalColorMap());
    const std::vector<uint8_t> still = TexturedBackground(W, H);
    for (int f = 0; f < 30; ++f) {
        std::vector<uint8_t> pixels = still;
        DrawSprite(pixels, W, H, 20 + f * 6, 40 + int(20 * std::sin(f / 4.0)), 12, uint8_t(CubeIndex(1, 1, 0)));
        DrawSprite(pixels, W, H, 200 - f * 4, 100, 9, uint8_t(CubeIndex(1, 0, 0)));
        DrawSprite(pixels, W, H, 120, 20 + f * 3, 7, uint8_t(CubeIndex(0, 1, 0)));
        AddFrame(*image, 0, 0, W, H, pixels, 4);
    }
    AddLoop(*image);
    return image;
}

// Full-frame content that changes almost everywhere, with sensor-like noise.
std::unique_ptr<TGIFImage> VideoLike() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 160, H = 120;
    CubePalette(image->GlobalColorMap());
    TNoise noise(5);
    for (int f = 0; f < 24; ++f) {
        std::vector<uint8_t> pixels(size_t(W) * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                double t = f * 0.15;
                double v = std::sin(x * 0.05 + t) + std::sin(y * 0.07 - t) + std::sin((x + y) * 0.03 + 2 * t);
                double n = (noise.Next(100) - 50) / 1000.0;
                pixels[size_t(y) * W + x] = uint8_t(
                    CubeIndex(0.5 + v / 6 + n, 0.5 + std::sin(v) / 3 + n, 0.5 - v / 6 + n));
            }
        AddFrame(*image, 0, 0, W, H, pixels, 8);
    }
    AddLoop(*image);
    return image;
}

// A background frame, then whole-screen transparent frames that carry only a bouncing
// sprite (left in place), and sprite-sized frames that clear themselves afterwards.
std::unique_ptr<TGIFImage> TransparentSprites() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 200, H = 150;
    CubePalette(image->GlobalColorMap());
    image->GlobalColorMap().AppendColor(RGB(255, 0, 255));   // 252: the transparent entry
    constexpr int Hole = 252;
    AddFrame(*image, 0, 0, W, H, TexturedBackground(W, H), 10, dmNoDisposal);
    for (int f = 0; f < 30; ++f) {
        if (f % 3 == 2) {
            std::vector<uint8_t> sprite(32 * 32, uint8_t(Hole));
            DrawSprite(sprite, 32, 32, 16, 16, 14, uint8_t(CubeIndex(0, 0, 0)));
            AddFrame(*image, 10 + f * 5, 60, 32, 32, sprite, 5, dmBackground, Hole);
        } else {
            std::vector<uint8_t> pixels(size_t(W) * H, uint8_t(Hole));
            DrawSprite(pixels, W, H, 30 + f * 5, 30 + int(25 * std::abs(std::sin(f / 3.0))), 10,
                       uint8_t(CubeIndex(1, 1, 1)));
            AddFrame(*image, 0, 0, W, H, pixels, 5, dmNoDisposal, Hole);
        }
    }
    AddLoop(*image);
    return image;
}

// Every frame carries its own local table: the same 128 colours in another order.
std::unique_ptr<TGIFImage> LocalPalettes() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 160, H = 120;
    std::vector<TColor> colors;
    for (int i = 0; i < 128; ++i)
        colors.push_back(RGB(uint8_t(i * 2), uint8_t(255 - i * 2), uint8_t((i * 37) % 256)));
    for (int f = 0; f < 20; ++f) {
        std::vector<uint8_t> order(128);
        for (int i = 0; i < 128; ++i) order[size_t(i)] = uint8_t((i * 5 + f * 11) % 128);   // 5 is odd: a permutation
        std::vector<int> position(128);
        for (int i = 0; i < 128; ++i) position[order[size_t(i)]] = i;
        std::vector<uint8_t> pixels(size_t(W) * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int color = (x / 10 + y / 10 + (x > f * 8 ? 3 : 0)) % 128;
                pixels[size_t(y) * W + x] = uint8_t(position[size_t(color)]);
            }
        TGIFSubImage& frame = AddFrame(*image, 0, 0, W, H, pixels, 6);
        for (int i = 0; i < 128; ++i) frame.LocalTable().AppendColor(colors[order[size_t(i)]]);
    }
    AddLoop(*image);
    return image;
}

// Conway's life on a 2-colour torus: a few hundred cells change per generation.
std::unique_ptr<TGIFImage> Life() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 96, H = 96;
    image->GlobalColorMap().AppendColor(RGB(255, 255, 255));
    image->GlobalColorMap().AppendColor(RGB(0, 0, 0));
    TNoise noise(11);
    std::vector<uint8_t> cells(size_t(W) * H);
    for (uint8_t& c : cells) c = uint8_t(noise.Next(3) == 0);
    for (int f = 0; f < 40; ++f) {
        AddFrame(*image, 0, 0, W, H, cells, 6);
        std::vector<uint8_t> next(cells.size());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (dx || dy) n += cells[size_t((y + dy + H) % H) * W + size_t((x + dx + W) % W)];
                uint8_t alive = cells[size_t(y) * W + x];
                next[size_t(y) * W + x] = uint8_t(n == 3 || (alive && n == 2));
            }
        cells = std::move(next);
    }
    AddLoop(*image);
    return image;
}

// A 2-colour cellular pattern where about half the cells flip every frame.
std::unique_ptr<TGIFImage> Cellular() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 80, H = 80;
    image->GlobalColorMap().AppendColor(RGB(20, 40, 160));
    image->GlobalColorMap().AppendColor(RGB(240, 220, 40));
    TNoise noise(17);
    std::vector<uint8_t> cells(size_t(W) * H);
    for (int f = 0; f < 20; ++f) {
        for (int y = 0; y < H; y += 4)
            for (int x = 0; x < W; x += 4)
                if (noise.Next(2)) {
                    uint8_t v = uint8_t(1 - cells[size_t(y) * W + x]);
                    for (int k = 0; k < 16; ++k) cells[size_t(y + k / 4) * W + size_t(x + k % 4)] = v;
                }
        AddFrame(*image, 0, 0, W, H, cells, 8);
    }
    AddLoop(*image);
    return image;
}

// A smooth gradient that slides sideways: every pixel changes, in long runs.
std::unique_ptr<TGIFImage> Gradient() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int W = 200, H = 60;
    for (int i = 0; i < 256; ++i) image->GlobalColorMap().AppendColor(RGB(uint8_t(i), uint8_t(255 - i), 128));
    for (int f = 0; f < 16; ++f) {
        std::vector<uint8_t> pixels(size_t(W) * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) pixels[size_t(y) * W + x] = uint8_t((x * 256 / W + f * 5 + y / 10) % 256);
        AddFrame(*image, 0, 0, W, H, pixels, 5);
    }
    AddLoop(*image);
    return image;
}

// A terminal recording: characters typed one by one in a few colours on a dark screen,
// each frame the whole screen, interlaced as some screen recorders write them.
std::unique_ptr<TGIFImage> Terminal() {
    auto image = std::make_unique<TGIFImage>();
    constexpr int Cols = 40, Rows = 12, CW = 6, CH = 10, W = Cols * CW, H = Rows * CH;
    for (TColor c : {RGB(16, 16, 16), RGB(200, 200, 200), RGB(80, 220, 80), RGB(90, 140, 250)})
        image->GlobalColorMap().AppendColor(c);
    TNoise noise(23);
    std::vector<uint8_t> screen(size_t(W) * H, 0);
    int col = 0, row = 0;
    for (int f = 0; f < 120; ++f) {
        int glyph = noise.Next(1 << 20);
        uint8_t color = uint8_t(1 + (row % 3));
        if (noise.Next(8) == 0 || col == Cols) {
            col = 0;
            row = (row + 1) % Rows;
            for (int y = row * CH; y < row * CH + CH; ++y)
                std::fill_n(screen.begin() + std::ptrdiff_t(y) * W, W, uint8_t(0));
        } else {
            for (int k = 0; k < 20; ++k)   // a 4 x 5 glyph in the middle of its cell
                if (glyph & (1 << k))
                    screen[size_t(row * CH + 2 + k / 4) * W + size_t(col * CW + 1 + k % 4)] = color;
            ++col;
        }
        AddFrame(*image, 0, 0, W, H, screen, 4).SetInterlaced(true);
    }
    AddLoop(*image);
    return image;
}

} // namespace

std::vector<TSample> MakeSamples() {
    std::vector<TSample> samples;
    samples.push_back({"still_sprites", StillWithSprites()});
    samples.push_back({"video_like", VideoLike()});
    samples.push_back({"transparent_sprites", TransparentSprites()});
    samples.push_back({"local_palettes", LocalPalettes()});
    samples.push_back({"life", Life()});
    samples.push_back({"cellular", Cellular()});
    samples.push_back({"gradient", Gradient()});
    samples.push_back({"terminal", Terminal()});
    return samples;
}

} // namespace optbench
