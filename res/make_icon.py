#!/usr/bin/env python3
"""Draws Quorvale.ico: a white "Q" on a blue rounded square, in every size Windows asks for.

16, 20 and 24 pixels serve the small icon (title bar, notification area) at 100, 125 and 150 %;
32, 40, 48 and 64 the large one up to 200 %; 256 (stored as PNG) the Explorer's largest views.
The smaller images are 32-bit BMPs whose AND mask follows the alpha channel, so systems that
ignore alpha still draw the corners transparent.
"""
import math
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]


def pixel(size, x, y):
    # Coordinates in 0..1, averaged over 4x4 samples inside the pixel for smooth edges.
    total = [0, 0, 0, 0]
    for sy in range(4):
        for sx in range(4):
            u, v = (x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size
            for i, c in enumerate(sample(u, v)):
                total[i] += c
    r, g, b, a = (t // 16 for t in total)
    if a:
        # Colours were summed premultiplied; store them straight.
        r, g, b = (min(255, c * 255 // a) for c in (r, g, b))
    return (r, g, b, a)


def sample(u, v):
    r = 0.18
    cx, cy = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if math.hypot(u - cx, v - cy) > r:
        return (0, 0, 0, 0)
    d = math.hypot(u - 0.47, v - 0.47)
    ring = 0.20 <= d <= 0.31
    tail = abs((u - 0.6) - (v - 0.6)) < 0.07 and 0.55 < u < 0.82 and 0.55 < v < 0.82
    if ring or tail:
        return (255, 255, 255, 255)
    shade = int(150 + 80 * (1 - v))
    return (40, 90, shade, 255)


def pixels(size):
    return [[pixel(size, x, y) for x in range(size)] for y in range(size)]


def bmp_image(size):
    grid = pixels(size)
    xor = b"".join(
        b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in grid[y]) for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    and_mask = b""
    for y in reversed(range(size)):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(grid[y]):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def png_image(size):
    grid = pixels(size)
    raw = b"".join(b"\0" + b"".join(struct.pack("BBBB", *p) for p in row) for row in grid)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main(path):
    images = [png_image(s) if s >= 256 else bmp_image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for s, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Quorvale.ico")
