#!/usr/bin/env python3
"""Writes small hand-made GIF files that start the fuzzers' corpora: every block kind,
interlacing, transparency, local tables, a truncated file and an embedded length prefix."""
import os
import struct
import sys


def plain_lzw(pixels, code_size):
    clear = 1 << code_size
    bits = code_size + 1
    per_clear = (1 << bits) - clear - 2
    acc, count, data = 0, 0, bytearray()

    def emit(code):
        nonlocal acc, count
        acc |= code << count
        count += bits
        while count >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            count -= 8

    for i, p in enumerate(pixels):
        if i % per_clear == 0:
            emit(clear)
        emit(p)
    emit(clear + 1)
    if count:
        data.append(acc & 0xFF)
    out = bytearray([code_size])
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def header(w, h, colors):
    size_code = 0
    while (2 << size_code) < len(colors):
        size_code += 1
    out = b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | 0x70 | size_code, 0, 0)
    for i in range(2 << size_code):
        out += bytes(colors[i] if i < len(colors) else (0, 0, 0))
    return out


def image(x, y, w, h, pixels, flags=0, local=None, code_size=2):
    out = b"\x2c" + struct.pack("<HHHHB", x, y, w, h, flags)
    if local:
        out += b"".join(bytes(c) for c in local)
    return out + plain_lzw(pixels, code_size)


def gce(delay, disposal=0, transparent=None):
    flags = (disposal << 2) | (1 if transparent is not None else 0)
    return b"\x21\xf9\x04" + struct.pack("<BHB", flags, delay, transparent or 0) + b"\x00"


loop = b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
comment = b"\x21\xfe\x05hello\x00"
text = b"\x21\x01\x0c" + struct.pack("<HHHHBBBB", 0, 0, 8, 8, 4, 4, 1, 0) + b"\x02hi\x00"
unknown_app = b"\x21\xff\x0bXMP DataXMP\x03abc\x00"
four = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 0, 255)]

seeds = {
    "single.gif": header(4, 2, four) + image(0, 0, 4, 2, [0, 1, 2, 3, 3, 2, 1, 0]) + b"\x3b",
    "animated.gif": header(4, 4, four) + loop + gce(10, 2, 3) + image(0, 0, 4, 4, [i % 4 for i in range(16)])
    + gce(5, 3) + image(1, 1, 2, 2, [1, 2, 2, 1]) + gce(0, 1) + image(0, 0, 4, 4, [2] * 16) + b"\x3b",
    "interlaced.gif": header(3, 5, four) + image(0, 0, 3, 5, [i % 4 for i in range(15)], 0x40) + b"\x3b",
    "blocks.gif": header(2, 2, four) + comment + text + unknown_app + image(0, 0, 2, 2, [0, 1, 2, 3])
    + comment + b"\x3b",
    "local.gif": header(2, 1, four) + image(0, 0, 2, 1, [5, 7], 0x82, [(i * 30, 0, 0) for i in range(8)], 3) + b"\x3b",
    "truncated.gif": (header(4, 4, four) + image(0, 0, 4, 4, [1] * 16))[:-6],
    "embedded.gif": struct.pack("<I", 40) + header(1, 1, four) + image(0, 0, 1, 1, [2]) + b"\x3b",
}

target = sys.argv[1] if len(sys.argv) > 1 else "."
os.makedirs(target, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(target, name), "wb") as f:
        f.write(data)
