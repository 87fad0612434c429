#!/usr/bin/env python3
"""Draws the setup window's button bitmaps and mouse cursors and writes
them, with a resource script naming them all, into OUTDIR.

usage: make_pictures.py OUTDIR

Every picture is drawn here from lines, boxes, dots and polygons:
- the bitmaps: a raised button face with its icon, and the pressed face
  (sunken, the icon one pixel down and right); 24-bit BMP files, bottom-up
  rows padded to four bytes;
- the cursors: 32 x 32 black-and-white shapes with a white inside and a
  black outline, as .cur files with their hot spots.
"""
import os
import struct
import sys

W, H = 30, 24

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FACE = (192, 192, 192)
SHADOW = (128, 128, 128)
DARK = (64, 64, 64)
YELLOW = (255, 208, 32)
BLUE = (32, 64, 192)
RED = (200, 32, 32)
GREEN = (32, 160, 48)
AMBER = (176, 96, 24)
PAPER = (248, 248, 240)
GLASS = (150, 200, 230)


class Canvas:
    def __init__(self):
        self.px = [[FACE] * W for _ in range(H)]
        self.dx = self.dy = 0

    def dot(self, x, y, c):
        x += self.dx
        y += self.dy
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.dot(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.dot(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def box(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            self.hline(x0, x1, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def disc(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.dot(x, y, c)

    def ring(self, cx, cy, r, c):
        for y in range(cy - r - 1, cy + r + 2):
            for x in range(cx - r - 1, cx + r + 2):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if abs(d - r) < 0.6:
                    self.dot(x, y, c)


def button(canvas, pressed):
    """The face of a button: raised, or sunken when pressed."""
    p = canvas.px
    for x in range(W):
        p[0][x] = SHADOW if pressed else WHITE
        p[H - 1][x] = WHITE if pressed else BLACK
    for y in range(H):
        p[y][0] = SHADOW if pressed else WHITE
        p[y][W - 1] = WHITE if pressed else BLACK
    if pressed:
        for x in range(1, W - 1):
            p[1][x] = DARK
        for y in range(1, H - 1):
            p[y][1] = DARK
    else:
        for x in range(1, W - 1):
            p[H - 2][x] = SHADOW
        for y in range(1, H - 1):
            p[y][W - 2] = SHADOW
    if pressed:
        canvas.dx = canvas.dy = 1


# ---- Icons, drawn on a 30 x 24 face ---------------------------------------

def brightness(c):
    # A sun: half bright, half dark, for brightness and contrast.
    cx, cy = 14, 11
    for dx, dy in [(0, -7), (5, -5), (7, 0), (5, 5), (0, 7), (-5, 5), (-7, 0), (-5, -5)]:
        c.line(cx + dx * 6 // 7, cy + dy * 6 // 7, cx + dx, cy + dy, DARK)
    c.disc(cx, cy, 4, YELLOW)
    for y in range(cy - 4, cy + 5):
        for x in range(cx, cx + 5):
            if (x - cx) ** 2 + (y - cy) ** 2 <= 20:
                c.dot(x, y, DARK)
    c.ring(cx, cy, 4, BLACK)


def gamma(c):
    # Axes and a curve bending above the diagonal.
    c.vline(6, 3, 19, BLACK)
    c.hline(6, 24, 19, BLACK)
    c.line(7, 18, 23, 4, SHADOW)
    prev = None
    for i in range(0, 17):
        x = 7 + i
        y = 18 - round(14 * (i / 16) ** 0.45)
        if prev:
            c.line(prev[0], prev[1], x, y, BLUE)
        prev = (x, y)


def level(c):
    # A histogram over a bar with shadow, midtone and highlight markers.
    heights = [2, 3, 5, 8, 11, 12, 10, 9, 7, 8, 10, 7, 5, 3, 2, 1, 1]
    for i, h in enumerate(heights):
        c.vline(6 + i, 15 - h, 15, BLACK)
    c.hline(5, 23, 16, DARK)
    for x, col in [(6, BLACK), (14, SHADOW), (22, WHITE)]:
        c.hline(x - 2, x + 2, 20, col)
        c.hline(x - 1, x + 1, 19, col)
        c.dot(x, 18, col)
        c.dot(x - 3, 20, BLACK)
        c.dot(x + 3, 20, BLACK)


def magnifier(c):
    c.disc(12, 10, 6, GLASS)
    c.ring(12, 10, 6, BLACK)
    c.ring(12, 10, 5, DARK)
    for i in range(5):
        c.line(16 + i, 15 + i, 17 + i, 15 + i, DARK)
        c.line(16 + i, 16 + i, 17 + i, 16 + i, DARK)
    c.hline(9, 15, 10, BLACK)
    c.vline(12, 7, 13, BLACK)


def page(c):
    # A page lying on the glass: reflective scanning.
    c.box(5, 16, 25, 19, SHADOW)
    c.hline(4, 26, 20, BLACK)
    c.box(9, 3, 21, 15, PAPER)
    c.frame(9, 3, 21, 15, BLACK)
    for y in (6, 8, 10, 12):
        c.hline(11, 19, y, SHADOW)


def film(c, negative):
    # A strip of film with two frames; a negative shows its colours inverted.
    base = DARK if not negative else AMBER
    c.box(3, 5, 26, 18, base)
    for x in range(4, 26, 3):
        c.box(x, 6, x + 1, 7, WHITE if not negative else DARK)
        c.box(x, 16, x + 1, 17, WHITE if not negative else DARK)
    sky, ground = ((120, 180, 255), GREEN) if not negative else ((135, 75, 0), (223, 95, 207))
    for x0 in (5, 16):
        c.box(x0, 9, x0 + 8, 11, sky)
        c.box(x0, 12, x0 + 8, 14, ground)


def feeder(c, arrow):
    # A stack of pages in the feeder's tray and the way they travel.
    c.line(3, 19, 12, 12, DARK)
    c.line(4, 19, 13, 12, DARK)
    for i, y in enumerate((5, 7, 9)):
        c.box(12 - i, y, 24 - i, y + 7, PAPER)
        c.frame(12 - i, y, 24 - i, y + 7, BLACK)
    c.hline(10, 20, 21, BLACK)
    if arrow:
        c.hline(19, 26, 20, arrow)
        c.line(24, 18, 26, 20, arrow)
        c.line(24, 22, 26, 20, arrow)


def cross(c):
    # The feeder switched off.
    c.line(19, 16, 26, 22, RED)
    c.line(20, 16, 27, 22, RED)
    c.line(26, 16, 19, 22, RED)
    c.line(27, 16, 20, 22, RED)


PICTURES = {
    "IDD_1": (False, brightness),
    "IDD_2": (False, gamma),
    "IDD_3": (False, level),
    "IDD_4": (True, brightness),
    "IDD_5": (True, gamma),
    "IDD_6": (True, level),
    "IDD_9": (False, magnifier),
    "IDD_A": (True, magnifier),
    "IDD_B": (False, page),
    "IDD_C": (False, lambda c: film(c, False)),
    "IDD_D": (False, lambda c: film(c, True)),
    "IDD_E": (False, lambda c: feeder(c, GREEN)),
    "IDD_F": (True, lambda c: feeder(c, GREEN)),
    "IDD_G": (True, lambda c: (feeder(c, None), cross(c))),
}


def bmp_bytes(canvas):
    stride = (W * 3 + 3) & ~3
    rows = b""
    for y in range(H - 1, -1, -1):
        row = b"".join(bytes((b, g, r)) for (r, g, b) in canvas.px[y])
        rows += row + b"\0" * (stride - W * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    return header + info + rows


# ---- Cursors ------------------------------------------------------------------

CW = 32


def inside_polygon(poly, x, y):
    """Whether the point lies inside the polygon (even-odd rule)."""
    n, hit = len(poly), False
    for i in range(n):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            hit = not hit
    return hit


class Shape:
    """A cursor as a set of filled pixels; their border is drawn black."""

    def __init__(self):
        self.fill = [[False] * CW for _ in range(CW)]
        self.black = [[False] * CW for _ in range(CW)]

    def polygon(self, poly):
        for y in range(CW):
            for x in range(CW):
                if inside_polygon(poly, x + 0.5, y + 0.5):
                    self.fill[y][x] = True

    def disc(self, cx, cy, r):
        for y in range(CW):
            for x in range(CW):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.fill[y][x] = True

    def mark(self, x, y):
        """A black pixel inside the shape (a detail drawn on it)."""
        if 0 <= x < CW and 0 <= y < CW:
            self.fill[y][x] = True
            self.black[y][x] = True

    def line(self, x0, y0, x1, y1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.mark(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n))

    def pixels(self):
        """0 transparent, 1 white, 2 black."""
        out = [[0] * CW for _ in range(CW)]
        for y in range(CW):
            for x in range(CW):
                if not self.fill[y][x]:
                    continue
                edge = any(not (0 <= x + dx < CW and 0 <= y + dy < CW) or not self.fill[y + dy][x + dx]
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                out[y][x] = 2 if edge or self.black[y][x] else 1
        return out


def rotated(poly, turns, cx=16, cy=16):
    """The polygon turned by `turns` eighths of a circle about (cx, cy)."""
    import math
    a = turns * math.pi / 4
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in poly]


# An arrow pointing right, its tip at (28, 16).
ARROW = [(5, 13), (18, 13), (18, 7), (28, 16), (18, 25), (18, 19), (5, 19)]
# An open hand: palm and four fingers and a thumb.
HAND = [(9, 30), (9, 22), (4, 16), (4, 13), (6, 12), (10, 16), (10, 6), (12, 4), (14, 6),
        (14, 13), (14, 3), (16, 1), (18, 3), (18, 13), (18, 4), (20, 2), (22, 4), (22, 14),
        (22, 7), (24, 5), (26, 7), (26, 20), (22, 30)]


def arrow_cursor(turns):
    s = Shape()
    s.polygon(rotated(ARROW, turns))
    import math
    a = turns * math.pi / 4
    return s, (round(16 + 12 * math.cos(a)), round(16 + 12 * math.sin(a)))


def hand_cursor():
    s = Shape()
    s.polygon(HAND)
    for x0, y1 in ((14, 13), (18, 13), (22, 14)):
        s.line(x0, y1 - 6, x0, y1)
    return s, (16, 12)


def slider_cursor():
    # The paper line: a bar with arrows up and down.
    s = Shape()
    s.polygon([(16, 1), (23, 9), (18, 9), (18, 23), (23, 23), (16, 31), (9, 23), (14, 23), (14, 9), (9, 9)])
    s.polygon([(4, 14), (28, 14), (28, 18), (4, 18)])
    return s, (16, 16)


def snap_cursor():
    # Cross hairs with a corner of the region being drawn.
    s = Shape()
    for x0, y0, x1, y1 in ((15, 2, 17, 30), (2, 15, 30, 17)):
        s.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])
    s.polygon([(20, 20), (29, 20), (29, 22), (22, 22), (22, 29), (20, 29)])
    return s, (16, 16)


def magnifier_cursor(plus):
    s = Shape()
    s.disc(12, 12, 10)
    s.polygon([(17, 20), (20, 17), (30, 27), (27, 30)])
    for x in range(7, 18):
        s.mark(x, 12)
    if plus:
        for y in range(7, 18):
            s.mark(12, y)
    return s, (12, 12)


def stop_cursor():
    s = Shape()
    s.disc(16, 16, 14)
    import math
    for r in (10.5, 11.5):
        for i in range(160):
            a = i * 2 * math.pi / 160
            s.mark(round(16 + r * math.cos(a) - 0.5), round(16 + r * math.sin(a) - 0.5))
    s.line(8, 8, 24, 24)
    s.line(9, 8, 25, 24)
    s.line(8, 9, 24, 25)
    return s, (16, 16)


CURSORS = {
    "IDHAND0": slider_cursor,
    "IDHAND1": hand_cursor,
    "IDSNAP": snap_cursor,
    "IDRHAND": lambda: arrow_cursor(0),
    "IDRDHAND": lambda: arrow_cursor(1),
    "IDDHAND": lambda: arrow_cursor(2),
    "IDLDHAND": lambda: arrow_cursor(3),
    "IDLHAND": lambda: arrow_cursor(4),
    "IDLUHAND": lambda: arrow_cursor(5),
    "IDUHAND": lambda: arrow_cursor(6),
    "IDRUHAND": lambda: arrow_cursor(7),
    "IDZOOMIN": lambda: magnifier_cursor(True),
    "IDZOOMOUT": lambda: magnifier_cursor(False),
    "IDSTOP": stop_cursor,
}


def cur_bytes(shape, hotspot):
    px = shape.pixels()
    xor_rows, and_rows = b"", b""
    for y in range(CW - 1, -1, -1):
        xor_bits = and_bits = 0
        for x in range(CW):
            p = px[y][x]
            xor_bits = (xor_bits << 1) | (1 if p == 1 else 0)
            and_bits = (and_bits << 1) | (1 if p == 0 else 0)
        xor_rows += xor_bits.to_bytes(4, "big")
        and_rows += and_bits.to_bytes(4, "big")
    info = struct.pack("<IiiHHIIiiII", 40, CW, 2 * CW, 1, 1, 0, len(xor_rows) + len(and_rows), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + xor_rows + and_rows
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", CW, CW, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return header + entry + image


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    lines = ["// Bitmaps and cursors of the setup window, made by make_pictures.py.", ""]
    for name, (pressed, draw) in PICTURES.items():
        canvas = Canvas()
        button(canvas, pressed)
        draw(canvas)
        path = os.path.join(out, name + ".bmp")
        with open(path, "wb") as f:
            f.write(bmp_bytes(canvas))
        lines.append('%s BITMAP "%s"' % (name, path.replace("\\", "/")))
    for name, draw in CURSORS.items():
        shape, hotspot = draw()
        path = os.path.join(out, name + ".cur")
        with open(path, "wb") as f:
            f.write(cur_bytes(shape, hotspot))
        lines.append('%s CURSOR "%s"' % (name, path.replace("\\", "/")))
    with open(os.path.join(out, "pictures.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
