#!/usr/bin/env python3
"""Draws odrcfg's icons (128: main window, 130: About window) as 32x32 and 16x16 ICO files.

Run from this folder: python3 odrcfg_icons.py. The resulting .ico files are committed.
"""
import math
import struct


def blank(size):
    return [[None] * size for _ in range(size)]


def put(img, x, y, rgb):
    size = len(img)
    if 0 <= x < size and 0 <= y < size:
        img[y][x] = rgb


def disc(img, cx, cy, r, rgb):
    size = len(img)
    for y in range(size):
        for x in range(size):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                img[y][x] = rgb


def arc(img, cx, cy, r, width, a0, a1, rgb):
    size = len(img)
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - cx, cy - (y + 0.5)
            d = math.hypot(dx, dy)
            if abs(d - r) <= width / 2:
                a = math.degrees(math.atan2(dy, dx))
                if a0 <= a <= a1:
                    img[y][x] = rgb


def rect(img, x0, y0, x1, y1, rgb):
    for y in range(y0, y1):
        for x in range(x0, x1):
            put(img, x, y, rgb)


def antenna(size, wave_rgb, mast_rgb, base_rgb):
    img = blank(size)
    s = size / 32.0
    cx, cy = 16 * s, 11 * s
    for i, r in enumerate((5, 9, 13)):
        arc(img, cx, cy, r * s, max(1.0, 2.0 * s), 20, 70, wave_rgb)
        arc(img, cx, cy, r * s, max(1.0, 2.0 * s), 110, 160, wave_rgb)
    # Mast: a narrow triangle from the tip down to the base.
    for y in range(int(cy), int(28 * s)):
        half = (y - cy) / (28 * s - cy) * 5 * s
        for x in range(int(cx - half), int(cx + half) + 1):
            if abs(x + 0.5 - cx) <= max(half, 0.5):
                put(img, x, y, mast_rgb)
    disc(img, cx, cy, 2.5 * s, wave_rgb)
    rect(img, int(6 * s), int(28 * s), int(26 * s), int(31 * s), base_rgb)
    return img


def write_ico(path, images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        size = len(img)
        pixels = bytearray()
        for y in reversed(range(size)):
            for x in range(size):
                p = img[y][x]
                pixels += bytes((p[2], p[1], p[0], 255)) if p else bytes(4)
        row_bytes = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(size)):
            row = bytearray(row_bytes)
            for x in range(size):
                if img[y][x] is None:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                             len(pixels) + len(mask), 0, 0, 0, 0)
        blob = header + pixels + mask
        entries.append(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for e in entries:
            f.write(e)
        for b in blobs:
            f.write(b)


def main():
    blue, steel, dark = (0, 90, 200), (70, 70, 80), (30, 30, 30)
    write_ico("odrcfg_main.ico", [antenna(32, blue, steel, dark), antenna(16, blue, steel, dark)])
    green = (0, 150, 70)
    write_ico("odrcfg_about.ico",
              [antenna(32, green, steel, dark), antenna(16, green, steel, dark)])


if __name__ == "__main__":
    main()
