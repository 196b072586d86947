#!/usr/bin/env python3
"""Makes the sample pictures that ship in the "Pictures" folder.

    make-pictures.py --names                 the picture names, one a line
    make-pictures.py OUT_DIR                 writes OUT_DIR/<name>.bmp for every picture
    make-pictures.py --thumbnails OUT_DIR    writes OUT_DIR/<name>.png, 96 x 72 previews

Every picture is computed here from a formula (gradients, plasma, tilings), so
the same script always gives the same bytes; nothing is taken from elsewhere.
Some are stored with a 256-colour palette (8 bits per pixel), some as 24-bit
colour, both uncompressed with the 40-byte info header and bottom row first,
which every BMP reader understands. The field is square while screens are
wider, so the pictures have no text, no horizon and nothing that must stay round:
stretched either way they still look as meant.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 256  # pixels a side: plenty for a texture stretched over at most 1000 cells


def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def mix(a, b, t):
    return tuple(a[k] + (b[k] - a[k]) * t for k in range(3))


def ramp(stops, t):
    """Colour at t (0..1) along a list of (position, (r, g, b)) stops."""
    t = min(max(t, 0.0), 1.0)
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0.0)
    return stops[-1][1]


class Lcg:
    """A small fixed generator, so tilings come out the same everywhere."""

    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 16) % n


# --- the pictures: each gives a colour (0..255 floats) or a palette index per pixel ---

SUNSET = [(0.0, (40, 16, 70)), (0.45, (190, 50, 80)), (0.75, (250, 140, 40)), (1.0, (255, 220, 120))]


def sunset(x, y):
    """Diagonal warm gradient with soft bands (24-bit)."""
    t = 1.0 - (0.7 * y + 0.3 * x)
    t += 0.03 * math.sin(18.0 * t + 4.0 * x)
    return ramp(SUNSET, t)


def aurora(x, y):
    """Four-wave plasma in greens, teals and violets (24-bit)."""
    v = (math.sin(9.0 * x) + math.sin(7.0 * y + 1.3) + math.sin(6.0 * (x + y) + 0.7)
         + math.sin(8.0 * math.hypot(x - 0.6, y - 0.4)))
    t = (v + 4.0) / 8.0
    return (clamp(60 + 160 * (0.5 + 0.5 * math.sin(6.283 * t + 3.5))),
            clamp(40 + 200 * (0.5 + 0.5 * math.sin(6.283 * t))),
            clamp(90 + 160 * (0.5 + 0.5 * math.sin(6.283 * t + 1.8))))


def lagoon_palette():
    stops = [(0.0, (4, 30, 66)), (0.35, (0, 120, 160)), (0.6, (60, 200, 190)),
             (0.8, (220, 240, 200)), (1.0, (4, 30, 66))]
    return [ramp(stops, k / 255.0) for k in range(256)]


def lagoon(x, y):
    """Ripple plasma through a sea palette (8-bit)."""
    v = (math.sin(10.0 * math.hypot(x - 0.3, y - 0.7)) + math.sin(12.0 * math.hypot(x - 0.8, y - 0.2))
         + math.sin(5.0 * x + 3.0 * y))
    return int((v + 3.0) / 6.0 * 255.999)


def ember_palette():
    stops = [(0.0, (10, 0, 0)), (0.3, (120, 10, 0)), (0.6, (230, 90, 0)),
             (0.85, (255, 200, 40)), (1.0, (255, 250, 200))]
    return [ramp(stops, k / 255.0) for k in range(256)]


def ember(x, y):
    """Radial glow with a soft swirl, through a fire palette (8-bit)."""
    dx, dy = x - 0.5, y - 0.5
    r = math.hypot(dx, dy) / 0.7071
    swirl = 0.08 * math.sin(6.0 * math.atan2(dy, dx) + 10.0 * r)
    return int(min(max(1.0 - r + swirl, 0.0), 1.0) * 255.999)


TRUCHET_COLOURS = [(28, 38, 92), (232, 196, 96), (150, 60, 110)]


def truchet_palette():
    # 0..63 background to arc colour, 64..127 arc colour to the second arc colour.
    a, b, c = TRUCHET_COLOURS
    return [mix(a, b, k / 63.0) for k in range(64)] + [mix(b, c, k / 63.0) for k in range(64)] + \
        [c] * 128


def make_truchet():
    tiles, cells = 8, Lcg(20261209)
    flips = [[cells.next(2) for _ in range(tiles)] for _ in range(tiles)]

    def truchet(x, y):
        """Quarter-circle Truchet tiles: endless winding bands (8-bit)."""
        u, v = x * tiles, y * tiles
        i, j = min(int(u), tiles - 1), min(int(v), tiles - 1)
        fu, fv = u - i, v - j
        if flips[j][i]:
            fu = 1.0 - fu
        d = min(abs(math.hypot(fu, fv) - 0.5), abs(math.hypot(1.0 - fu, 1.0 - fv) - 0.5))
        band = max(0.0, 1.0 - d / 0.16)  # 1 at the middle of a band, 0 off it
        if band <= 0.0:
            return 0
        return 64 + int(63.999 * (0.5 + 0.5 * math.cos(3.1416 * band))) if band > 0.5 \
            else int(63.999 * band * 2.0)

    return truchet


def checker_glass(x, y):
    """Bevelled glass tiles in a two-tone checker, lit from the top left (24-bit)."""
    tiles = 6
    u, v = x * tiles, y * tiles
    i, j = int(u) % tiles, int(v) % tiles
    fu, fv = u - int(u), v - int(v)
    base = (70, 150, 210) if (i + j) % 2 else (240, 180, 200)
    edge = min(fu, fv, 1.0 - fu, 1.0 - fv)
    light = 1.0
    if edge < 0.12:  # the bevel: light on the upper and left faces, shade on the others
        light = 1.25 if min(fu, 1.0 - fv) == edge else 0.7
    shine = 0.25 * math.exp(-((fu - 0.3) ** 2 + (fv - 0.7) ** 2) * 12.0)
    return tuple(clamp(c * light + 255 * shine) for c in base)


def rainbow(x, y):
    """Hue sweep along one diagonal, darker along the other (24-bit)."""
    h = (x + y) * 0.5
    s = 0.75 + 0.25 * math.cos(6.283 * (x - y))
    rgb = [0.5 + 0.5 * math.cos(6.283 * (h + k / 3.0)) for k in range(3)]
    return tuple(clamp(255 * c * s) for c in rgb)


# name: (bits per pixel, pixel function, palette or None)
PICTURES = {
    "Sunset": (24, sunset, None),
    "Aurora": (24, aurora, None),
    "GlassTiles": (24, checker_glass, None),
    "Rainbow": (24, rainbow, None),
    "Lagoon": (8, lagoon, lagoon_palette),
    "Ember": (8, ember, ember_palette),
    "Truchet": (8, make_truchet, truchet_palette),
}


def render(name, size=SIZE):
    """(bits, rows top first, palette): rows of (r, g, b) tuples or of palette indices."""
    bits, function, palette = PICTURES[name]
    if name == "Truchet":
        function = function()
    rows = []
    for py in range(size):
        y = 1.0 - (py + 0.5) / size  # y grows upward
        rows.append([function((px + 0.5) / size, y) for px in range(size)])
    if bits == 24:
        rows = [[tuple(clamp(c) for c in p) for p in row] for row in rows]
        return bits, rows, None
    return bits, rows, [tuple(clamp(c) for c in entry) for entry in palette()]


def bmp_bytes(bits, rows, palette):
    height, width = len(rows), len(rows[0])
    stride = (width * bits // 8 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):  # bottom row first
        line = bytearray()
        for p in row:
            line += bytes((p[2], p[1], p[0])) if bits == 24 else bytes((p,))
        body += line + bytes(stride - len(line))
    table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette) if palette else b""
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 2835, 2835,
                       len(palette) if palette else 0, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset) + info + table + bytes(body)


def png_bytes(rows_rgb):
    height, width = len(rows_rgb), len(rows_rgb[0])
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows_rgb)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def thumbnail(name, width=96, height=72):
    """The picture as the saver shows it, stretched to a screen-like 4:3 box."""
    bits, rows, palette = render(name, 192)
    if bits == 8:
        rows = [[palette[i] for i in row] for row in rows]
    size = len(rows)
    return [[rows[(y * size) // height][(x * size) // width] for x in range(width)] for y in range(height)]


def main(argv):
    if argv[1:] == ["--names"]:
        print("\n".join(PICTURES))
        return 0
    if len(argv) == 3 and argv[1] == "--thumbnails":
        os.makedirs(argv[2], exist_ok=True)
        for name in PICTURES:
            with open(os.path.join(argv[2], name + ".png"), "wb") as f:
                f.write(png_bytes(thumbnail(name)))
        return 0
    if len(argv) == 2 and not argv[1].startswith("-"):
        os.makedirs(argv[1], exist_ok=True)
        for name in PICTURES:
            with open(os.path.join(argv[1], name + ".bmp"), "wb") as f:
                f.write(bmp_bytes(*render(name)))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
