// The exact nearest-colour lookup against a search through every entry.
#include "gif/reduce/nearest_color_lookup.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace gif {
namespace {

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

// Smallest squared distance; the lowest index among equals.
int BruteForce(const TPalette& palette, int r, int g, int b) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < palette.Count(); ++i) {
        const TPaletteEntry& e = palette.Entries[size_t(i)];
        int d = (e.peRed - r) * (e.peRed - r) + (e.peGreen - g) * (e.peGreen - g) +
                (e.peBlue - b) * (e.peBlue - b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Palettes of every kind of spread: tiny, clustered (many candidates per cell), on a coarse
// grid (many exact ties), with duplicates, and full.
std::vector<HPALETTE> Palettes() {
    std::vector<HPALETTE> out;
    Lcg rng{7};
    auto make = [&](int count, auto entry) {
        auto p = std::make_shared<TPalette>();
        for (int i = 0; i < count; ++i)
            p->Entries.push_back(entry(i));
        out.push_back(p);
    };
    auto random = [&](int) {
        return TPaletteEntry{uint8_t(rng.Next()), uint8_t(rng.Next()), uint8_t(rng.Next()), 0};
    };
    make(1, random);
    make(2, random);
    make(17, random);
    make(256, random);
    make(256, [&](int) { // a tight cluster around one colour
        return TPaletteEntry{uint8_t(120 + rng.Next() % 12), uint8_t(60 + rng.Next() % 12),
                             uint8_t(200 + rng.Next() % 12), 0};
    });
    make(64, [](int i) { // a 4-level grid 64 apart: colours between entries tie
        return TPaletteEntry{uint8_t(64 * (i & 3)), uint8_t(64 * (i >> 2 & 3)),
                             uint8_t(64 * (i >> 4)), 0};
    });
    make(40, [&](int i) { // every entry twice
        Lcg twin{uint32_t(i / 2 + 1)};
        return TPaletteEntry{uint8_t(twin.Next()), uint8_t(twin.Next()), uint8_t(twin.Next()), 0};
    });
    return out;
}

TEST(NearestColorLookup, AgreesWithASearchThroughEveryEntry) {
    Lcg rng{99};
    for (const HPALETTE& palette : Palettes()) {
        TNearestColorLookup lookup(palette);
        ASSERT_EQ(lookup.Colors(), palette->Count());
        auto check = [&](int r, int g, int b) {
            TRGB chosen;
            int index = lookup.Lookup(uint8_t(r), uint8_t(g), uint8_t(b), chosen);
            ASSERT_EQ(index, BruteForce(*palette, r, g, b))
                << palette->Count() << " entries, colour " << r << "," << g << "," << b;
            const TPaletteEntry& e = palette->Entries[size_t(index)];
            ASSERT_EQ(chosen, (TRGB{e.peRed, e.peGreen, e.peBlue}));
        };
        for (int i = 0; i < 20000; ++i)
            check(rng.Next() & 255, rng.Next() & 255, rng.Next() & 255);
        // The corners of cells, where a cell's bounds matter, and the entries themselves.
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 8)
                for (int b = 7; b < 256; b += 8)
                    check(r, g, b);
        for (const TPaletteEntry& e : palette->Entries)
            check(e.peRed, e.peGreen, e.peBlue);
    }
}

TEST(NearestColorLookup, WithoutEntriesHasNoColours) {
    EXPECT_EQ(TNearestColorLookup(nullptr).Colors(), 0);
    EXPECT_EQ(TNearestColorLookup(std::make_shared<TPalette>()).Colors(), 0);
}

} // namespace
} // namespace gif
