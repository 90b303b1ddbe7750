#!/usr/bin/env python3
"""Draws the program icon (a power symbol on a round blue badge) at 16, 32 and 48
pixels, 32-bit with alpha, and writes app/tulvo.ico. Run it again after changing it."""
import math
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SAMPLES = 4  # supersampling per axis


def coverage(size, inside):
    """Per-pixel coverage (0..1) of the shape `inside(x, y)` given in unit coordinates."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size * 2 - 1
                    y = (py + (sy + 0.5) / SAMPLES) / size * 2 - 1
                    hits += inside(x, y)
            row.append(hits / SAMPLES ** 2)
        rows.append(row)
    return rows


def badge(x, y):
    return x * x + y * y <= 0.94 ** 2


def symbol(x, y):
    r = math.hypot(x, y)
    ring = 0.38 <= r <= 0.58 and not (y < 0 and abs(x) < 0.26)
    bar = abs(x) <= 0.095 and -0.68 <= y <= 0.02
    return ring or bar


def image(size):
    outer = coverage(size, badge)
    mark = coverage(size, symbol)
    pixels = []
    for y in range(size):
        for x in range(size):
            shade = 1 - 0.35 * (y / size)
            blue = (int(40 * shade), int(110 * shade), int(215 * shade))
            m = mark[y][x]
            rgb = [round(c * (1 - m) + 255 * m) for c in blue]
            pixels.append((rgb[2], rgb[1], rgb[0], round(255 * outer[y][x])))
    return pixels


def bmp_entry(size):
    pixels = image(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(pixels[y * size + x]) for y in reversed(range(size)) for x in range(size))
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)
    return header + xor + and_mask


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "app" / "tulvo.ico"
    entries = [bmp_entry(s) for s in SIZES]
    data = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, entry in zip(SIZES, entries):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(entry), offset)
        offset += len(entry)
    out.write_bytes(data + b"".join(entries))


if __name__ == "__main__":
    main()
