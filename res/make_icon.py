#!/usr/bin/env python3
"""Draws Quorvale.ico: a white "Q" on a blue rounded square, at 16, 32 and 48 pixels (32-bit BMP images)."""
import math
import struct
import sys


def pixel(size, x, y):
    # Coordinates in 0..1, sampled at the pixel centre.
    u, v = (x + 0.5) / size, (y + 0.5) / size
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


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in (pixel(size, x, y) for x in range(size))))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Quorvale.ico")
