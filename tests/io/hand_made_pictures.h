// Small pictures of the kinds ImageMagick reads but cannot write, built byte by byte.
// Each is 16 x 8 pixels: the top-left quadrant `a`, everything else `b`.
#pragma once

#include "gif/base/types.h"

#include <cstdint>
#include <vector>

namespace iotest {

namespace detail {
inline void Put8(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v));
}
inline void Put16(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, int(v & 0xFFFF));
    Put16(out, int(v >> 16));
}
inline void PutColor(std::vector<uint8_t>& out, gif::TColor c) {
    Put8(out, gif::GetRValue(c));
    Put8(out, gif::GetGValue(c));
    Put8(out, gif::GetBValue(c));
}
} // namespace detail

inline constexpr int HandMadeWidth = 16;
inline constexpr int HandMadeHeight = 8;

// A placeable Windows metafile at 72 units per inch: two rectangles drawn without a pen.
inline std::vector<uint8_t> MetafilePicture(gif::TColor a, gif::TColor b) {
    using namespace detail;
    std::vector<uint8_t> records;
    auto record = [&](int function, std::initializer_list<int> params) {
        Put32(records, uint32_t(3 + params.size()));
        Put16(records, function);
        for (int p : params)
            Put16(records, p);
    };
    auto brush = [&](gif::TColor color) { // CREATEBRUSHINDIRECT, solid
        Put32(records, 7);
        Put16(records, 0x02FC);
        Put16(records, 0);
        PutColor(records, color);
        Put8(records, 0);
        Put16(records, 0);
    };
    record(0x020B, {0, 0});                          // SETWINDOWORG
    record(0x020C, {HandMadeHeight, HandMadeWidth}); // SETWINDOWEXT
    Put32(records, 8);                               // CREATEPENINDIRECT, no pen
    Put16(records, 0x02FA);
    for (int v : {5, 0, 0, 0, 0})
        Put16(records, v);
    record(0x012D, {0}); // SELECTOBJECT pen
    brush(b);
    record(0x012D, {1});
    record(0x041B, {HandMadeHeight, HandMadeWidth, 0, 0}); // RECTANGLE b, r, t, l
    record(0x01F0, {1});                                   // DELETEOBJECT
    brush(a);
    record(0x012D, {1});
    record(0x041B, {HandMadeHeight / 2, HandMadeWidth / 2, 0, 0});
    record(0x0000, {}); // EOF

    std::vector<uint8_t> out;
    Put32(out, 0x9AC6CDD7); // placeable header
    for (int v : {0, 0, 0, HandMadeWidth, HandMadeHeight, 72})
        Put16(out, v);
    Put32(out, 0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < out.size(); i += 2)
        checksum ^= uint16_t(out[i] | (out[i + 1] << 8));
    Put16(out, checksum);
    Put16(out, 1); // metafile header: in memory, 9 words, version 3
    Put16(out, 9);
    Put16(out, 0x0300);
    Put32(out, uint32_t(9 + records.size() / 2));
    Put16(out, 2); // objects
    Put32(out, 8); // largest record, in words
    Put16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

// A WordPerfect graphic (level 1) holding an 8-bit bitmap with a two-colour table.
inline std::vector<uint8_t> WordPerfectPicture(gif::TColor a, gif::TColor b) {
    using namespace detail;
    auto record = [](std::vector<uint8_t>& out, int type, const std::vector<uint8_t>& data) {
        Put8(out, type);
        if (data.size() < 0xFF) {
            Put8(out, int(data.size()));
        } else {
            Put8(out, 0xFF);
            Put16(out, int(data.size()));
        }
        out.insert(out.end(), data.begin(), data.end());
    };
    std::vector<uint8_t> table;
    Put16(table, 0);
    Put16(table, 2);
    PutColor(table, a);
    PutColor(table, b);
    std::vector<uint8_t> bitmap;
    for (int v : {HandMadeWidth, HandMadeHeight, 8, 75, 75})
        Put16(bitmap, v);
    for (int y = 0; y < HandMadeHeight; ++y) {
        Put8(bitmap, HandMadeWidth); // a literal run of one row
        for (int x = 0; x < HandMadeWidth; ++x)
            Put8(bitmap, y < HandMadeHeight / 2 && x < HandMadeWidth / 2 ? 0 : 1);
    }
    std::vector<uint8_t> out = {0xFF, 'W', 'P', 'C'};
    Put32(out, 16);
    for (int v : {1, 0x16, 1, 0})
        Put8(out, v);
    Put32(out, 0);
    record(out, 0x0F, {1, 0}); // start
    record(out, 0x0E, table);  // colour table
    record(out, 0x0B, bitmap); // bitmap
    record(out, 0x10, {});     // end
    return out;
}

// A Utah run-length encoded picture: three colour planes, rows from the bottom up.
inline std::vector<uint8_t> UtahRlePicture(gif::TColor a, gif::TColor b) {
    using namespace detail;
    std::vector<uint8_t> out = {0x52, 0xCC};
    for (int v : {0, 0, HandMadeWidth, HandMadeHeight})
        Put16(out, v);
    for (int v : {0x02, 3, 8, 0, 0})
        Put8(out, v); // no background, 3 planes, 8 bits
    for (int line = 0; line < HandMadeHeight; ++line) {
        bool top = HandMadeHeight - 1 - line < HandMadeHeight / 2;
        for (int plane = 0; plane < 3; ++plane) {
            auto channel = [plane](gif::TColor c) {
                return int(plane == 0   ? gif::GetRValue(c)
                           : plane == 1 ? gif::GetGValue(c)
                                        : gif::GetBValue(c));
            };
            for (int v : {2, plane})
                Put8(out, v); // set colour plane
            if (top) {
                for (int v : {6, HandMadeWidth / 2 - 1, channel(a), 0})
                    Put8(out, v); // run
                for (int v : {6, HandMadeWidth / 2 - 1, channel(b), 0})
                    Put8(out, v);
            } else {
                for (int v : {6, HandMadeWidth - 1, channel(b), 0})
                    Put8(out, v);
            }
        }
        for (int v : {1, 1})
            Put8(out, v); // next line
    }
    for (int v : {7, 0})
        Put8(out, v); // end
    return out;
}

} // namespace iotest
