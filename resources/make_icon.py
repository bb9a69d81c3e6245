#!/usr/bin/env python3
"""Writes Ocumira.ico: a magnifying lens (a pale blue glass in a dark ring, with
a handle to the lower right) in the sizes Windows asks for, 16 to 256 pixels.
Run from this folder; the .ico is committed so that the build needs no Python.

Each size is drawn afresh from the shapes, with 4 x 4 samples per pixel for
smooth edges; the ring and the handle never get thinner than a pixel and a half,
so the small sizes still read as a lens. The 256 entry is PNG, the others are
32-bit BMP with alpha, as Explorer expects. The 256 PNG is also written alone as
ocumira.png, the icon of the Linux desktop entry.
"""
import math
import os
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
SAMPLES = 4

CENTRE = (0.40, 0.40)
RADIUS = 0.31  # outer edge of the ring
RING = 0.075
HANDLE = ((0.63, 0.63), (0.89, 0.89))
HANDLE_HALF_WIDTH = 0.075

RING_COLOUR = (0x1E, 0x35, 0x5A)
GLASS_TOP = (0xD8, 0xF0, 0xFF)
GLASS_BOTTOM = (0x6F, 0xB6, 0xE8)
HIGHLIGHT = (0xFF, 0xFF, 0xFF)
HANDLE_COLOUR = (0x3A, 0x2A, 0x1E)


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def sample(x, y, size):
    """Colour (r, g, b, a) of one sample at unit coordinates x, y."""
    pixel = 1.0 / size
    ring = max(RING, 1.5 * pixel)
    half_width = max(HANDLE_HALF_WIDTH, 1.0 * pixel)
    d = math.hypot(x - CENTRE[0], y - CENTRE[1])
    if d <= RADIUS - ring:
        t = (y - (CENTRE[1] - RADIUS)) / (2 * RADIUS)
        colour = tuple(round(top + (bottom - top) * t) for top, bottom in zip(GLASS_TOP, GLASS_BOTTOM))
        # A glint on the upper left of the glass, where the light falls.
        angle = math.atan2(y - CENTRE[1], x - CENTRE[0])
        inner = RADIUS - ring
        if size >= 24 and -2.7 < angle < -1.7 and inner * 0.55 < d < inner * 0.78:
            colour = HIGHLIGHT
        return colour + (255,)
    if d <= RADIUS:
        return RING_COLOUR + (255,)
    if segment_distance(x, y, *HANDLE) <= half_width:
        return HANDLE_COLOUR + (255,)
    return (0, 0, 0, 0)


def render(size):
    """Rows top-down of (r, g, b, a), alpha-weighted averages of the samples."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    cr, cg, cb, ca = sample(x, y, size)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            n = SAMPLES * SAMPLES
            row.append((r // a, g // a, b // a, a // n) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def bmp(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    # The mask is for systems that ignore alpha: set where the picture is clear.
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "Ocumira.ico"
    images = [(size, png(render(size)) if size >= 256 else bmp(render(size))) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    with open(out, "wb") as f:
        f.write(directory + data)
    # The same 256-pixel picture for the Linux desktop entry, which takes PNG.
    with open(os.path.join(os.path.dirname(out), "ocumira.png"), "wb") as f:
        f.write(images[-1][1])


if __name__ == "__main__":
    main()
