#!/usr/bin/env python3
"""Writes hand.cur: the 32 x 32 monochrome open-hand cursor shown while a press
on the view would drag the window. Run from this folder; the .cur is committed
so that the build needs no Python.

The hand is made of simple shapes (four fingers, a palm, a thumb); its outline
is every shape pixel that touches the outside, plus the lines between fingers.
"""
import struct

SIZE = 32
HOTSPOT = (17, 18)

# Fingers as (left, right, top); they share their side columns with the neighbour.
FINGERS = [(9, 13, 5), (13, 17, 3), (17, 21, 4), (21, 25, 7)]
PALM = (9, 25, 14, 28)  # left, right, top, bottom
THUMB = ((4, 13), (10, 22), 2.4)  # segment from, to, half width


def in_thumb(x, y):
    (ax, ay), (bx, by), r = THUMB
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= r * r


def in_finger(x, y, f):
    left, right, top = f
    if not (left <= x <= right and top <= y <= PALM[2] + 1):
        return False
    return not (y == top and x in (left, right))  # rounded tip


def in_palm(x, y):
    left, right, top, bottom = PALM
    if not (left <= x <= right and top <= y <= bottom):
        return False
    return not (y == bottom and x in (left, right))


def inside(x, y):
    if not (0 <= x < SIZE and 0 <= y < SIZE):
        return False
    return in_palm(x, y) or in_thumb(x, y) or any(in_finger(x, y, f) for f in FINGERS)


def pixel(x, y):
    """'#' black, '.' white, ' ' transparent."""
    if not inside(x, y):
        return " "
    if any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
        return "#"
    for left, right, top in FINGERS[1:]:
        if x == left and top <= y <= PALM[2] + 1:
            return "#"
    return "."


def rows():
    return ["".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE)]


def mask_row(bits):
    value = 0
    for b in bits:
        value = (value << 1) | b
    return struct.pack(">I", value)


def cursor_bytes(art):
    xor_rows, and_rows = [], []
    for line in reversed(art):  # bottom-up rows
        xor_rows.append(mask_row([1 if c == "." else 0 for c in line]))
        and_rows.append(mask_row([1 if c == " " else 0 for c in line]))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    art = rows()
    for line in art:
        print(line.rstrip())
    with open("hand.cur", "wb") as f:
        f.write(cursor_bytes(art))
