#!/usr/bin/env python3
"""Draws the floor plan of scenarios/office.ini and writes it as scenarios/office.bmp
(800 x 500 pixels, 8-bit palette, uncompressed, rows bottom-up).

The walls, masters and nodes come from office.ini, so the plan shows what the simulated
adapter hears: concrete walls (loss_db 8 and more) thick and dark, drywall thin and blue
grey, each master a red disc with its name, each node a blue square on a desk. The rooms'
floors, names, doors and furniture are drawn here. Integer and float arithmetic only (no
trigonometry), so the output is the same byte for byte everywhere. Standard library only;
run it from any folder after changing the walls or positions in office.ini:
    python3 scenarios/make_office_plan.py
"""
import configparser
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
INI = os.path.join(HERE, "office.ini")
OUT = os.path.join(HERE, "office.bmp")
WIDTH_PX = 800
HEIGHT_PX = 500
CONCRETE_DB = 8  # walls losing this much and more are drawn as concrete

# Palette (r, g, b); the index is a colour's number in the bitmap.
PALETTE = [
    (250, 250, 246),  # 0 room floor
    (228, 228, 224),  # 1 corridor
    (204, 204, 204),  # 2 lift core
    (236, 230, 216),  # 3 archive
    (64, 64, 64),  # 4 concrete wall
    (128, 136, 168),  # 5 drywall
    (176, 144, 104),  # 6 door
    (222, 206, 172),  # 7 desk
    (40, 88, 200),  # 8 node
    (200, 32, 32),  # 9 master
    (80, 80, 80),  # 10 text
    (176, 176, 176),  # 11 hatching
    (150, 130, 100),  # 12 shelving
]
ROOM, CORRIDOR, CORE, ARCHIVE, CONCRETE, DRYWALL, DOOR, DESK, NODE, MASTER, TEXT, HATCH, SHELF = (
    range(13))

# 5 x 7 glyphs of the letters the labels use.
GLYPHS = {
    "A": "01110 10001 10001 11111 10001 10001 10001",
    "C": "01110 10001 10000 10000 10000 10001 01110",
    "E": "11111 10000 10000 11110 10000 10000 11111",
    "F": "11111 10000 10000 11110 10000 10000 10000",
    "G": "01110 10001 10000 10111 10001 10001 01111",
    "H": "10001 10001 10001 11111 10001 10001 10001",
    "I": "01110 00100 00100 00100 00100 00100 01110",
    "L": "10000 10000 10000 10000 10000 10000 11111",
    "M": "10001 11011 10101 10101 10001 10001 10001",
    "N": "10001 10001 11001 10101 10011 10001 10001",
    "O": "01110 10001 10001 10001 10001 10001 01110",
    "P": "11110 10001 10001 11110 10000 10000 10000",
    "R": "11110 10001 10001 11110 10100 10010 10001",
    "S": "01111 10000 10000 01110 00001 00001 11110",
    "T": "11111 00100 00100 00100 00100 00100 00100",
    "U": "10001 10001 10001 10001 10001 10001 01110",
    "V": "10001 10001 10001 10001 10001 01010 00100",
    "W": "10001 10001 10001 10101 10101 10101 01010",
    "Y": "10001 10001 01010 00100 00100 00100 00100",
    "-": "00000 00000 00000 11111 00000 00000 00000",
    " ": "00000 00000 00000 00000 00000 00000 00000",
}

# Room names: (text, centre x, top y) in metres.
LABELS = [
    ("SALES", 5, 0.9),
    ("ENGINEERING", 20, 0.9),
    ("MEETING", 35, 0.9),
    ("RECEPTION", 5, 11.8),
    ("COPY ROOM", 5, 15.3),
    ("SUPPORT", 15, 15.3),
    ("FINANCE", 24, 15.3),
    ("LIFTS", 31, 15.3),
    ("ARCHIVE", 37, 15.3),
]

# Doors: hinge (x, y), the closed leaf's direction along the wall and the open leaf's
# direction into the room, in metres and unit steps.
DOOR_WIDTH_M = 0.9
DOORS = [
    ((0, 12), (0, 1), (1, 0)),  # the entrance
    ((8, 11), (-1, 0), (0, -1)),  # sales
    ((13, 11), (-1, 0), (0, -1)),  # engineering
    ((27, 11), (-1, 0), (0, -1)),
    ((33, 11), (-1, 0), (0, -1)),  # meeting
    ((8, 14), (-1, 0), (0, 1)),  # copy room
    ((13, 14), (-1, 0), (0, 1)),  # support
    ((22, 14), (-1, 0), (0, 1)),  # finance
    ((36, 14), (-1, 0), (0, 1)),  # archive
]


def read_site():
    ini = configparser.ConfigParser(inline_comment_prefixes=(";",), comment_prefixes=(";",))
    ini.optionxform = str
    ini.read(INI)

    def point(text):
        x, y = text.split(",")
        return float(x), float(y)

    width_m = float(ini["site"]["width_m"])
    walls, masters, nodes = [], [], []
    for name in ini.sections():
        section = ini[name]
        if name.startswith("wall."):
            walls.append((point(section["from"]), point(section["to"]),
                          float(section["loss_db"])))
        elif name.startswith("master.") and "position" in section:
            masters.append((point(section["position"]), section.get("name", name[7:])))
        elif name.startswith("node.") and "position" in section:
            nodes.append(point(section["position"]))
    return width_m, walls, masters, nodes


class Plan:
    def __init__(self, width_m):
        self.scale = WIDTH_PX / width_m  # pixels a metre
        self.pixels = bytearray(WIDTH_PX * HEIGHT_PX)

    def px(self, metres):
        return metres * self.scale

    def paint(self, colour, left, top, right, bottom, inside):
        """Paints the pixels of the box (pixels, clipped) whose centres are inside."""
        for j in range(max(0, int(top)), min(HEIGHT_PX, int(bottom) + 1)):
            for i in range(max(0, int(left)), min(WIDTH_PX, int(right) + 1)):
                if inside(i + 0.5, j + 0.5):
                    self.pixels[j * WIDTH_PX + i] = colour

    def rect(self, colour, x0, y0, x1, y1):
        l, t, r, b = self.px(x0), self.px(y0), self.px(x1), self.px(y1)
        self.paint(colour, l, t, r, b, lambda x, y: l <= x <= r and t <= y <= b)

    def segment(self, colour, a, b, width_px):
        ax, ay, bx, by = self.px(a[0]), self.px(a[1]), self.px(b[0]), self.px(b[1])
        half = width_px / 2.0
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy

        def near(x, y):
            t = ((x - ax) * dx + (y - ay) * dy) / length2 if length2 else 0.0
            t = max(0.0, min(1.0, t))
            ex, ey = x - (ax + t * dx), y - (ay + t * dy)
            return ex * ex + ey * ey <= half * half

        self.paint(colour, min(ax, bx) - half, min(ay, by) - half, max(ax, bx) + half,
                   max(ay, by) + half, near)

    def disc(self, colour, centre, inner_px, outer_px):
        cx, cy = self.px(centre[0]), self.px(centre[1])

        def ring(x, y):
            d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy)
            return inner_px * inner_px <= d2 <= outer_px * outer_px

        self.paint(colour, cx - outer_px, cy - outer_px, cx + outer_px, cy + outer_px, ring)

    def door(self, hinge, closed, opened):
        hx, hy = self.px(hinge[0]), self.px(hinge[1])
        r = self.px(DOOR_WIDTH_M)
        qx, qy = closed[0] + opened[0], closed[1] + opened[1]

        def arc(x, y):
            d2 = (x - hx) * (x - hx) + (y - hy) * (y - hy)
            return (r - 0.7) ** 2 <= d2 <= (r + 0.7) ** 2 and (x - hx) * qx >= 0 and \
                (y - hy) * qy >= 0

        self.paint(DOOR, hx - r - 1, hy - r - 1, hx + r + 1, hy + r + 1, arc)
        tip = (hinge[0] + opened[0] * DOOR_WIDTH_M, hinge[1] + opened[1] * DOOR_WIDTH_M)
        self.segment(DOOR, hinge, tip, 2)

    def text(self, colour, words, centre_x_px, top_px, size):
        left = int(centre_x_px - (len(words) * 6 - 1) * size / 2)
        for n, letter in enumerate(words):
            rows = GLYPHS[letter].split()
            for row, bits in enumerate(rows):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        x = left + (n * 6 + col) * size
                        y = int(top_px) + row * size
                        self.paint(colour, x, y, x + size - 1, y + size - 1, lambda *_: True)

    def bmp(self):
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
        palette += b"\0" * (4 * 256 - len(palette))
        rows = b"".join(
            bytes(self.pixels[j * WIDTH_PX:(j + 1) * WIDTH_PX]) for j in reversed(range(HEIGHT_PX)))
        header = struct.pack("<IiiHHIIiiII", 40, WIDTH_PX, HEIGHT_PX, 1, 8, 0, len(rows), 2835,
                             2835, 256, 0)
        offset = 14 + len(header) + len(palette)
        return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + \
            palette + rows


def main():
    width_m, walls, masters, nodes = read_site()
    plan = Plan(width_m)
    height_m = width_m * HEIGHT_PX / WIDTH_PX

    # Floors.
    plan.rect(CORRIDOR, 0, 11, width_m, 14)
    plan.rect(CORE, 28, 14, 34, height_m)
    plan.paint(HATCH, plan.px(28), plan.px(14), plan.px(34), HEIGHT_PX,
               lambda x, y: int(x + y) % 14 == 0)
    plan.rect(ARCHIVE, 34, 14, width_m, height_m)
    for x in (35.2, 37.0, 38.8):
        plan.rect(SHELF, x, 17, x + 0.5, 24)

    # Desks under the nodes.
    for x, y in nodes:
        plan.rect(DESK, x - 0.8, y - 0.45, x + 0.8, y + 0.45)
    # The meeting table.
    plan.rect(DESK, 32.5, 6.5, 37.5, 8.5)

    for hinge, closed, opened in DOORS:
        plan.door(hinge, closed, opened)

    for a, b, loss in sorted(walls, key=lambda w: w[2] >= CONCRETE_DB):
        plan.segment(CONCRETE if loss >= CONCRETE_DB else DRYWALL, a, b,
                     7 if loss >= CONCRETE_DB else 3)

    for x, y in nodes:
        plan.rect(NODE, x - 0.15, y - 0.15, x + 0.15, y + 0.15)
    for centre, name in masters:
        plan.disc(MASTER, centre, 0, 5)
        plan.disc(MASTER, centre, 8, 9.5)
        plan.text(MASTER, name, plan.px(centre[0]), plan.px(centre[1]) + 13, 1)

    for words, x, y in LABELS:
        plan.text(TEXT, words, plan.px(x), plan.px(y), 2)

    with open(OUT, "wb") as f:
        f.write(plan.bmp())


main()
