// Generated frames for the codec benchmarks: photographic, cartoon-like, 1-bit and an
// interlaced animation, plus one frame above 20 MB of pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace benchcodec {

struct FrameInput {
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    std::vector<uint8_t> Pixels; // colour indices, row-major
    // A frame of a file read back: the code size and colour limit it is written with, and
    // whether they come from a local colour table. 0: the input's Bits and table.
    int Bits = 0;
    int ColorLimit = 0;
    bool LocalTable = false;
};

struct Input {
    std::string Name;
    int Bits = 8; // colour table size 2^Bits
    std::vector<FrameInput> Frames;
    bool FromFile = false; // an animation another program wrote (LoadAnimations)

    size_t PixelCount() const {
        size_t n = 0;
        for (const FrameInput& f : Frames)
            n += f.Pixels.size();
        return n;
    }
};

// A smooth colour field with noise, ordered-dithered to a 6x7x6 colour cube (252 colours).
FrameInput PhotoFrame(int width, int height, uint32_t seed);
// Flat shapes in up to 24 colours on a plain background, with hard edges.
FrameInput CartoonFrame(int width, int height, uint32_t seed, int shift = 0);
// Black line art and ordered-dithered grey on white, 2 colours.
FrameInput BilevelFrame(int width, int height, uint32_t seed);
// A photo-like field ordered-dithered to `levels` grey levels (up to 256).
FrameInput PosterFrame(int width, int height, uint32_t seed, int levels);
// Independent random pixels below `colors`.
FrameInput NoiseFrame(int width, int height, uint32_t seed, int colors);
// A desktop screenshot: windows, title bars and lines of small text glyphs, 16 colours.
FrameInput ScreenFrame(int width, int height, uint32_t seed);

// The inputs of the decoding, loading and saving benchmarks.
std::vector<Input> MakeInputs();
// The encoder's corpus: the inputs above and 30 more, from a single pixel to 22 million
// pixels, 2 to 256 colours, noise to flat colour, single pictures and animations.
std::vector<Input> MakeEncoderCorpus();

// The animations bench/codec/make_animations.sh writes into `folder`, each read with our
// reader and given as the file writer would compress its frames. Empty (with a note on
// standard error) when the folder holds none.
std::vector<Input> LoadAnimations(const std::string& folder);

} // namespace benchcodec
