#!/usr/bin/env python3
"""Write the demo registry that Tidewell opens when no other registry is given.

The output is data/demo/: a Wine `system.reg` (HKEY_LOCAL_MACHINE) of a 32-bit
prefix set up as Windows XP, holding a few dozen installed programs of an
early-2000s home PC with the usage records Windows keeps for them, and a
`drive_c/` tree with the icon files those entries point at.

Every program, publisher and person in here is made up. The output depends on
nothing but this file: timestamps are fixed and the icons are drawn here, so
running it again gives the same bytes.

Usage: make-demo-registry.py [--out DIR]   (default: data/demo beside scripts/)
"""

import argparse
import calendar
import datetime as dt
import math
import shutil
import struct
import sys
import zlib
from pathlib import Path

# ---------------------------------------------------------------------------
# Registry model and Wine's text format
# ---------------------------------------------------------------------------

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD = 1, 2, 3, 4

FILETIME_UNIX_OFFSET = 11644473600  # seconds from 1601-01-01 to 1970-01-01


def utc(text):
    """'2004-03-12 19:22:05' (or a date alone) as an aware UTC datetime."""
    fmt = "%Y-%m-%d %H:%M:%S" if " " in text else "%Y-%m-%d"
    return dt.datetime.strptime(text, fmt).replace(tzinfo=dt.timezone.utc)


def filetime(when, ticks=0):
    return (calendar.timegm(when.utctimetuple()) + FILETIME_UNIX_OFFSET) * 10_000_000 + ticks


class Hive:
    def __init__(self):
        self.keys = {}  # tuple of names -> [datetime, {lower name: (name, type, data)}]

    def key(self, path, when):
        names = tuple(path.split("\\"))
        entry = self.keys.setdefault(names, [when, {}])
        entry[0] = max(entry[0], when)
        return entry[1]

    def set(self, path, when, values):
        """values: {name: data}; str -> REG_SZ, int -> REG_DWORD, bytes -> REG_BINARY,
        Expand(str) -> REG_EXPAND_SZ. The name "" is the default value."""
        slot = self.key(path, when)
        for name, data in values.items():
            if isinstance(data, Expand):
                slot[name.lower()] = (name, REG_EXPAND_SZ, data.text)
            elif isinstance(data, bool):
                raise TypeError(name)
            elif isinstance(data, int):
                slot[name.lower()] = (name, REG_DWORD, data)
            elif isinstance(data, (bytes, bytearray)):
                slot[name.lower()] = (name, REG_BINARY, bytes(data))
            else:
                slot[name.lower()] = (name, REG_SZ, data)


class Expand:
    def __init__(self, text):
        self.text = text


_CONTROL_ESCAPES = {0x07: "a", 0x08: "b", 0x09: "t", 0x0A: "n", 0x0B: "v", 0x0C: "f", 0x0D: "r", 0x1B: "e"}
_HEX_DIGITS = set(map(ord, "0123456789abcdefABCDEF"))
_OCT_DIGITS = set(map(ord, "01234567"))


def escape(text, brackets=False):
    """Escape a name or string the way Wine writes it: ASCII out, UTF-16 units for the rest."""
    data = text.encode("utf-16-le")
    units = struct.unpack("<%dH" % (len(data) // 2), data)
    out = []
    for i, u in enumerate(units):
        following = units[i + 1] if i + 1 < len(units) else None
        if u == 0x5C:
            out.append("\\\\")
        elif u == 0x22:
            out.append('\\"')
        elif brackets and u in (0x5B, 0x5D):
            out.append("\\" + chr(u))
        elif u in _CONTROL_ESCAPES:
            out.append("\\" + _CONTROL_ESCAPES[u])
        elif u < 0x20:
            out.append("\\%03o" % u if following in _OCT_DIGITS else "\\%o" % u)
        elif u > 0x7F:
            out.append("\\x%04x" % u if following in _HEX_DIGITS else "\\x%x" % u)
        else:
            out.append(chr(u))
    return "".join(out)


def hex_lines(prefix, data):
    # A break goes after the comma that takes the line past 76 characters,
    # counting from the start of the value name.
    out, count = [prefix], len(prefix)
    for i, byte in enumerate(data):
        out.append("%02x" % byte)
        count += 2
        if i < len(data) - 1:
            out.append(",")
            count += 1
            if count > 76:
                out.append("\\\n  ")
                count = 2
    return "".join(out)


def value_line(name, kind, data):
    head = "@=" if name == "" else '"%s"=' % escape(name)
    if kind == REG_SZ:
        return head + '"%s"' % escape(data)
    if kind == REG_EXPAND_SZ:
        return head + 'str(2):"%s"' % escape(data)
    if kind == REG_DWORD:
        assert 0 <= data <= 0xFFFFFFFF, (name, data)
        return head + "dword:%08x" % data
    return hex_lines(head + "hex:", data)


def write_hive(hive, path):
    children = {}
    for names in hive.keys:
        for depth in range(1, len(names)):
            children.setdefault(names[:depth], set()).add(names[:depth + 1])
        children.setdefault(names, set())
    lines = ["WINE REGISTRY Version 2", ";; All keys relative to REGISTRY\\\\Machine", "", "#arch=win32"]
    for names in sorted(children, key=lambda n: [part.lower() for part in n]):
        entry = hive.keys.get(names)
        values = entry[1] if entry else {}
        # Wine leaves out a key that only holds other keys.
        if not values and children[names]:
            continue
        when = entry[0]
        ticks = zlib.crc32("\\".join(names).encode()) % 10_000_000
        lines.append("")
        lines.append("[%s] %d" % ("\\\\".join(escape(n, brackets=True) for n in names),
                                  calendar.timegm(when.utctimetuple())))
        lines.append("#time=%x" % filetime(when, ticks))
        for lower in sorted(values):
            lines.append(value_line(*values[lower]))
    text = "\n".join(lines) + "\n"
    path.write_bytes(text.encode("ascii"))
    return text


# ---------------------------------------------------------------------------
# Icons: drawn with coverage sampling and written as 32-bit ICO files
# ---------------------------------------------------------------------------

class Shape:
    """A region of the unit square (y grows downwards) with a bounding box."""

    def __init__(self, test, box):
        self.test, self.box = test, box

    def __or__(self, other):
        a, b = self.test, other.test
        return Shape(lambda x, y: a(x, y) or b(x, y),
                     (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
                      max(self.box[2], other.box[2]), max(self.box[3], other.box[3])))

    def __and__(self, other):
        a, b = self.test, other.test
        return Shape(lambda x, y: a(x, y) and b(x, y),
                     (max(self.box[0], other.box[0]), max(self.box[1], other.box[1]),
                      min(self.box[2], other.box[2]), min(self.box[3], other.box[3])))

    def __sub__(self, other):
        a, b = self.test, other.test
        return Shape(lambda x, y: a(x, y) and not b(x, y), self.box)

    def rotated(self, degrees, cx, cy):
        c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
        test = self.test

        def inside(x, y):
            dx, dy = x - cx, y - cy
            return test(cx + dx * c + dy * s, cy - dx * s + dy * c)

        x0, y0, x1, y1 = self.box
        pts = [(cx + (px - cx) * c - (py - cy) * s, cy + (px - cx) * s + (py - cy) * c)
               for px, py in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
        return Shape(inside, (min(p[0] for p in pts), min(p[1] for p in pts),
                              max(p[0] for p in pts), max(p[1] for p in pts)))


def union(*shapes):
    result = shapes[0]
    for s in shapes[1:]:
        result = result | s
    return result


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, (x0, y0, x1, y1))


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape(inside, (x0, y0, x1, y1))


def ellipse(cx, cy, rx, ry):
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ring(cx, cy, inner, outer):
    return circle(cx, cy, outer) - circle(cx, cy, inner)


def capsule(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy or 1e-12

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / length2))
        dx, dy = x - ax - t * vx, y - ay - t * vy
        return dx * dx + dy * dy <= r * r
    return Shape(inside, (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r))


def stroke(points, r):
    return union(*[capsule(*points[i], *points[i + 1], r) for i in range(len(points) - 1)])


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return Shape(inside, (min(p[0] for p in points), min(p[1] for p in points),
                          max(p[0] for p in points), max(p[1] for p in points)))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


def vgrad(top, bottom, y0=0.0, y1=1.0, alpha=1.0):
    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return mix(top, bottom, t) + (alpha,)
    return paint


def solid(c, alpha=1.0):
    return lambda x, y: tuple(c) + (alpha,)


WHITE = (255, 255, 255)
INK = (250, 250, 250)


def tile(colour, round_tile, n):
    """Background: a rounded square or disc with a 1-pixel rim, a gradient and a soft gloss."""
    px = 1.0 / n
    if round_tile:
        outer = circle(0.5, 0.5, 0.48)
        inner = circle(0.5, 0.5, 0.48 - px)
    else:
        outer = rrect(0.03, 0.03, 0.97, 0.97, 0.2)
        inner = rrect(0.03 + px, 0.03 + px, 0.97 - px, 0.97 - px, 0.2 - px)
    gloss = ellipse(0.5, 0.1, 0.62, 0.42) & inner
    return [(outer, solid(darken(colour, 0.4))),
            (inner, vgrad(lighten(colour, 0.3), darken(colour, 0.08))),
            (gloss, solid(WHITE, 0.16))]


# Glyphs: each returns layers drawn over the tile; c is the tile colour.

def g_photo(c, n):
    pic = rect(0.26, 0.32, 0.74, 0.68)
    return [(rrect(0.19, 0.25, 0.81, 0.75, 0.04), solid(INK)),
            (pic, vgrad((150, 205, 245), (215, 238, 252), 0.32, 0.6)),
            (polygon([(0.26, 0.69), (0.41, 0.47), (0.51, 0.59), (0.6, 0.5), (0.75, 0.69)]) & pic,
             vgrad((80, 170, 80), (40, 120, 50), 0.47, 0.68)),
            (circle(0.63, 0.41, 0.06), solid((255, 200, 50)))]


def g_eye(c, n):
    lens = circle(0.5, 0.92, 0.56) & circle(0.5, 0.08, 0.56)
    return [(lens, solid(INK)),
            (circle(0.5, 0.5, 0.135), solid(darken(c, 0.25))),
            (circle(0.5, 0.5, 0.065), solid((25, 25, 30))),
            (circle(0.545, 0.455, 0.03), solid(WHITE, 0.9))]


def g_letter_q(c, n):
    return [(ring(0.5, 0.46, 0.15, 0.27) | capsule(0.57, 0.6, 0.73, 0.79, 0.07), solid(INK))]


def g_book(c, n):
    left = polygon([(0.14, 0.28), (0.48, 0.35), (0.48, 0.78), (0.14, 0.71)])
    right = polygon([(0.52, 0.35), (0.86, 0.28), (0.86, 0.71), (0.52, 0.78)])
    lines = union(*[capsule(0.21, 0.4 + k * 0.09, 0.41, 0.44 + k * 0.09, 0.012) for k in range(3)],
                  *[capsule(0.59, 0.44 + k * 0.09, 0.79, 0.4 + k * 0.09, 0.012) for k in range(3)])
    layers = [(left | right, vgrad(INK, (225, 225, 215)))]
    if n >= 32:
        layers.append((lines, solid(lighten(c, 0.2))))
    return layers


def g_shield(c, n):
    shield = polygon([(0.5, 0.15), (0.63, 0.21), (0.79, 0.24), (0.78, 0.45), (0.73, 0.6), (0.63, 0.73),
                      (0.5, 0.85), (0.37, 0.73), (0.27, 0.6), (0.22, 0.45), (0.21, 0.24), (0.37, 0.21)])
    return [(shield, vgrad(INK, (225, 228, 235))),
            (stroke([(0.35, 0.5), (0.46, 0.62), (0.66, 0.37)], 0.06), solid(darken(c, 0.15)))]


def g_bricks(c, n):
    area = rect(0.17, 0.2, 0.83, 0.8)
    bricks = []
    for row in range(4):
        y0 = 0.2 + row * 0.155
        shift = 0.0 if row % 2 == 0 else 0.12
        x = 0.17 - 0.24 + shift
        while x < 0.83:
            bricks.append(rect(x + 0.02, y0, x + 0.22, y0 + 0.12))
            x += 0.24
    return [(union(*bricks) & area, vgrad((255, 240, 220), (240, 210, 180)))]


def g_note(c, n):
    notes = union(ellipse(0.35, 0.7, 0.1, 0.085), ellipse(0.67, 0.64, 0.1, 0.085),
                  rect(0.405, 0.29, 0.45, 0.7), rect(0.725, 0.22, 0.77, 0.64),
                  polygon([(0.405, 0.29), (0.77, 0.2), (0.77, 0.31), (0.405, 0.4)]))
    return [(notes, solid(INK))]


def g_disc(c, n):
    disc = circle(0.5, 0.5, 0.35) - circle(0.5, 0.5, 0.07)
    shine = polygon([(0.5, 0.5), (0.62, 0.1), (0.9, 0.3)]) | polygon([(0.5, 0.5), (0.38, 0.9), (0.1, 0.7)])
    return [(disc, vgrad((245, 246, 250), (190, 196, 210))),
            (shine & disc, solid((150, 220, 255), 0.45)),
            (ring(0.5, 0.5, 0.07, 0.13), solid((215, 218, 228)))]


def g_marble(c, n):
    def radial(x, y):
        d = min(1.0, math.hypot(x - 0.42, y - 0.42) / 0.4)
        return mix((140, 235, 255), (10, 90, 190), d) + (1.0,)
    return [(circle(0.5, 0.52, 0.3), radial),
            (circle(0.41, 0.42, 0.07), solid(WHITE, 0.85))]


def g_cards(c, n):
    back = rrect(0.2, 0.22, 0.56, 0.74, 0.05).rotated(-14, 0.38, 0.48)
    front = rrect(0.42, 0.26, 0.78, 0.78, 0.05).rotated(8, 0.6, 0.52)
    heart = union(circle(0.545, 0.48, 0.06), circle(0.655, 0.48, 0.06),
                  polygon([(0.49, 0.5), (0.71, 0.5), (0.6, 0.64)]))
    return [(back, solid(darken(c, 0.45), 0.6)),
            (rrect(0.215, 0.235, 0.545, 0.725, 0.04).rotated(-14, 0.38, 0.48), solid((235, 240, 250))),
            (front, solid(darken(c, 0.45), 0.6)),
            (rrect(0.435, 0.275, 0.765, 0.765, 0.04).rotated(8, 0.6, 0.52), solid(INK)),
            (heart, solid((210, 35, 45)))]


def g_envelope(c, n):
    return [(rect(0.16, 0.29, 0.84, 0.71), vgrad(INK, (228, 232, 240))),
            (stroke([(0.17, 0.3), (0.5, 0.55), (0.83, 0.3)], 0.035), solid(darken(c, 0.2)))]


def g_arrow(c, n):
    arrow = rect(0.41, 0.18, 0.59, 0.5) | polygon([(0.25, 0.47), (0.75, 0.47), (0.5, 0.72)])
    tray = stroke([(0.23, 0.66), (0.23, 0.8), (0.77, 0.8), (0.77, 0.66)], 0.045)
    return [(arrow | tray, solid(INK))]


def g_page(c, n):
    page = polygon([(0.25, 0.14), (0.61, 0.14), (0.77, 0.3), (0.77, 0.86), (0.25, 0.86)])
    fold = polygon([(0.61, 0.14), (0.61, 0.3), (0.77, 0.3)])
    lines = union(rect(0.33, 0.38, 0.69, 0.42), rect(0.33, 0.48, 0.69, 0.52),
                  rect(0.33, 0.58, 0.69, 0.62), rect(0.33, 0.68, 0.56, 0.72))
    return [(page, solid(INK)), (fold, solid((200, 204, 212))),
            (rect(0.25, 0.14, 0.45, 0.3), solid(darken(c, 0.1))),
            (lines, solid((150, 155, 165)))]


def g_zipbox(c, n):
    teeth = union(*[rect(0.445 if k % 2 == 0 else 0.5, 0.27 + k * 0.07, 0.5 if k % 2 == 0 else 0.555,
                         0.31 + k * 0.07) for k in range(7)])
    return [(rrect(0.19, 0.24, 0.81, 0.8, 0.05), vgrad((255, 245, 215), (235, 215, 170))),
            (rect(0.43, 0.24, 0.57, 0.8), solid(darken(c, 0.35))),
            (teeth, solid((250, 215, 90))),
            (rrect(0.46, 0.72, 0.54, 0.86, 0.02), solid((250, 215, 90)))]


def g_bars(c, n):
    bars = union(rect(0.21, 0.52, 0.34, 0.76), rect(0.435, 0.37, 0.565, 0.76),
                 rect(0.66, 0.22, 0.79, 0.76), rect(0.16, 0.76, 0.84, 0.81))
    return [(bars, solid(INK))]


def g_star(c, n):
    pts = []
    for k in range(10):
        r = 0.34 if k % 2 == 0 else 0.14
        a = math.radians(-90 + k * 36)
        pts.append((0.5 + r * math.cos(a), 0.54 + r * math.sin(a)))
    dots = union(circle(0.2, 0.22, 0.028), circle(0.8, 0.2, 0.022), circle(0.82, 0.8, 0.026))
    return [(polygon(pts), vgrad((255, 240, 150), (240, 165, 30), 0.2, 0.85)),
            (dots, solid(WHITE, 0.9))]


def g_cup(c, n):
    body = rrect(0.22, 0.4, 0.64, 0.75, 0.07)
    handle = ring(0.65, 0.56, 0.055, 0.11) - rect(0.0, 0.0, 0.62, 1.0)
    saucer = rrect(0.15, 0.76, 0.79, 0.83, 0.035)
    steam = union(stroke([(0.35, 0.35), (0.32, 0.28), (0.36, 0.21), (0.33, 0.14)], 0.028),
                  stroke([(0.5, 0.35), (0.47, 0.28), (0.51, 0.21), (0.48, 0.14)], 0.028))
    return [(body | handle | saucer, solid(INK)), (steam, solid(WHITE, 0.75))]


def g_letter_a(c, n):
    a = union(stroke([(0.27, 0.79), (0.5, 0.2), (0.73, 0.79)], 0.065),
              capsule(0.37, 0.6, 0.63, 0.6, 0.045),
              capsule(0.18, 0.8, 0.35, 0.8, 0.035), capsule(0.65, 0.8, 0.82, 0.8, 0.035))
    return [(a, vgrad((255, 235, 160), (215, 160, 40), 0.2, 0.85))]


def g_clipboard(c, n):
    lines = union(*[rect(0.34, 0.38 + k * 0.1, 0.66, 0.41 + k * 0.1) for k in range(4)])
    return [(rrect(0.21, 0.17, 0.79, 0.87, 0.05), solid((140, 90, 45))),
            (rect(0.28, 0.27, 0.72, 0.81), solid(INK)),
            (lines, solid((170, 175, 185))),
            (rrect(0.37, 0.12, 0.63, 0.26, 0.04), vgrad((230, 232, 238), (160, 165, 175)))]


def g_film(c, n):
    holes = union(*[rect(0.29, 0.18 + k * 0.12, 0.34, 0.24 + k * 0.12) for k in range(6)],
                  *[rect(0.66, 0.18 + k * 0.12, 0.71, 0.24 + k * 0.12) for k in range(6)])
    frames = rect(0.39, 0.2, 0.61, 0.47) | rect(0.39, 0.53, 0.61, 0.8)
    return [(rect(0.25, 0.12, 0.75, 0.88), solid((35, 36, 42))),
            (holes, solid((235, 235, 235))),
            (frames, vgrad((140, 200, 255), (60, 120, 200)))]


def g_keyboard(c, n):
    keys = []
    for row in range(2):
        for col in range(6):
            x = 0.2 + col * 0.1 + (0.03 if row else 0)
            keys.append(rect(x, 0.4 + row * 0.1, x + 0.07, 0.46 + row * 0.1))
    keys.append(rect(0.3, 0.6, 0.7, 0.66))
    return [(rrect(0.13, 0.33, 0.87, 0.73, 0.05), vgrad(INK, (220, 224, 232))),
            (union(*keys), solid(darken(c, 0.2)))]


def g_bubble(c, n):
    bubble = rrect(0.15, 0.19, 0.85, 0.64, 0.15) | polygon([(0.28, 0.6), (0.47, 0.6), (0.24, 0.82)])
    dots = union(circle(0.33, 0.415, 0.055), circle(0.5, 0.415, 0.055), circle(0.67, 0.415, 0.055))
    return [(bubble, solid(INK)), (dots, solid(darken(c, 0.1)))]


def g_blocks(c, n):
    blue, red, white = (80, 140, 235), (225, 75, 60), (245, 245, 245)
    pattern = "BBBB" "BBBR" "WRWB" "WWRW"
    layers = []
    for k, ch in enumerate(pattern):
        x, y = 0.19 + (k % 4) * 0.16, 0.19 + (k // 4) * 0.16
        colour = {"B": blue, "R": red, "W": white}[ch]
        layers.append((rect(x, y, x + 0.14, y + 0.14), solid(colour)))
    return layers


def g_printer(c, n):
    return [(rect(0.31, 0.15, 0.69, 0.4), solid(INK)),
            (rrect(0.15, 0.36, 0.85, 0.68, 0.06), vgrad((235, 238, 244), (175, 182, 195))),
            (rect(0.25, 0.57, 0.75, 0.62), solid((55, 58, 68))),
            (rect(0.3, 0.6, 0.7, 0.85), solid(INK)),
            (circle(0.75, 0.45, 0.035), solid((70, 220, 90)))]


def g_scanner(c, n):
    return [(rrect(0.13, 0.45, 0.87, 0.77, 0.06), vgrad((235, 238, 244), (170, 178, 190))),
            (rrect(0.13, 0.31, 0.87, 0.43, 0.04), solid(INK)),
            (rect(0.2, 0.53, 0.8, 0.59), solid((120, 255, 170))),
            (circle(0.78, 0.68, 0.032), solid((60, 170, 80)))]


def g_speaker(c, n):
    cone = polygon([(0.18, 0.39), (0.33, 0.39), (0.5, 0.22), (0.5, 0.78), (0.33, 0.61), (0.18, 0.61)])
    wedge = polygon([(0.5, 0.5), (0.95, 0.12), (0.95, 0.88)])
    waves = (ring(0.5, 0.5, 0.14, 0.2) | ring(0.5, 0.5, 0.27, 0.33)) & wedge
    return [(cone | waves, solid(INK))]


def g_monitor(c, n):
    return [(rrect(0.13, 0.17, 0.87, 0.69, 0.05), solid((232, 234, 240))),
            (rect(0.19, 0.23, 0.81, 0.63), vgrad((90, 160, 240), (30, 80, 170))),
            (polygon([(0.42, 0.68), (0.58, 0.68), (0.62, 0.79), (0.38, 0.79)]), solid((200, 204, 212))),
            (rrect(0.27, 0.77, 0.73, 0.84, 0.025), solid((232, 234, 240)))]


def g_cube(c, n):
    top = polygon([(0.5, 0.16), (0.79, 0.33), (0.5, 0.5), (0.21, 0.33)])
    left = polygon([(0.21, 0.33), (0.5, 0.5), (0.5, 0.85), (0.21, 0.68)])
    right = polygon([(0.5, 0.5), (0.79, 0.33), (0.79, 0.68), (0.5, 0.85)])
    return [(top, solid(INK)), (left, solid(lighten(c, 0.55))), (right, solid(lighten(c, 0.25)))]


def g_calculator(c, n):
    buttons = union(*[rect(0.31 + col * 0.135, 0.43 + row * 0.105, 0.41 + col * 0.135, 0.505 + row * 0.105)
                      for row in range(4) for col in range(3)])
    return [(rrect(0.23, 0.13, 0.77, 0.87, 0.06), vgrad(INK, (222, 226, 232))),
            (rect(0.3, 0.2, 0.7, 0.35), solid((70, 92, 80))),
            (buttons, solid(darken(c, 0.05)))]


def g_tree(c, n):
    links = union(stroke([(0.5, 0.25), (0.5, 0.38), (0.3, 0.38), (0.3, 0.52)], 0.028),
                  stroke([(0.5, 0.38), (0.7, 0.38), (0.7, 0.78)], 0.028),
                  stroke([(0.3, 0.52), (0.3, 0.65), (0.2, 0.65), (0.2, 0.78)], 0.028),
                  stroke([(0.3, 0.65), (0.4, 0.65), (0.4, 0.78)], 0.028))
    nodes = union(circle(0.5, 0.24, 0.085), circle(0.3, 0.52, 0.075), circle(0.7, 0.52, 0.075),
                  circle(0.2, 0.78, 0.065), circle(0.4, 0.78, 0.065), circle(0.7, 0.78, 0.065))
    return [(links | nodes, solid(INK))]


def g_compass(c, n):
    north = polygon([(0.5, 0.2), (0.575, 0.5), (0.425, 0.5)]).rotated(30, 0.5, 0.5)
    south = polygon([(0.425, 0.5), (0.575, 0.5), (0.5, 0.8)]).rotated(30, 0.5, 0.5)
    return [(ring(0.5, 0.5, 0.28, 0.35), solid(INK)),
            (north, solid((225, 50, 40))), (south, solid(INK)),
            (circle(0.5, 0.5, 0.04), solid((40, 40, 48)))]


def g_weather(c, n):
    cloud = union(circle(0.45, 0.61, 0.14), circle(0.62, 0.54, 0.17), circle(0.76, 0.64, 0.11),
                  rrect(0.28, 0.6, 0.87, 0.76, 0.08))
    return [(circle(0.36, 0.37, 0.18), vgrad((255, 225, 90), (250, 160, 30), 0.2, 0.55)),
            (cloud, vgrad(WHITE, (215, 222, 235), 0.37, 0.76))]


def g_palette(c, n):
    palette = ellipse(0.5, 0.52, 0.37, 0.31) - circle(0.63, 0.67, 0.075)
    return [(palette, vgrad((250, 235, 200), (225, 195, 150))),
            (circle(0.31, 0.45, 0.065), solid((220, 45, 50))),
            (circle(0.44, 0.33, 0.065), solid((250, 200, 40))),
            (circle(0.6, 0.33, 0.065), solid((60, 170, 70))),
            (circle(0.73, 0.46, 0.065), solid((50, 110, 220)))]


def g_pda(c, n):
    return [(rrect(0.29, 0.11, 0.71, 0.89, 0.07), solid((48, 52, 62))),
            (rect(0.35, 0.19, 0.65, 0.6), vgrad((205, 240, 225), (140, 200, 180))),
            (circle(0.42, 0.73, 0.04) | circle(0.58, 0.73, 0.04), solid((150, 155, 168)))]


def g_pawn(c, n):
    pawn = union(circle(0.5, 0.29, 0.1),
                 polygon([(0.46, 0.38), (0.54, 0.38), (0.64, 0.72), (0.36, 0.72)]),
                 rrect(0.4, 0.39, 0.6, 0.45, 0.02),
                 rrect(0.27, 0.7, 0.73, 0.82, 0.03))
    return [(pawn, vgrad(INK, (225, 215, 195)))]


def g_magnifier(c, n):
    return [(circle(0.44, 0.42, 0.18), solid((200, 235, 255), 0.55)),
            (ring(0.44, 0.42, 0.18, 0.25) | capsule(0.62, 0.6, 0.78, 0.77, 0.07), solid(INK))]


def g_play(c, n):
    return [(ring(0.5, 0.5, 0.3, 0.36), solid(INK, 0.9)),
            (polygon([(0.42, 0.34), (0.42, 0.66), (0.67, 0.5)]), solid(INK))]


def render(layers, n):
    ss = 4 if n <= 32 else 3
    offsets = [(i + 0.5) / ss for i in range(ss)]
    full = ss * ss
    pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(n * n)]  # premultiplied RGBA
    for shape, paint in layers:
        x0, y0, x1, y1 = shape.box
        for py in range(max(0, int(y0 * n)), min(n, int(math.ceil(y1 * n)))):
            for px in range(max(0, int(x0 * n)), min(n, int(math.ceil(x1 * n)))):
                hits = sum(1 for oy in offsets for ox in offsets
                           if shape.test((px + ox) / n, (py + oy) / n))
                if not hits:
                    continue
                r, g, b, a = paint((px + 0.5) / n, (py + 0.5) / n)
                a *= hits / full
                dst = pixels[py * n + px]
                keep = 1.0 - a
                dst[0] = r / 255 * a + dst[0] * keep
                dst[1] = g / 255 * a + dst[1] * keep
                dst[2] = b / 255 * a + dst[2] * keep
                dst[3] = a + dst[3] * keep
    return pixels


def dib(pixels, n):
    """A 32-bit icon image: BITMAPINFOHEADER, bottom-up BGRA, then the AND mask."""
    xor = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row_mask = bytearray(mask_stride)
        for x in range(n):
            r, g, b, a = pixels[y * n + x]
            alpha = round(a * 255)
            if alpha == 0:
                xor += b"\0\0\0\0"
                row_mask[x // 8] |= 0x80 >> (x % 8)
            else:
                xor += bytes((min(255, round(b / a * 255)), min(255, round(g / a * 255)),
                              min(255, round(r / a * 255)), alpha))
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico(images):
    """images: [(size, dib bytes)] -> the bytes of an .ico file."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def draw_icon(glyph, colour, round_tile, sizes):
    images = []
    for n in sizes:
        layers = tile(colour, round_tile, n) + glyph(colour, n)
        images.append((n, dib(render(layers, n), n)))
    return ico(images)


# ---------------------------------------------------------------------------
# The demo machine
# ---------------------------------------------------------------------------

WINDOWS_INSTALLED = utc("2002-09-14 10:26:41")
SP_INSTALLED = utc("2005-08-20 16:03:12")
ARP_REFRESHED = utc("2006-04-02 19:41:07")
OWNER = "Robin Hale"
COMPUTER = "FAMILY-PC"
PF = "C:\\Program Files"

UNINSTALL = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
ARPCACHE = "Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache"

NEVER = "never"      # last-used time of zero: recorded, but the program never ran
UNKNOWN = "unknown"  # a field filled with 0xFF: Windows did not record it


def usage_record(size, last_used, frequency, path):
    record = bytearray(552)
    struct.pack_into("<II", record, 0, 552, 1 if path else 0)
    struct.pack_into("<Q", record, 8, 0xFFFFFFFFFFFFFFFF if size is UNKNOWN else size)
    if last_used is UNKNOWN:
        stamp = 0xFFFFFFFFFFFFFFFF
    elif last_used is NEVER:
        stamp = 0
    else:
        stamp = filetime(utc(last_used), zlib.crc32(last_used.encode()) % 10_000_000)
    struct.pack_into("<Q", record, 16, stamp)
    struct.pack_into("<I", record, 24, 0xFFFFFFFF if frequency is UNKNOWN else frequency)
    if path:
        encoded = path.encode("utf-16-le")
        assert len(encoded) < 524, path
        record[28:28 + len(encoded)] = encoded
    return bytes(record)


class Program:
    """One uninstall entry. `icon` draws a file; `display_icon` is the DisplayIcon text
    (None: no value). `usage` is (size in bytes, last used, frequency, program path)."""

    def __init__(self, key, values, when, icon=None, display_icon=None, usage=None):
        self.key, self.values, self.when = key, values, utc(when)
        self.icon, self.display_icon, self.usage = icon, display_icon, usage


def icon_file(path, glyph, colour, round_tile=False, big=False):
    return (path, glyph, colour, round_tile, (16, 32, 48) if big else (16, 32))


def msi_values(guid, name, version, publisher, folder, installed, size_kb, **extra):
    parts = [int(p) for p in version.split(".")]
    packed = (parts[0] << 24) | (parts[1] << 16) | (parts[2] if len(parts) > 2 else 0)
    values = {
        "AuthorizedCDFPrefix": "",
        "Comments": "",
        "Contact": "",
        "DisplayName": name,
        "DisplayVersion": version,
        "EstimatedSize": size_kb,
        "HelpLink": "",
        "HelpTelephone": "",
        "InstallDate": installed.replace("-", "")[:8],
        "InstallLocation": "%s\\%s\\" % (PF, folder) if folder else "",
        "InstallSource": "D:\\",
        "Language": 0x409,
        "ModifyPath": "MsiExec.exe /I%s" % guid,
        "Publisher": publisher,
        "Readme": "",
        "Size": "",
        "UninstallString": "MsiExec.exe /X%s" % guid,
        "URLInfoAbout": "",
        "URLUpdateInfo": "",
        "Version": packed,
        "VersionMajor": parts[0],
        "VersionMinor": parts[1],
        "WindowsInstaller": 1,
    }
    values.update(extra)
    return values


def plain_values(name, version, publisher, folder, installed, uninstall, size_kb=None, **extra):
    values = {
        "DisplayName": name,
        "DisplayVersion": version,
        "Publisher": publisher,
        "InstallLocation": "%s\\%s" % (PF, folder),
        "InstallDate": installed.replace("-", "")[:8],
        "UninstallString": uninstall,
    }
    if size_kb is not None:
        values["EstimatedSize"] = size_kb
    values.update(extra)
    return values


def demo_uninstaller(action, key):
    """The command of Tidewell's own demo uninstaller, which runs without Wine: it removes the entry
    (action "remove") from the user's copy of this registry, or ends and leaves it behind ("leave").
    Tidewell points the copy at where the program is installed."""
    return "tidewell-demo-uninstaller %s %s" % (action, key)


def mb(megabytes):
    return round(megabytes * 1024 * 1024)


def programs():
    P = []

    # -- Brightleaf: two programs in one vendor folder --------------------------------
    folder = "Brightleaf\\Photo Studio"
    P.append(Program("BrightleafPhotoStudio4", plain_values(
        "Brightleaf Photo Studio 4", "4.0.2", "Brightleaf Software", folder, "2003-11-22",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 86630,
        HelpLink="https://support.example.com/brightleaf/photostudio",
        URLInfoAbout="https://www.example.com/brightleaf/",
        Contact="support@example.com", NoModify=1, NoRepair=1),
        "2003-11-22 18:04:51",
        icon=icon_file(folder + "\\studio.ico", g_photo, (40, 150, 160), big=True),
        display_icon="%s\\%s\\studio.ico" % (PF, folder),
        usage=(mb(84.6), "2006-03-29 20:15:33", 24, "%s\\%s\\studio.exe" % (PF, folder))))

    folder = "Brightleaf\\Quick Viewer"
    P.append(Program("BrightleafQuickViewer", plain_values(
        "Brightleaf Quick Viewer 2.1", "2.1.0.318", "Brightleaf Software", folder, "2003-11-22",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 6348,
        URLInfoAbout="https://www.example.com/brightleaf/viewer", NoModify=1, NoRepair=1),
        "2003-11-22 18:09:12",
        icon=icon_file(folder + "\\viewer.ico", g_eye, (235, 130, 40), round_tile=True),
        display_icon="%s\\%s\\viewer.ico,0" % (PF, folder)))

    # -- Quillmark: an installer-database suite, a component without a name, an add-on ----
    guid = "{6F2A9C14-3B8E-4D71-A5C0-91E7D2B4F803}"
    folder = "Quillmark\\Office"
    P.append(Program(guid, msi_values(
        guid, "Quillmark Office 2003", "11.0.5614", "Quillmark Corporation", folder, "2003-02-08", 422690,
        HelpLink="https://support.example.net/quillmark/office",
        HelpTelephone="1-800-555-0143",
        URLInfoAbout="https://www.example.net/quillmark/",
        URLUpdateInfo="https://update.example.net/quillmark/office2003",
        ProductID="73931-640-0000106-57364", RegOwner=OWNER, RegCompany=""),
        "2003-02-08 13:42:09",
        icon=icon_file(folder + "\\qoffice.ico", g_letter_q, (70, 70, 185), big=True),
        display_icon="%s\\%s\\qoffice.ico" % (PF, folder),
        usage=(mb(412.8), "2006-04-01 21:07:45", 28, "%s\\%s\\OFFICE11\\QMWRITE.EXE" % (PF, folder))))

    guid = "{6F2A9C14-3B8E-4D71-A5C0-91E7D2B4F8A1}"
    values = msi_values(guid, "", "11.0.5614", "Quillmark Corporation", "", "2003-02-08", 17408,
                        SystemComponent=1)
    del values["DisplayName"]  # a part of the suite, not meant to be listed on its own
    P.append(Program(guid, values, "2003-02-08 13:42:11"))

    folder = "Quillmark\\Dictionary"
    P.append(Program("QuillmarkDictionary", plain_values(
        "Quillmark Dictionary and Thesaurus 2.0", "2.0.1", "Quillmark Corporation", folder, "2003-02-09",
        "%s\\%s\\qdsetup.exe /remove" % (PF, folder), 39424,
        URLInfoAbout="https://www.example.net/quillmark/dictionary"),
        "2003-02-09 09:17:30",
        icon=icon_file(folder + "\\dict.ico", g_book, (140, 35, 50)),
        display_icon="%s\\%s\\dict.ico" % (PF, folder),
        usage=(mb(38.5), "2004-07-14 17:30:02", 2, "%s\\%s\\qdict.exe" % (PF, folder))))

    # -- Kestrel Security --------------------------------------------------------------
    folder = "Kestrel Security\\Antivirus"
    P.append(Program("KestrelAntivirus", plain_values(
        "Kestrel Antivirus 2005", "2005.11.0.42", "Kestrel Security", folder, "2004-10-03",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 62771,
        HelpLink="https://support.example.org/kestrel/av2005",
        URLInfoAbout="https://www.example.org/kestrel/",
        Contact="1-800-555-0119", NoModify=1),
        "2004-10-03 11:52:40",
        icon=icon_file(folder + "\\kav.ico", g_shield, (200, 40, 40)),
        display_icon="%s\\%s\\kav.ico,0" % (PF, folder),
        usage=(mb(61.3), "2006-04-02 19:20:11", UNKNOWN, "%s\\%s\\kavtray.exe" % (PF, folder))))

    P.append(Program("KestrelDefinitions", {
        # Updated behind the program's back; removed together with it, so no uninstaller.
        "DisplayName": "Kestrel Antivirus Virus Definitions",
        "DisplayVersion": "2006.03.31",
        "Publisher": "Kestrel Security",
        "ParentKeyName": "KestrelAntivirus",
        "ParentDisplayName": "Kestrel Antivirus 2005",
        "InstallDate": "20060331",
    }, "2006-03-31 04:12:55"))

    guid = "{0B7D35E8-2C61-4A9F-B84E-53F10C6A27D9}"
    folder = "Kestrel Security\\Firewall"
    P.append(Program(guid, msi_values(
        guid, "Kestrel Personal Firewall 2", "2.0.180", "Kestrel Security", folder, "2004-10-03", 23245,
        HelpLink="https://support.example.org/kestrel/firewall",
        URLInfoAbout="https://www.example.org/kestrel/", NoModify=1),
        "2004-10-03 11:58:02",
        icon=icon_file(folder + "\\firewall.ico", g_bricks, (225, 90, 30)),
        display_icon="%s\\%s\\firewall.ico" % (PF, folder),
        usage=(mb(22.7), NEVER, 0, "%s\\%s\\kfwcfg.exe" % (PF, folder))))

    # -- Orchard Media --------------------------------------------------------------------
    folder = "Orchard Media\\Jukebox"
    P.append(Program("OrchardJukebox", plain_values(
        "Orchard Jukebox 3", "3.0.1.77", "Orchard Media", folder, "2003-06-17",
        '"%s\\%s\\uninst.exe" /S' % (PF, folder), 19866,
        HelpLink="https://www.example.com/orchard/help",
        URLInfoAbout="https://www.example.com/orchard/"),
        "2003-06-17 20:31:14",
        icon=icon_file(folder + "\\jukebox.ico", g_note, (40, 160, 80), round_tile=True, big=True),
        display_icon='"%s\\%s\\jukebox.ico",0' % (PF, folder),
        usage=(mb(19.4), "2006-04-01 22:48:19", 27, "%s\\%s\\jukebox.exe" % (PF, folder))))

    folder = "Orchard Media\\CD Burner"
    P.append(Program("OrchardCDBurner", plain_values(
        "Orchard CD Burner 5.2", "5.2.0.11", "Orchard Media", folder, "2003-06-17",
        '"%s\\%s\\Uninstall.exe" /log="%s\\%s\\install.log"' % (PF, folder, PF, folder), 28774,
        URLInfoAbout="https://www.example.com/orchard/burner"),
        "2003-06-17 20:40:36",
        icon=icon_file(folder + "\\burner.ico", g_disc, (60, 100, 170)),
        display_icon="%s\\%s\\burner.ico" % (PF, folder),
        usage=(mb(28.1), "2005-12-18 15:02:57", 6, "%s\\%s\\burner.exe" % (PF, folder))))

    # -- Pinecrest Games ------------------------------------------------------------------
    guid = "{C4E19A07-7D52-4B3E-9F86-2A0D5B8E1C6F}"
    folder = "Pinecrest\\Marble Derby"
    # This installer wrote its paths in capitals; the files on disk are mixed case.
    shouted = "%s\\%s\\marble.ico" % (PF, folder)
    P.append(Program(guid, msi_values(
        guid, "Pinecrest Marble Derby", "1.3.0", "Pinecrest Games", folder, "2004-12-25", 47309,
        InstallLocation=("%s\\%s\\" % (PF, folder)).upper(),
        URLInfoAbout="https://www.example.org/pinecrest/marble-derby"),
        "2004-12-25 09:15:48",
        icon=icon_file(folder + "\\marble.ico", g_marble, (125, 60, 170)),
        display_icon=shouted.upper(),
        usage=(mb(46.2), "2005-02-06 16:44:21", 14, "%s\\%s\\DERBY.EXE" % (PF.upper(), folder.upper()))))

    folder = "Pinecrest\\Solitaire Deluxe"
    P.append(Program("PinecrestSolitaire", plain_values(
        "Pinecrest Solitaire Deluxe", "2.5", "Pinecrest Games", folder, "2004-12-25",
        demo_uninstaller("remove", "PinecrestSolitaire"), 10035,
        HelpLink="https://www.example.org/pinecrest/support",
        URLInfoAbout="https://www.example.org/pinecrest/solitaire"),
        "2004-12-25 09:31:05",
        icon=icon_file(folder + "\\cards.ico", g_cards, (30, 120, 60)),
        display_icon="%s\\%s\\cards.ico,0" % (PF, folder),
        usage=(mb(9.8), "2006-03-30 13:26:40", 30, "%s\\%s\\solitaire.exe" % (PF, folder))))

    # -- Assorted single programs ---------------------------------------------------------
    folder = "Harborline\\Tax Assistant 2004"
    P.append(Program("Harbor Tax Assistant 2004", plain_values(
        "Harbor Tax Assistant 2004", "2004.0.3", "Harborline Financial Software", folder, "2005-02-19",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 120832,
        HelpLink="https://support.example.com/harborline/tax2004",
        URLInfoAbout="https://www.example.com/harborline/",
        Contact="Customer Care, 1-800-555-0166"),
        "2005-02-19 14:08:27",
        icon=icon_file(folder + "\\taxasst.ico", g_calculator, (30, 60, 120)),
        display_icon="%s\\%s\\taxasst.ico,0" % (PF, folder),
        usage=(mb(118.0), "2005-04-14 23:51:09", 4, "%s\\%s\\taxasst.exe" % (PF, folder))))

    folder = "Lanternfish\\Mail"
    P.append(Program("LanternfishMail", plain_values(
        "Lanternfish Mail 6", "6.0.2800", "Lanternfish Software", folder, "2002-09-20",
        "%s\\%s\\uninstall.exe" % (PF, folder), 25498,
        HelpLink="https://help.example.net/lanternfish/mail",
        URLInfoAbout="https://www.example.net/lanternfish/"),
        "2002-09-20 19:12:44",
        icon=icon_file(folder + "\\mail.ico", g_envelope, (50, 140, 215), big=True),
        display_icon="%s\\%s\\mail.ico" % (PF, folder),
        usage=(mb(24.9), "2006-04-02 18:55:30", 30, "%s\\%s\\lfmail.exe" % (PF, folder))))

    folder = "Nimbus\\Download Accelerator"
    P.append(Program("NimbusDownloadAccelerator", plain_values(
        "Nimbus Download Accelerator 3.4", "3.4.1", "Nimbus Networks", folder, "2004-05-09",
        "%s\\%s\\uninstall.exe" % (PF, folder), 3174,
        URLInfoAbout="https://www.example.com/nimbus/"),
        "2004-05-09 21:37:18",
        icon=icon_file(folder + "\\nimbus.ico", g_arrow, (30, 110, 210), round_tile=True),
        display_icon="%s\\%s\\nimbus.ico,0" % (PF, folder)))

    guid = "{A81F4C2D-6E0B-4F59-8D13-7C2B9E05A6D4}"
    folder = "Copperline\\Page Reader 6.0"
    P.append(Program(guid, msi_values(
        guid, "Copperline Page Reader 6.0", "6.0.1", "Copperline Systems", folder, "2003-08-30", 58368,
        HelpLink="https://www.example.com/copperline/support",
        URLInfoAbout="https://www.example.com/copperline/",
        URLUpdateInfo="https://www.example.com/copperline/update", NoModify=1, NoRepair=1),
        "2003-08-30 10:05:33",
        icon=icon_file(folder + "\\reader.ico", g_page, (190, 60, 40)),
        display_icon="%s\\%s\\reader.ico" % (PF, folder),
        usage=(mb(57.0), "2006-03-20 11:40:02", 12, "%s\\%s\\Reader\\PageRd32.exe" % (PF, folder))))

    folder = "Fennwick\\ZipCrate"
    P.append(Program("ZipCrate", plain_values(
        "ZipCrate 8.1", "8.1 (build 5266)", "Fennwick Software", folder, "2002-10-05",
        '"%s\\%s\\zcsetup.exe" /uninstall' % (PF, folder), 2990,
        HelpLink="https://www.example.org/fennwick/zipcrate/faq",
        URLInfoAbout="https://www.example.org/fennwick/"),
        "2002-10-05 17:22:10",
        icon=icon_file(folder + "\\zipcrate.ico", g_zipbox, (150, 110, 60)),
        display_icon="%s\\%s\\zipcrate.ico" % (PF, folder),
        usage=(2_920_448, "2006-03-27 08:13:56", 19, "%s\\%s\\zipcrate.exe" % (PF, folder))))

    guid = "{3D92B6E1-0F4A-47C8-B25D-E8A16F3C0B97}"
    folder = "Tallgrass\\Budget 2005"
    P.append(Program(guid, msi_values(
        guid, "Tallgrass Budget 2005", "14.0.118", "Tallgrass Software", folder, "2005-01-08", 98714,
        HelpLink="https://support.example.net/tallgrass/budget",
        URLInfoAbout="https://www.example.net/tallgrass/"),
        "2005-01-08 15:49:21",
        icon=icon_file(folder + "\\budget.ico", g_bars, (40, 150, 70)),
        display_icon="%s\\%s\\budget.ico,0" % (PF, folder),
        usage=(UNKNOWN, "2006-02-28 22:17:43", 5, "%s\\%s\\budget.exe" % (PF, folder))))

    folder = "Westmarch\\Starfall Tactics"
    P.append(Program("StarfallTactics", plain_values(
        "Starfall Tactics", "1.02", "Westmarch Interactive", folder, "2004-08-14",
        '"%s\\%s\\uninstall.exe" /remove' % (PF, folder), 1484800,
        HelpLink="https://www.example.org/westmarch/support",
        URLInfoAbout="https://www.example.org/westmarch/starfall"),
        "2004-08-14 12:33:08",
        icon=icon_file(folder + "\\starfall.ico", g_star, (25, 35, 90), big=True),
        display_icon="%s\\%s\\starfall.ico" % (PF, folder),
        usage=(1_520_435_200, "2005-11-05 01:12:36", 11, "%s\\%s\\starfall.exe" % (PF, folder))))

    folder = "Hollyhock\\Cafe Menu Planner"
    P.append(Program("CafeMenuPlanner", plain_values(
        "Caf\u00e9 Menu Planner 1.5", "1.5.2", "Hollyhock Home Software", folder, "2005-05-21",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 12595,
        URLInfoAbout="https://www.example.com/hollyhock/menu",
        Contact="Hollyhock Home Software <help@example.com>"),
        "2005-05-21 10:48:59",
        icon=icon_file(folder + "\\cafe.ico", g_cup, (120, 75, 45), round_tile=True),
        display_icon="%s\\%s\\cafe.ico" % (PF, folder),
        usage=(mb(12.3), "2005-09-17 18:26:14", 3, "%s\\%s\\menuplan.exe" % (PF, folder))))

    folder = "Norlund\\Deco Font Pack"
    P.append(Program("NorlundDecoFonts", plain_values(
        "D\u00e9co Font Pack", "1.0", "N\u00f8rlund Type Foundry", folder, "2005-03-02",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 1126,
        URLInfoAbout="https://www.example.net/norlund/deco"),
        "2005-03-02 20:03:41",
        icon=icon_file(folder + "\\deco.ico", g_letter_a, (30, 30, 36)),
        display_icon="%s\\%s\\deco.ico" % (PF, folder),
        usage=(1_153_024, NEVER, 0, "%s\\%s\\fontview.exe" % (PF, folder))))

    # No DisplayIcon: the icon comes from the program path in the usage record.
    folder = "Driftwood Labs\\Clipboard Keeper"
    P.append(Program("ClipboardKeeper", plain_values(
        "Clipboard Keeper 2.0", "2.0.4", "Driftwood Labs", folder, "2004-02-14",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 360,
        URLInfoAbout="https://www.example.com/driftwood/clipkeeper"),
        "2004-02-14 16:20:05",
        icon=icon_file(folder + "\\clipkeep.ico", g_clipboard, (235, 170, 40)),
        usage=(368_640, "2006-03-31 09:02:47", 16, "%s\\%s\\clipkeep.ico" % (PF, folder))))

    folder = "Silverfin\\Codec Pack"
    P.append(Program("SilverfinCodecPack", plain_values(
        "Silverfin Media Codec Pack 1.9", "1.9.0", "Silverfin Multimedia", folder, "2005-07-30",
        '"%s\\%s\\uninstall.exe"' % (PF, folder), 15053,
        URLInfoAbout="https://www.example.org/silverfin/codecs"),
        "2005-07-30 22:11:36",
        icon=icon_file(folder + "\\codecs.ico", g_film, (90, 100, 115)),
        usage=(mb(14.7), NEVER, UNKNOWN, "%s\\%s\\codecs.ico" % (PF, folder))))

    P.append(Program("GlowwormSavers", {
        "DisplayName": "Glowworm Screen Saver Collection",
        "DisplayVersion": "1.0",
        "Publisher": "Glowworm Graphics",
        "InstallDate": "20031224",
        "UninstallString": Expand(
            "rundll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 %SystemRoot%\\INF\\glowsave.inf"),
        "URLInfoAbout": "https://www.example.net/glowworm/",
    }, "2003-12-24 21:44:18",
        # The saver files were deleted by hand; the cache still names one.
        usage=(mb(5.5), "2004-01-03 19:30:00", 1, "C:\\windows\\system32\\glowworm.scr")))

    folder = "Mapleton\\TypeQuest 7"
    P.append(Program("TypeQuest7", plain_values(
        "TypeQuest Typing Tutor 7", "7.0", "Mapleton Learning", folder, "2004-09-04",
        "%s\\%s\\uninstall.exe" % (PF, folder), 74956,
        URLInfoAbout="https://www.example.com/mapleton/typequest"),
        "2004-09-04 15:27:52",
        icon=icon_file(folder + "\\typequest.ico", g_keyboard, (20, 140, 130)),
        display_icon="%s\\%s\\typequest.ico,0" % (PF, folder)))

    folder = "Redkite\\FTP"
    P.append(Program("RedkiteFTP", plain_values(
        "Redkite FTP 2.4", "2.4.0", "Redkite Software", folder, "2004-03-28",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 4710,
        URLInfoAbout="https://www.example.net/redkite/ftp"),
        "2004-03-28 18:05:26",
        # Points at an icon file that is not there.
        display_icon="%s\\%s\\redkite.ico" % (PF, folder),
        usage=(mb(4.6), "2004-11-01 12:00:00", 2, "%s\\%s\\redkite.exe" % (PF, folder))))

    folder = "Cobaltwave\\Messenger"
    P.append(Program("CobaltwaveMessenger", plain_values(
        "Cobaltwave Messenger 5.0", "5.0.0.1402", "Cobaltwave Communications", folder, "2003-04-26",
        '"%s\\%s\\uninstall.exe"' % (PF, folder), 16384,
        HelpLink="https://help.example.com/cobaltwave",
        URLInfoAbout="https://www.example.com/cobaltwave/"),
        "2003-04-26 20:58:31",
        icon=icon_file(folder + "\\messenger.ico", g_bubble, (0, 80, 200), round_tile=True, big=True),
        display_icon="%s\\%s\\messenger.ico" % (PF, folder),
        usage=(mb(16.0), "2006-04-02 19:05:50", 30, "%s\\%s\\cwmsg.exe" % (PF, folder))))

    folder = "Ironbark\\Disk Optimizer"
    P.append(Program("IronbarkDiskOptimizer", plain_values(
        "Ironbark Disk Optimizer 3", "3.0.7", "Ironbark Utilities", folder, "2005-10-15",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 8602,
        URLInfoAbout="https://www.example.org/ironbark/"),
        "2005-10-15 11:11:40",
        icon=icon_file(folder + "\\optimizer.ico", g_blocks, (80, 95, 120)),
        display_icon="%s\\%s\\optimizer.ico" % (PF, folder)))

    guid = "{E27B0A59-1C84-4D36-A0F2-6B9D3E7C5148}"
    folder = "Vireo\\InkJet 840"
    P.append(Program(guid, msi_values(
        guid, "Vireo InkJet 840 Printer Software", "1.40.0", "Vireo Imaging", folder, "2002-11-30", 32358,
        HelpLink="https://support.example.com/vireo/inkjet840",
        URLInfoAbout="https://www.example.com/vireo/"),
        "2002-11-30 14:36:22",
        icon=icon_file(folder + "\\printer.ico", g_printer, (70, 150, 220)),
        display_icon="%s\\%s\\printer.ico" % (PF, folder),
        # Windows kept a record but had nothing in it.
        usage=(UNKNOWN, UNKNOWN, UNKNOWN, None)))

    folder = "Stonebridge\\ScanDirect"
    P.append(Program("StonebridgeScanDirect", plain_values(
        "Stonebridge ScanDirect 2.0", "2.0.3", "Stonebridge Peripherals", folder, "2002-11-30",
        "%s\\%s\\sdsetup.exe -uninstall" % (PF, folder), 21504,
        URLInfoAbout="https://www.example.com/stonebridge/scandirect"),
        "2002-11-30 15:02:14",
        icon=icon_file(folder + "\\scandirect.ico", g_scanner, (40, 130, 75)),
        usage=(mb(21.0), "2005-08-21 14:44:09", 4, "%s\\%s\\scandirect.ico" % (PF, folder))))

    folder = "Juniper Audio\\SoundDeck"
    P.append(Program("JuniperSoundDeck", plain_values(
        "Juniper SoundDeck Audio Panel", "5.12.01.3", "Juniper Audio Labs", folder, "2002-09-15",
        "%s\\%s\\sdremove.exe" % (PF, folder), 19251,
        URLInfoAbout="https://www.example.net/juniper-audio/"),
        "2002-09-15 09:40:27",
        icon=icon_file(folder + "\\sounddeck.ico", g_speaker, (120, 60, 160), round_tile=True),
        display_icon="%s\\%s\\sounddeck.ico,0" % (PF, folder),
        usage=(UNKNOWN, "2003-03-02 20:40:11", 0, "%s\\%s\\sounddeck.exe" % (PF, folder))))

    folder = "Pelican\\Display Center"
    P.append(Program("PelicanDisplayCenter", plain_values(
        "Pelican Display Control Center", "6.14.10", "Pelican Graphics", folder, "2002-09-15",
        '"%s\\%s\\uninstall.exe"' % (PF, folder), 26112,
        URLInfoAbout="https://www.example.com/pelican/"),
        "2002-09-15 09:51:03",
        icon=icon_file(folder + "\\display.ico", g_monitor, (210, 70, 50)),
        display_icon="%s\\%s\\display.ico" % (PF, folder)))

    folder = "Tessellate\\Runtime 2.1"
    P.append(Program("TessellateRuntime", plain_values(
        "Tessellate Runtime Libraries 2.1", "2.1.4", "Tessellate Systems", folder, "2003-02-08",
        '"%s\\%s\\rtremove.exe"' % (PF, folder), 9420,
        # Other programs need it, so its installer asks that it not be offered for removal.
        NoRemove=1, NoModify=1, NoRepair=1,
        URLInfoAbout="https://www.example.org/tessellate/runtime"),
        "2003-02-08 13:30:55",
        icon=icon_file(folder + "\\runtime.ico", g_cube, (60, 90, 160)),
        display_icon="%s\\%s\\runtime.ico" % (PF, folder)))

    folder = "Wrenfield\\Family Tree 5"
    P.append(Program("WrenfieldFamilyTree5", plain_values(
        "Wrenfield Family Tree 5", "5.0.1", "Wrenfield Genealogy", folder, "2005-11-26",
        demo_uninstaller("remove", "WrenfieldFamilyTree5"), 65536,
        HelpLink="https://www.example.org/wrenfield/help",
        URLInfoAbout="https://www.example.org/wrenfield/",
        Contact="Wrenfield Genealogy, 1-800-555-0182"),
        "2005-11-26 17:59:34",
        icon=icon_file(folder + "\\familytree.ico", g_tree, (110, 120, 40)),
        display_icon="%s\\%s\\familytree.ico" % (PF, folder),
        usage=(mb(64.0), "2006-01-29 16:37:25", 8, "%s\\%s\\ftree.exe" % (PF, folder))))

    guid = "{5B1E8F30-94D7-4C62-8A0B-D37F25E6C914}"
    folder = "Compass Rose\\Route Planner 2004"
    P.append(Program(guid, msi_values(
        guid, "Compass Rose Route Planner 2004", "8.10.0", "Compass Rose Maps", folder, "2004-06-12", 706560,
        URLInfoAbout="https://www.example.net/compassrose/"),
        "2004-06-12 10:20:48",
        icon=icon_file(folder + "\\route.ico", g_compass, (20, 120, 120), round_tile=True, big=True),
        display_icon="%s\\%s\\route.ico" % (PF, folder),
        usage=(723_517_440, "2004-08-20 07:45:19", 3, "%s\\%s\\route.exe" % (PF, folder))))

    folder = "Larkspur\\Weather Desk"
    P.append(Program("LarkspurWeatherDesk", plain_values(
        "Larkspur Weather Desk", "3.1", "Larkspur Software", folder, "2005-08-07",
        demo_uninstaller("remove", "LarkspurWeatherDesk"), 4301,
        URLInfoAbout="https://www.example.com/larkspur/weather"),
        "2005-08-07 12:14:03",
        icon=icon_file(folder + "\\weather.ico", g_weather, (60, 150, 230)),
        display_icon="%s\\%s\\weather.ico,0" % (PF, folder),
        usage=(mb(4.2), "2006-04-02 07:30:12", 22, "%s\\%s\\wdesk.exe" % (PF, folder))))

    folder = "Mossbank\\SciCalc"
    P.append(Program("MossbankSciCalc", plain_values(
        "Mossbank Scientific Calculator 1.2", "1.2", "Mossbank Freeware", folder, "2003-03-15",
        "%s\\%s\\uninstall.exe" % (PF, folder), None,
        URLInfoAbout="https://www.example.org/mossbank/"),
        "2003-03-15 19:07:33"))

    folder = "Bramble\\Paint 3"
    P.append(Program("BramblePaint3", plain_values(
        "Bramble Paint 3", "3.0.2", "Bramble Creative", folder, "2004-04-03",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 33792,
        HelpLink="https://www.example.net/bramble/paint/help",
        URLInfoAbout="https://www.example.net/bramble/"),
        "2004-04-03 14:55:27",
        icon=icon_file(folder + "\\paint.ico", g_palette, (180, 140, 90), round_tile=True),
        display_icon="%s\\%s\\paint.ico" % (PF, folder),
        usage=(mb(33.0), "2005-12-26 11:18:40", 10, "%s\\%s\\bpaint.exe" % (PF, folder))))

    folder = "Hazelnut\\PocketSync"
    P.append(Program("HazelnutPocketSync", plain_values(
        "Hazelnut PocketSync 4.1", "4.1.0", "Hazelnut Mobile", folder, "2003-09-13",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 42701,
        URLInfoAbout="https://www.example.com/hazelnut/pocketsync"),
        "2003-09-13 16:25:40",
        icon=icon_file(folder + "\\pocketsync.ico", g_pda, (230, 120, 30)),
        display_icon="%s\\%s\\pocketsync.ico" % (PF, folder)))

    folder = "Oakhurst\\Chess 2004"
    P.append(Program("OakhurstChess2004", plain_values(
        "Oakhurst Chess 2004", "2004.2", "Oakhurst Games", folder, "2004-12-26",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 155648,
        URLInfoAbout="https://www.example.org/oakhurst/chess"),
        "2004-12-26 18:41:19",
        icon=icon_file(folder + "\\chess.ico", g_pawn, (100, 60, 35), big=True),
        display_icon="%s\\%s\\chess.ico" % (PF, folder),
        usage=(mb(152.0), "2005-03-05 21:33:52", 13, "%s\\%s\\chess.exe" % (PF, folder))))

    folder = "Skyharbor\\Toolbar"
    # Its uninstaller ends without taking the entry out, so the clean-up is offered.
    P.append(Program("SkyharborToolbar", plain_values(
        "Skyharbor Search Toolbar", "1.6.2", "Skyharbor Search", folder, "2005-06-04",
        demo_uninstaller("leave", "SkyharborToolbar"), 1392,
        URLInfoAbout="https://www.example.net/skyharbor/"),
        "2005-06-04 20:02:37",
        icon=icon_file(folder + "\\toolbar.ico", g_magnifier, (240, 180, 20), round_tile=True),
        display_icon="%s\\%s\\toolbar.ico,0" % (PF, folder),
        usage=(1_425_408, "2005-06-04 20:03:10", 0, "%s\\%s\\shbar.dll" % (PF, folder))))

    folder = "Gullwing\\DVD Player 4"
    P.append(Program("GullwingDVD4", plain_values(
        "Gullwing DVD Player 4", "4.0.5", "Gullwing Digital", folder, "2003-12-24",
        '"%s\\%s\\uninst.exe"' % (PF, folder), 27955,
        URLInfoAbout="https://www.example.com/gullwing/dvd"),
        "2003-12-24 20:17:45",
        icon=icon_file(folder + "\\dvd.ico", g_play, (170, 25, 40)),
        display_icon="%s\\%s\\dvd.ico" % (PF, folder)))

    return P


def add_programs(hive, progs):
    for p in progs:
        values = dict(p.values)
        if p.display_icon is not None:
            values["DisplayIcon"] = p.display_icon
        hive.set(UNINSTALL + "\\" + p.key, p.when, values)
        if p.usage is not None:
            hive.set(ARPCACHE + "\\" + p.key, ARP_REFRESHED,
                     {"SlowInfoCache": usage_record(*p.usage), "Changed": b"\0\0\0\0"})
    # The mahjong game was uninstalled long ago; Windows never dropped its cache record.
    hive.set(ARPCACHE + "\\PinecrestMahjong", ARP_REFRESHED, {
        "SlowInfoCache": usage_record(mb(31.2), "2004-02-10 20:00:00", 9,
                                      "%s\\Pinecrest\\Mahjong\\mahjong.exe" % PF),
        "Changed": b"\0\0\0\0"})


def add_system(hive):
    t0 = WINDOWS_INSTALLED
    nt = "Software\\Microsoft\\Windows NT\\CurrentVersion"
    hive.set(nt, SP_INSTALLED, {
        "CSDVersion": "Service Pack 3",
        "CurrentBuild": "2600",
        "CurrentBuildNumber": "2600",
        "CurrentType": "Uniprocessor Free",
        "CurrentVersion": "5.1",
        "DigitalProductId": bytes(164),
        "InstallDate": calendar.timegm(t0.utctimetuple()),
        "ProductId": "12345-oem-0000001-54321",
        "ProductName": "Microsoft Windows XP",
        "RegisteredOrganization": "",
        "RegisteredOwner": OWNER,
        "SystemRoot": "C:\\windows",
    })
    hive.set(nt + "\\Fonts", utc("2005-03-02 20:03:40"), {
        "Courier 10,12,15": "coure.fon",
        "N\u00f8rlund Deco (TrueType)": "NRLDECO.TTF",
        "N\u00f8rlund Deco Bold (TrueType)": "NRLDECOB.TTF",
        "N\u00f8rlund Deco Light (TrueType)": "NRLDECOL.TTF",
        "Small Fonts": "smalle.fon",
    })
    hive.set(nt + "\\Winlogon", t0, {
        "DefaultDomainName": COMPUTER,
        "DefaultUserName": "Robin",
        "Shell": "explorer.exe",
        "Userinit": "C:\\windows\\system32\\userinit.exe,",
    })

    cv = "Software\\Microsoft\\Windows\\CurrentVersion"
    hive.set(cv, t0, {
        "CommonFilesDir": PF + "\\Common Files",
        "DevicePath": Expand("%SystemRoot%\\inf"),
        "MediaPath": Expand("%SystemRoot%\\Media"),
        "ProductId": "12345-oem-0000001-54321",
        "ProgramFilesDir": PF,
        "ProgramFilesPath": Expand("%ProgramFiles%"),
        "RegisteredOrganization": "",
        "RegisteredOwner": OWNER,
        "WallPaperDir": Expand("%SystemRoot%\\Web\\Wallpaper"),
    })
    hive.set(cv + "\\App Paths\\qmwrite.exe", utc("2003-02-08 13:42:05"), {
        "": PF + "\\Quillmark\\Office\\OFFICE11\\QMWRITE.EXE",
        "Path": PF + "\\Quillmark\\Office\\OFFICE11\\",
    })
    hive.set(cv + "\\App Paths\\studio.exe", utc("2003-11-22 18:04:50"), {
        "": PF + "\\Brightleaf\\Photo Studio\\studio.exe",
        "Path": PF + "\\Brightleaf\\Photo Studio",
    })
    hive.key(cv + "\\Explorer\\AutoplayHandlers", t0)
    hive.set(cv + "\\Explorer\\Shell Folders", t0, {
        "Common AppData": "C:\\Documents and Settings\\All Users\\Application Data",
        "Common Desktop": "C:\\Documents and Settings\\All Users\\Desktop",
        "Common Documents": "C:\\Documents and Settings\\All Users\\Documents",
        "Common Programs": "C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
        "Common Start Menu": "C:\\Documents and Settings\\All Users\\Start Menu",
        "Common Startup": "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup",
    })
    hive.set(cv + "\\Run", utc("2005-06-04 20:02:36"), {
        "CobaltwaveMessenger": '"%s\\Cobaltwave\\Messenger\\cwmsg.exe" /background' % PF,
        "KestrelTray": '"%s\\Kestrel Security\\Antivirus\\kavtray.exe"' % PF,
        "PocketSync": "%s\\Hazelnut\\PocketSync\\psmon.exe" % PF,
        "SkyharborUpdate": "%s\\Skyharbor\\Toolbar\\shupdate.exe /q" % PF,
        "SoundDeckTray": "%s\\Juniper Audio\\SoundDeck\\sdtray.exe" % PF,
    })
    hive.set(cv + "\\Setup", t0, {
        "BootDir": "C:\\",
        "SourcePath": "D:\\I386",
    })

    classes = "Software\\Classes"
    hive.set(classes + "\\.jpg", utc("2003-11-22 18:04:49"),
             {"": "Brightleaf.Image", "Content Type": "image/jpeg", "PerceivedType": "image"})
    hive.set(classes + "\\.mp3", utc("2003-06-17 20:31:12"),
             {"": "Orchard.Audio", "Content Type": "audio/mpeg", "PerceivedType": "audio"})
    hive.set(classes + "\\.pdf", utc("2003-08-30 10:05:31"),
             {"": "Copperline.Document", "Content Type": "application/pdf"})
    hive.set(classes + "\\.txt", t0, {"": "txtfile", "Content Type": "text/plain", "PerceivedType": "text"})
    hive.set(classes + "\\.txt\\ShellNew", t0, {"NullFile": ""})
    hive.set(classes + "\\.zip", utc("2002-10-05 17:22:08"),
             {"": "ZipCrate.Archive", "Content Type": "application/x-zip-compressed"})
    hive.set(classes + "\\Brightleaf.Image", utc("2003-11-22 18:04:49"), {"": "JPEG Image"})
    hive.set(classes + "\\Brightleaf.Image\\DefaultIcon", utc("2003-11-22 18:04:49"),
             {"": PF + "\\Brightleaf\\Quick Viewer\\viewer.ico"})
    hive.set(classes + "\\Brightleaf.Image\\shell\\open\\command", utc("2003-11-22 18:04:49"),
             {"": '"%s\\Brightleaf\\Quick Viewer\\viewer.exe" "%%1"' % PF})
    hive.set(classes + "\\Copperline.Document", utc("2003-08-30 10:05:31"), {"": "Portable Page Document"})
    hive.set(classes + "\\Copperline.Document\\shell\\open\\command", utc("2003-08-30 10:05:31"),
             {"": '"%s\\Copperline\\Page Reader 6.0\\Reader\\PageRd32.exe" "%%1"' % PF})
    hive.set(classes + "\\Orchard.Audio", utc("2003-06-17 20:31:12"), {"": "MP3 Audio File"})
    hive.set(classes + "\\Orchard.Audio\\shell\\play\\command", utc("2003-06-17 20:31:12"),
             {"": '"%s\\Orchard Media\\Jukebox\\jukebox.exe" /play "%%1"' % PF})
    hive.set(classes + "\\txtfile", t0, {"": "Text Document"})
    hive.set(classes + "\\txtfile\\DefaultIcon", t0, {"": Expand("%SystemRoot%\\system32\\shell32.dll,-152")})
    hive.set(classes + "\\txtfile\\shell\\open\\command", t0,
             {"": Expand("%SystemRoot%\\system32\\NOTEPAD.EXE %1")})
    hive.set(classes + "\\ZipCrate.Archive", utc("2002-10-05 17:22:08"), {"": "ZipCrate File"})
    hive.set(classes + "\\ZipCrate.Archive\\DefaultIcon", utc("2002-10-05 17:22:08"),
             {"": PF + "\\Fennwick\\ZipCrate\\zipcrate.ico"})
    hive.set(classes + "\\ZipCrate.Archive\\shell\\open\\command", utc("2002-10-05 17:22:08"),
             {"": '"%s\\Fennwick\\ZipCrate\\zipcrate.exe" "%%1"' % PF})

    hive.set("Software\\Brightleaf\\Photo Studio\\4.0", utc("2003-11-22 18:04:51"), {
        "InstallPath": PF + "\\Brightleaf\\Photo Studio",
        "Language": "English",
        "RecentFolder": "C:\\Documents and Settings\\Robin\\My Documents\\My Pictures",
    })
    hive.set("Software\\Kestrel Security\\Antivirus", utc("2006-03-31 04:12:55"), {
        "DefinitionsDate": "2006-03-31",
        "InstallDir": PF + "\\Kestrel Security\\Antivirus",
        "RealtimeScan": 1,
        "Version": "2005.11.0.42",
    })
    hive.set("Software\\Orchard Media\\Jukebox\\3.0", utc("2003-06-17 20:31:14"), {
        "LibraryPath": "C:\\Documents and Settings\\Robin\\My Documents\\My Music",
        "Skin": "Classic",
    })
    hive.set("Software\\Quillmark\\Office\\11.0\\Common\\InstallRoot", utc("2003-02-08 13:42:05"), {
        "Path": PF + "\\Quillmark\\Office\\OFFICE11\\",
    })

    ccs = "System\\CurrentControlSet"
    hive.set(ccs + "\\Control\\ComputerName\\ComputerName", t0, {"ComputerName": COMPUTER})
    hive.set(ccs + "\\Control\\ProductOptions", t0, {"ProductType": "WinNT"})
    hive.set(ccs + "\\Control\\Session Manager\\Environment", t0, {
        "ComSpec": Expand("%SystemRoot%\\system32\\cmd.exe"),
        "NUMBER_OF_PROCESSORS": "1",
        "OS": "Windows_NT",
        "Path": Expand("%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem"),
        "PATHEXT": ".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH",
        "PROCESSOR_ARCHITECTURE": "x86",
        "TEMP": Expand("%SystemRoot%\\TEMP"),
        "TMP": Expand("%SystemRoot%\\TEMP"),
        "windir": Expand("%SystemRoot%"),
    })
    hive.set(ccs + "\\Control\\TimeZoneInformation", t0, {
        "Bias": 300,
        "DaylightBias": 0xFFFFFFC4,
        "DaylightName": "Eastern Daylight Time",
        "StandardBias": 0,
        "StandardName": "Eastern Standard Time",
    })
    hive.set(ccs + "\\Control\\Windows", SP_INSTALLED, {"CSDVersion": 0x300})
    hive.set(ccs + "\\Services\\KestrelAV", utc("2004-10-03 11:52:38"), {
        "Description": "Scans files as they are opened.",
        "DisplayName": "Kestrel Antivirus Realtime Scanner",
        "ErrorControl": 1,
        "ImagePath": '"%s\\Kestrel Security\\Antivirus\\kavsvc.exe"' % PF,
        "ObjectName": "LocalSystem",
        "Start": 2,
        "Type": 0x10,
    })
    hive.set(ccs + "\\Services\\Tcpip\\Parameters", t0, {
        "Domain": "",
        "Hostname": COMPUTER,
        "NV Hostname": COMPUTER,
    })
    hive.set("System\\Select", t0, {"Current": 1, "Default": 1, "Failed": 0, "LastKnownGood": 2})


def windows_to_disk(drive_c, windows_path):
    assert windows_path.startswith("C:\\"), windows_path
    return drive_c.joinpath(*windows_path[3:].split("\\"))


def main():
    repo = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=Path, default=repo / "data" / "demo",
                        help="folder to write system.reg and drive_c/ into")
    out = parser.parse_args().out
    out.mkdir(parents=True, exist_ok=True)

    progs = programs()
    hive = Hive()
    add_system(hive)
    add_programs(hive, progs)
    write_hive(hive, out / "system.reg")

    drive_c = out / "drive_c"
    if drive_c.exists():
        shutil.rmtree(drive_c)
    count = 0
    for p in progs:
        if p.icon is None:
            continue
        rel, glyph, colour, round_tile, sizes = p.icon
        target = windows_to_disk(drive_c, PF + "\\" + rel)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(draw_icon(glyph, colour, round_tile, sizes))
        count += 1
    print("wrote %s: %d uninstall entries, %d icons" % (out, len(progs), count), file=sys.stderr)


if __name__ == "__main__":
    main()
