#!/usr/bin/env python3
"""Writes the two small GIFs whose declared sizes dwarf their data, for peak-memory figures:

  huge_frames.gif   30 frames of 16000 x 16000 on a screen of that size, each holding only a
                    clear code and the end code (a few hundred bytes in all)
  many_frames.gif   200 one-pixel frames on a 4096 x 4096 screen

Measure with  /usr/bin/time -v loopwright-cli info FILE  (and  frames FILE DIR):
"Maximum resident set size" must stay far below the declared pixels.

Usage: make_bomb_files.py OUTDIR
"""
import struct
import sys
from pathlib import Path


def screen(width, height):
    # A two-colour global table (black, white), background 0.
    return b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"


def frame(width, height, data):
    # Image descriptor at 0,0 without a local table; minimum code size 2.
    return b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02" + \
        bytes([len(data)]) + data + b"\0"


# Codes of 3 bits, lowest first: clear (4) then end (5).
CLEAR_END = bytes([4 | 5 << 3])
# Clear (4), pixel 0, end (5): 4 | 0 << 3 | 5 << 6.
ONE_PIXEL = struct.pack("<H", 4 | 5 << 6)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    huge = screen(16000, 16000) + b"".join(frame(16000, 16000, CLEAR_END) for _ in range(30)) + b";"
    many = screen(4096, 4096) + b"".join(frame(1, 1, ONE_PIXEL) for _ in range(200)) + b";"
    (out / "huge_frames.gif").write_bytes(huge)
    (out / "many_frames.gif").write_bytes(many)
    print(f"huge_frames.gif {len(huge)} bytes, many_frames.gif {len(many)} bytes")


if __name__ == "__main__":
    main()
