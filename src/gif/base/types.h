// Small value types shared by the whole library.
#pragma once

#include <cstdint>

namespace gif {

// A colour as 0x00BBGGRR: red in the low byte. The top byte is ignored when stored.
using TColor = uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;    // "no colour"
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindow = 0xFFFFFF;    // the system window colour of this desktop

constexpr uint8_t GetRValue(TColor c) { return uint8_t(c); }
constexpr uint8_t GetGValue(TColor c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(TColor c) { return uint8_t(c >> 16); }
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

// A rectangle with exclusive right and bottom edges.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
    bool operator==(const TRect&) const = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// a * b / c rounded to the nearest integer, as the platform's MulDiv; -1 when c is 0.
inline int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    int64_t half = (c < 0 ? -int64_t(c) : int64_t(c)) / 2;
    int64_t q = ((p < 0) != (c < 0)) ? (p - half) / c : (p + half) / c;
    return int(q);
}

} // namespace gif
