#!/usr/bin/env python3
"""Writes vantrel.ico: one 99 x 128 image, 32 bits per pixel (BGRA with alpha), showing a
padlock. Run from anywhere: python3 resources/make_icon.py [output]."""

import math
import os
import struct
import sys

WIDTH, HEIGHT = 99, 128
SAMPLES = 4  # supersampling per axis, for smooth edges

CX = WIDTH / 2.0
BODY = (8.0, 58.0, 91.0, 122.0)  # left, top, right, bottom
BODY_RADIUS = 11.0
SHACKLE_CENTRE_Y = 44.0
SHACKLE_OUTER, SHACKLE_INNER = 31.0, 19.0
KEYHOLE_CENTRE_Y, KEYHOLE_RADIUS = 83.0, 8.5


def inside_rounded_rect(x, y, rect, radius):
    left, top, right, bottom = rect
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_shackle(x, y):
    dx, dy = x - CX, y - SHACKLE_CENTRE_Y
    if y <= SHACKLE_CENTRE_Y:
        return SHACKLE_INNER ** 2 <= dx * dx + dy * dy <= SHACKLE_OUTER ** 2
    # The two legs run straight down into the body.
    return SHACKLE_INNER <= abs(dx) <= SHACKLE_OUTER and y <= BODY[1] + 4


def inside_keyhole(x, y):
    if (x - CX) ** 2 + (y - KEYHOLE_CENTRE_Y) ** 2 <= KEYHOLE_RADIUS ** 2:
        return True
    # A slot widening downwards below the round part.
    if KEYHOLE_CENTRE_Y <= y <= 106:
        half = 3.5 + (y - KEYHOLE_CENTRE_Y) * 0.12
        return abs(x - CX) <= half
    return False


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def colour_at(x, y):
    """RGBA of one sample point."""
    if inside_rounded_rect(x, y, BODY, BODY_RADIUS):
        if inside_keyhole(x, y):
            return (58, 40, 8, 255)
        inner = (BODY[0] + 3, BODY[1] + 3, BODY[2] - 3, BODY[3] - 3)
        if not inside_rounded_rect(x, y, inner, BODY_RADIUS - 3):
            return (150, 96, 10, 255)  # rim
        t = (y - BODY[1]) / (BODY[3] - BODY[1])
        return mix((250, 200, 70), (214, 140, 16), t) + (255,)
    if inside_shackle(x, y):
        t = (x - (CX - SHACKLE_OUTER)) / (2 * SHACKLE_OUTER)
        return mix((190, 198, 208), (96, 104, 114), t) + (255,)
    return (0, 0, 0, 0)


def render():
    """Rows top-down of (r, g, b, a), alpha-weighted averages of the samples."""
    rows = []
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            total = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    total[0] += r * a
                    total[1] += g * a
                    total[2] += b * a
                    total[3] += a
            alpha = total[3] / (SAMPLES * SAMPLES)
            if total[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / total[3]) for c in total[:3]) + (round(alpha),))
        rows.append(row)
    return rows


def ico_bytes(rows):
    # The image: BITMAPINFOHEADER (height counts the XOR and AND bitmaps), BGRA rows
    # bottom-up, then the 1-bit AND mask (rows padded to 32 bits; set where transparent).
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = (WIDTH + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    image = header + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", WIDTH, HEIGHT, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "vantrel.ico")
    with open(output, "wb") as f:
        f.write(ico_bytes(render()))


if __name__ == "__main__":
    main()
