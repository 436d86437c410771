// Small files that declare far more than they hold: the probes of the picture readers and
// the optimiser, shared by the library's tests and the command-line tool's.
#pragma once

#include <cstdint>
#include <vector>

namespace hostile {

inline void Put32(std::vector<uint8_t>& d, uint32_t v) {
    for (int i = 0; i < 4; ++i) d.push_back(uint8_t(v >> (8 * i)));
}

inline void Put16(std::vector<uint8_t>& d, uint32_t v) {
    d.push_back(uint8_t(v));
    d.push_back(uint8_t(v >> 8));
}

// A metafile of `width` x `height` whose `records` each fill the whole picture.
inline std::vector<uint8_t> Metafile(uint32_t width, uint32_t height, uint32_t records) {
    std::vector<uint8_t> d = {'L', 'W', 'M', 'F'};
    Put32(d, width);
    Put32(d, height);
    Put32(d, records);
    for (uint32_t i = 0; i < records; ++i) {
        Put32(d, 0);          // a filled rectangle
        Put32(d, 0);
        Put32(d, 0);
        Put32(d, width);
        Put32(d, height);
        Put32(d, 0x123456 + i);
    }
    Put32(d, 0);              // no raster
    return d;
}

// A run-length (RLE8) bitmap file declaring `width` x `height` whose data paints a few runs
// and then ends the bitmap: the rest of the picture is left to the reader.
inline std::vector<uint8_t> RunLengthBitmap(int32_t width, int32_t height) {
    std::vector<uint8_t> rle;
    for (int i = 0; i < 200; ++i) {
        rle.push_back(255);   // a run of 255 pixels
        rle.push_back(uint8_t(1 + i % 3));
        if (i % 4 == 3) {
            rle.push_back(0); // end of line
            rle.push_back(0);
        }
    }
    rle.push_back(0);         // end of bitmap
    rle.push_back(1);
    std::vector<uint8_t> d = {'B', 'M'};
    const uint32_t offset = 14 + 40 + 4 * 4;
    Put32(d, offset + uint32_t(rle.size()));
    Put32(d, 0);
    Put32(d, offset);
    Put32(d, 40);
    Put32(d, uint32_t(width));
    Put32(d, uint32_t(height));
    Put16(d, 1);
    Put16(d, 8);
    Put32(d, 1);              // BI_RLE8
    Put32(d, uint32_t(rle.size()));
    Put32(d, 2835);
    Put32(d, 2835);
    Put32(d, 4);              // four table entries
    Put32(d, 0);
    for (uint32_t c : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu}) Put32(d, c);
    d.insert(d.end(), rle.begin(), rle.end());
    return d;
}

// A GIF of `frames` frames of 2 x 2 pixels scattered over a screen of `side` x `side`.
inline std::vector<uint8_t> TinyFramesOnALargeScreen(int frames, int side) {
    std::vector<uint8_t> d = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(d, uint32_t(side));
    Put16(d, uint32_t(side));
    d.insert(d.end(), {0xF1, 0, 0});
    d.insert(d.end(), {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0});
    const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                            '2', '.', '0', 3, 1, 0, 0, 0};
    d.insert(d.end(), std::begin(loop), std::end(loop));
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(range));
    };
    for (int i = 0; i < frames; ++i) {
        d.insert(d.end(), {0x21, 0xF9, 4, 0, 5, 0, 0, 0});
        d.push_back(0x2C);
        Put16(d, uint32_t(next(side - 2)));
        Put16(d, uint32_t(next(side - 2)));
        Put16(d, 2);
        Put16(d, 2);
        d.push_back(0);
        // Code size 2: clear, four pixels, end, 3 bits each.
        const int codes[] = {4, i % 4, (i + 1) % 4, (i + 2) % 4, (i + 3) % 4, 5};
        uint32_t bits = 0;
        for (int k = 0; k < 6; ++k) bits |= uint32_t(codes[k]) << (3 * k);
        d.insert(d.end(), {2, 3, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), 0});
    }
    d.push_back(0x3B);
    return d;
}

} // namespace hostile
