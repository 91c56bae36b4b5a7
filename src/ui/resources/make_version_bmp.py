#!/usr/bin/env python3
"""Draws the picture of the version dialog: a blue-grey gradient with a dial face on the left.

Run it from this folder to regenerate Version.bmp (24-bit, uncompressed).
"""
import math
import struct

WIDTH, HEIGHT = 360, 200


def pixel(x, y):
    t = y / (HEIGHT - 1)
    r, g, b = 40 + 60 * t, 70 + 70 * t, 120 + 90 * t
    # A dial face: a ring with twelve marks, centred on the left third.
    cx, cy, radius = 90, 100, 60
    d = math.hypot(x - cx, y - cy)
    if abs(d - radius) < 3:
        r, g, b = 230, 235, 245
    elif d < radius - 8 and d > radius - 18:
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 30
        if angle < 4 or angle > 26:
            r, g, b = 200, 210, 230
    elif d < 10:
        r, g, b = 230, 235, 245
    # A thin rule under the place where the version is written.
    if 180 <= x <= 340 and 150 <= y <= 151:
        r, g, b = 220, 225, 240
    return int(b), int(g), int(r)


def main():
    row_size = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray()
        for x in range(WIDTH):
            row += bytes(pixel(x, y))
        row += b"\0" * (row_size - len(row))
        image += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open("Version.bmp", "wb") as out:
        out.write(header + info + image)


if __name__ == "__main__":
    main()
