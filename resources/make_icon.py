#!/usr/bin/env python3
"""Draws valdrune.ico: one 64 x 64 image, 32 bits per pixel with alpha, showing two red
brush strokes, one near the upper left corner and one near the lower right.
Run it again only to change the artwork; the .ico is kept in the repository."""
import math
import struct
import sys

SIZE = 64


def stroke(points, width):
    """Coverage of a brush stroke through `points` that thins toward its ends."""
    def coverage(x, y):
        best = 0.0
        for i in range(len(points) - 1):
            (ax, ay), (bx, by) = points[i], points[i + 1]
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            along = (i + t) / (len(points) - 1)
            radius = width * (0.45 + 0.55 * math.sin(math.pi * min(1.0, 0.15 + along * 0.85)))
            distance = math.hypot(x - (ax + t * dx), y - (ay + t * dy))
            best = max(best, max(0.0, min(1.0, radius - distance + 0.5)))
        return best
    return coverage


# Upper left: a glyph of three strokes; lower right: a glyph of two crossing sweeps.
strokes = [
    stroke([(6, 10), (18, 8), (28, 9)], 2.6),
    stroke([(17, 4), (16, 16), (12, 27)], 2.4),
    stroke([(17, 15), (24, 22), (29, 28)], 2.2),
    stroke([(38, 36), (48, 46), (58, 58)], 2.8),
    stroke([(58, 38), (50, 47), (37, 59)], 2.5),
]

pixels = bytearray()
for row in range(SIZE - 1, -1, -1):  # bottom-up, as the icon format stores rows
    for column in range(SIZE):
        alpha = max(s(column + 0.5, row + 0.5) for s in strokes)
        pixels += bytes((0x10, 0x10, 0xD0, round(alpha * 255)))  # blue, green, red, alpha
mask = bytes(SIZE * SIZE // 8)  # the alpha channel decides; the AND mask stays clear

header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask),
                     0, 0, 0, 0)
image = header + pixels + mask
icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32,
                                                   len(image), 6 + 16) + image
with open(sys.argv[1] if len(sys.argv) > 1 else "valdrune.ico", "wb") as out:
    out.write(icon)
