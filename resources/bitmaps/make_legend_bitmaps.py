#!/usr/bin/env python3
"""Writes the Snoop window's legend squares as 24-bit .bmp files: green for the peak
bars, navy for the average bars. Standard library only; run it from any folder:
    python3 resources/bitmaps/make_legend_bitmaps.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 12


def solid_bmp(rgb):
    row = bytes((rgb[2], rgb[1], rgb[0])) * SIZE
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * SIZE
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + pixels


for name, rgb in (("snoop_peak.bmp", (0, 255, 0)), ("snoop_average.bmp", (0, 0, 128))):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(solid_bmp(rgb))
