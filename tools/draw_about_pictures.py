#!/usr/bin/env python3
"""Draws the About dialog's pictures as XPM files (no third-party modules).

    tools/draw_about_pictures.py [output folder]   (default: controls/resources)

web.xpm and mail.xpm are 40 x 32 in at most 16 colours, logo.xpm is 134 x 137
in at most 256 colours, corvane32.xpm is the 32 x 32 program icon. The output
is committed; run this again only to change a picture.
"""

import math
import os
import sys

SUPERSAMPLE = 4


class Canvas:
    """An RGBA picture drawn with shapes sampled SUPERSAMPLE^2 times a pixel."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def paint(self, inside, colour):
        """Blends colour (a tuple, or a function of x, y) where inside(x, y) holds."""
        n = SUPERSAMPLE
        for py in range(self.height):
            for px in range(self.width):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(px + (sx + 0.5) / n, py + (sy + 0.5) / n):
                            hits += 1
                if hits == 0:
                    continue
                c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                cover = hits / (n * n)
                under = self.pixels[py][px]
                if under is None:
                    # Coverage against nothing: opaque once mostly covered.
                    if cover >= 0.5:
                        self.pixels[py][px] = c
                else:
                    self.pixels[py][px] = tuple(round(u + (v - u) * cover) for u, v in zip(under, c))


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def ring(cx, cy, r, width):
    return lambda x, y: (r - width / 2) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= (r + width / 2) ** 2


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0 if length2 == 0 else max(0, min(1, ((x - x0) * dx + (y - y0) * dy) / length2))
        qx, qy = x0 + t * dx - x, y0 + t * dy - y
        return qx * qx + qy * qy <= (width / 2) ** 2
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def quantise(canvas, count):
    """Reduces the picture to at most count colours (popularity, then k-means)."""
    seen = {}
    for row in canvas.pixels:
        for p in row:
            if p is not None:
                key = tuple(v >> 3 for v in p)
                seen.setdefault(key, []).append(p)
    buckets = sorted(seen.values(), key=len, reverse=True)
    centres = [tuple(sum(c) / len(b) for c in zip(*b)) for b in buckets[:count]]

    def nearest(p):
        return min(range(len(centres)), key=lambda i: sum((a - b) ** 2 for a, b in zip(p, centres[i])))

    colours = [p for row in canvas.pixels for p in row if p is not None]
    for _ in range(4):
        sums = [[0, 0, 0, 0] for _ in centres]
        for p in colours:
            s = sums[nearest(p)]
            s[0] += p[0]; s[1] += p[1]; s[2] += p[2]; s[3] += 1
        centres = [tuple(s[i] / s[3] for i in range(3)) if s[3] else c for s, c in zip(sums, centres)]
    palette = [tuple(round(v) for v in c) for c in centres]
    mapping = {}
    indexed = []
    for row in canvas.pixels:
        out = []
        for p in row:
            if p is None:
                out.append(None)
            else:
                if p not in mapping:
                    mapping[p] = nearest(p)
                out.append(mapping[p])
        indexed.append(out)
    used = sorted({i for row in indexed for i in row if i is not None})
    renumber = {old: new for new, old in enumerate(used)}
    return [palette[i] for i in used], [[None if i is None else renumber[i] for i in row] for row in indexed]


def write_xpm(path, name, canvas, colours):
    palette, indexed = quantise(canvas, colours)
    symbols = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789#$%&*+-=@"
    transparent = any(i is None for row in indexed for i in row)
    slots = len(palette) + (1 if transparent else 0)
    per_pixel = 1 if slots <= len(symbols) - 1 else 2

    def code(i):
        if per_pixel == 1:
            return symbols[i]
        return symbols[i // len(symbols)] + symbols[i % len(symbols)]

    blank = " " * per_pixel
    lines = [f'"{canvas.width} {canvas.height} {slots} {per_pixel}",']
    if transparent:
        lines.append(f'"{blank} c None",')
    for i, (r, g, b) in enumerate(palette):
        lines.append(f'"{code(i)} c #{r:02X}{g:02X}{b:02X}",')
    for y, row in enumerate(indexed):
        text = "".join(blank if i is None else code(i) for i in row)
        lines.append(f'"{text}"' + ("," if y < len(indexed) - 1 else ""))
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("/* XPM */\n")
        f.write(f"static const char *const {name}[] = {{\n")
        f.write("\n".join(lines))
        f.write("\n};\n")


def draw_web():
    c = Canvas(40, 32)
    cx, cy, r = 20, 16, 14
    globe = circle(cx, cy, r)
    c.paint(globe, lambda x, y: (40, 100 + int(60 * (1 - (y - 2) / 28)), 200))
    land = [ellipse(14, 11, 6, 4), ellipse(12, 17, 3, 5), ellipse(25, 19, 5, 6), ellipse(27, 9, 4, 2.5)]
    for shape in land:
        c.paint(both(globe, shape), (40, 150, 60))
    grid = (20, 50, 120)
    for rx in (5, 10):
        c.paint(both(globe, lambda x, y, rx=rx: abs(((x - cx) / rx) ** 2 + ((y - cy) / r) ** 2 - 1) < 0.12), grid)
    c.paint(both(globe, rect(cx - 0.5, 0, cx + 0.5, 32)), grid)
    for yy in (9, 16, 23):
        c.paint(both(globe, rect(0, yy - 0.5, 40, yy + 0.5)), grid)
    c.paint(ring(cx, cy, r, 1.2), (10, 20, 70))
    c.paint(ellipse(15, 9, 3, 2), (190, 220, 255))
    return c


def draw_mail():
    c = Canvas(40, 32)
    body = rect(4, 7, 36, 27)
    c.paint(body, (250, 250, 240))
    c.paint(polygon([(4, 27), (20, 16), (36, 27)]), (225, 225, 210))
    outline = (60, 60, 60)
    for a in ((4, 7, 36, 7), (36, 7, 36, 27), (36, 27, 4, 27), (4, 27, 4, 7)):
        c.paint(segment(*a, 1.2), outline)
    c.paint(segment(4, 7, 20, 19, 1.2), outline)
    c.paint(segment(36, 7, 20, 19, 1.2), outline)
    c.paint(rect(28, 9, 34, 15), (200, 30, 30))
    c.paint(rect(29, 10, 33, 14), (240, 200, 60))
    return c


FONT = {
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
}


def draw_text(canvas, text, x, y, scale, colour):
    for ch in text:
        rows = FONT[ch]
        for ry, row in enumerate(rows):
            for rx, bit in enumerate(row):
                if bit == "#":
                    canvas.paint(rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale), colour)
        x += 6 * scale


def draw_logo():
    c = Canvas(134, 137, (244, 241, 232))
    cx, cy, r = 67, 56, 50

    def sky(x, y):
        d = min(1, math.hypot(x - cx, y - cy + 18) / (r + 18))
        return (int(235 - 190 * d), int(245 - 150 * d), int(255 - 80 * d))

    c.paint(circle(cx, cy, r), sky)
    c.paint(ring(cx, cy, r, 3), (30, 50, 110))
    bird = [(67, 32), (71, 36), (75, 46), (95, 40), (112, 38), (118, 42), (108, 48), (96, 54), (80, 58),
            (74, 66), (78, 80), (67, 78), (56, 80), (60, 66), (54, 58), (38, 54), (26, 48), (16, 42),
            (22, 38), (39, 40), (59, 46), (63, 36)]
    c.paint(polygon(bird), lambda x, y: (int(150 - abs(x - 67) * 0.8), int(70 - abs(x - 67) * 0.4), 30))
    c.paint(polygon([(59, 46), (75, 46), (80, 58), (74, 66), (60, 66), (54, 58)]), (190, 120, 60))
    c.paint(circle(67, 37, 1.5), (20, 20, 20))
    draw_text(c, "OSTREL", 14, 111, 3, (30, 50, 110))
    return c


def draw_icon():
    c = Canvas(32, 32)
    c.paint(rounded_rect(0.5, 0.5, 31.5, 31.5, 5), lambda x, y: (40, int(90 - y), 60))
    plane = [(16, 2), (17.5, 4), (18, 9), (18, 12), (29, 16), (29, 18.5), (18, 17.5), (17.5, 24), (22, 27),
             (22, 29), (16, 28), (10, 29), (10, 27), (14.5, 24), (14, 17.5), (3, 18.5), (3, 16), (14, 12),
             (14, 9), (14.5, 4)]
    c.paint(polygon(plane), (220, 220, 210))
    c.paint(both(polygon(plane), rect(0, 14.5, 32, 16.5)), (210, 40, 40))
    c.paint(ring(16, 15, 1.2, 1), (60, 60, 60))
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "controls", "resources")
    os.makedirs(out, exist_ok=True)
    write_xpm(os.path.join(out, "web.xpm"), "web", draw_web(), 15)
    write_xpm(os.path.join(out, "mail.xpm"), "mail", draw_mail(), 15)
    write_xpm(os.path.join(out, "logo.xpm"), "logo", draw_logo(), 256)
    write_xpm(os.path.join(out, "corvane32.xpm"), "corvane32", draw_icon(), 255)


if __name__ == "__main__":
    main()
