#!/usr/bin/env python3
"""Writes the Site Survey's "Dl" button images as 16-colour .bmp files, 26 x 24 pixels:
DLU (up) two green antenna masts joined by a green zigzag on a raised grey face, DLD
(pressed) the same figure in magenta and purple on a darker sunken face. Standard library
only; run it from any folder:
    python3 resources/bitmaps/make_dl_bitmaps.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 26, 24
# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DGREEN, PURPLE, LGREY, DGREY, GREEN, MAGENTA, WHITE = 0, 2, 5, 7, 8, 10, 13, 15


def figure(px, mast, wave):
    # Two masts with a cross bar near the top, on small feet.
    for x in (6, 19):
        for y in range(5, 19):
            px[y][x] = mast
        for dx in (-1, 1):
            px[6][x + dx] = mast
            px[18][x + dx] = mast
        px[4][x] = wave
    # The zigzag between the mast tops.
    y, step = 8, 1
    for x in range(8, 18):
        px[y][x] = wave
        px[y + 1][x] = wave
        y += step
        if y in (8, 12):
            step = -step


def image(face, light, dark, mast, wave, offset):
    px = [[face] * W for _ in range(H)]
    for x in range(W):
        px[0][x] = light
        px[H - 1][x] = dark
    for y in range(H):
        px[y][0] = light
        px[y][W - 1] = dark
    for x in range(1, W - 1):
        px[H - 2][x] = dark if light == WHITE else face
    fig = [[None] * W for _ in range(H)]
    figure(fig, mast, wave)
    for y in range(H):
        for x in range(W):
            if fig[y][x] is not None and 0 < y + offset < H - 2 and 0 < x + offset < W - 1:
                px[y + offset][x + offset] = fig[y][x]
    return px


def bmp(px):
    rows = b""
    for row in reversed(px):  # bottom-up
        data = bytes((row[i] << 4) | row[i + 1] for i in range(0, W, 2))
        rows += data + b"\0" * ((4 - len(data) % 4) % 4)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + palette + rows


for name, args in (("dl_up.bmp", (LGREY, WHITE, DGREY, DGREEN, GREEN, 0)),
                   ("dl_down.bmp", (DGREY, BLACK, LGREY, PURPLE, MAGENTA, 1))):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(bmp(image(*args)))
