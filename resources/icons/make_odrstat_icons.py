#!/usr/bin/env python3
"""Draws odrstat's icons (a radio mast sending signal arcs) and writes them as .ico files.

Each file holds 16x16 and 32x32 images, in 32-bit colour with alpha and in the 16 VGA
colours for old displays. Standard library only; run it from any folder:
    python3 resources/icons/make_odrstat_icons.py
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Colours (r, g, b).
DARK = (48, 48, 48)
GREY = (128, 128, 128)
LIGHT = (192, 192, 192)
GREEN = (0, 200, 0)
DIM_GREEN = (0, 96, 0)
RED = (220, 0, 0)
BLUE = (0, 64, 200)
YELLOW = (255, 220, 0)
WHITE = (255, 255, 255)

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


class Shape:
    """A shape in a 32x32 design grid; `inside` tells whether a point is covered."""

    def __init__(self, inside, colour):
        self.inside = inside
        self.colour = colour


def line(ax, ay, bx, by, width, colour):
    return Shape(lambda x, y: segment_distance(x, y, ax, ay, bx, by) <= width / 2.0, colour)


def disc(cx, cy, r, colour):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) <= r, colour)


def rounded_box(x0, y0, x1, y1, r, colour):
    def inside(x, y):
        qx = max(x0 + r - x, 0.0, x - (x1 - r))
        qy = max(y0 + r - y, 0.0, y - (y1 - r))
        return math.hypot(qx, qy) <= r
    return Shape(inside, colour)


def arcs(cx, cy, radius, width, colour):
    """Two arcs of `radius` left and right of the mast top, 50 degrees each side."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - radius) > width / 2.0:
            return False
        angle = math.degrees(math.atan2(cy - y, abs(x - cx)))  # 0 = horizontal
        return -45.0 <= angle <= 45.0
    return Shape(inside, colour)


MAST_TOP = (16.0, 11.0)


def mast(colour, tip):
    mx, my = MAST_TOP
    return [
        line(mx, my + 1, 10.5, 29, 2.0, colour),
        line(mx, my + 1, 21.5, 29, 2.0, colour),
        line(12.5, 23, 19.5, 23, 1.6, colour),
        line(14.0, 17, 18.0, 17, 1.6, colour),
        disc(mx, my, 2.3, tip),
    ]


def waves(colours):
    mx, my = MAST_TOP
    return [arcs(mx, my, r, 2.2, c) for r, c in zip((5.5, 9.5, 13.5), colours)]


def design(name):
    if name == "sync_a":      # synchronised, first blink phase
        return waves([GREEN, GREEN, GREEN]) + mast(DARK, GREEN)
    if name == "sync_b":      # synchronised, second blink phase
        return waves([GREEN, DIM_GREEN, DIM_GREEN]) + mast(DARK, DIM_GREEN)
    if name == "out_of_range":
        return (waves([LIGHT, LIGHT, LIGHT]) + mast(GREY, RED) +
                [line(6, 4, 26, 22, 3.0, RED), line(26, 4, 6, 22, 3.0, RED)])
    if name == "tool":        # the configuration tool has the adapter
        return [disc(16, 16, 15.5, BLUE)] + waves([YELLOW, YELLOW, YELLOW]) + mast(YELLOW, WHITE)
    if name == "app":
        return ([rounded_box(1, 1, 31, 31, 5, (224, 240, 224))] + waves([GREEN, GREEN, GREEN]) +
                mast(DARK, RED))
    if name == "about":
        return ([rounded_box(1, 1, 31, 31, 5, (208, 224, 255))] + waves([BLUE, BLUE, BLUE]) +
                mast(DARK, GREEN))
    raise ValueError(name)


def render(shapes, size, samples=4):
    """RGBA rows, top row first, with `samples`^2 supersampling."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    hit = None
                    for shape in shapes:   # later shapes lie on top
                        if shape.inside(x, y):
                            hit = shape.colour
                    if hit is not None:
                        acc[0] += hit[0]
                        acc[1] += hit[1]
                        acc[2] += hit[2]
                        acc[3] += 1
            n = samples * samples
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]),
                            int(255 * acc[3] / n)))
        rows.append(row)
    return rows


def and_mask(rows, size):
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def bitmap_header(size, bpp, image_bytes, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, image_bytes, 0, 0,
                       colours, 0)


def image_32(rows, size):
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask(rows, size)
    return bitmap_header(size, 32, len(pixels) + len(mask)) + bytes(pixels) + mask


def nearest_vga(r, g, b):
    return min(range(16), key=lambda i: (VGA[i][0] - r) ** 2 + (VGA[i][1] - g) ** 2 +
               (VGA[i][2] - b) ** 2)


def image_4(rows, size):
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    stride = ((size * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line_bytes = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            index = nearest_vga(r, g, b) if a >= 128 else 0
            line_bytes[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += line_bytes
    mask = and_mask(rows, size)
    return (bitmap_header(size, 4, len(pixels) + len(mask), 16) + palette + bytes(pixels) +
            mask)


def write_ico(path, name):
    images = []
    for size in (32, 16):
        rows = render(design(name), size)
        images.append((size, 4, image_4(rows, size)))
        images.append((size, 32, image_32(rows, size)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


ICONS = {
    "odrstat_app.ico": "app",                 # 128
    "odrstat_sync_a.ico": "sync_a",           # 129
    "odrstat_out_of_range.ico": "out_of_range",  # 130
    "odrstat_tool.ico": "tool",               # 133
    "odrstat_about.ico": "about",             # 136
    "odrstat_sync_b.ico": "sync_b",           # 137
}

if __name__ == "__main__":
    for file_name, design_name in ICONS.items():
        write_ico(os.path.join(HERE, file_name), design_name)
        print("wrote", file_name)
