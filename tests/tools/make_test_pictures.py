#!/usr/bin/env python3
"""make_test_pictures.py OUT_DIR: the test pictures, four quarters upright (red
top left, green top right, blue bottom left, yellow bottom right) as PNGs and
modern BMPs written by hand and JPEGs by ImageMagick; noise pictures as plain
and interlaced PNGs (exif6.jpg turned a quarter
left with EXIF orientation 6; cmyk.jpg in CMYK; damaged.jpg cut in half;
huge_progressive.jpg an 8000 x 8000 progressive JPEG cut to 64 KB).
make_test_pictures.py --quarters FRAME.png: the colour lit in each quarter.
"""
import os
import struct
import subprocess
import sys
import zlib

W, H = 64, 48
RED, GREEN, BLUE, YELLOW = (220, 30, 30), (30, 200, 30), (30, 30, 220), (220, 220, 30)


def quarters(w=W, h=H):
    """Rows from the top, each a list of (r, g, b)."""
    return [[(RED if x < w // 2 else GREEN) if y < h // 2 else (BLUE if x < w // 2 else YELLOW)
             for x in range(w)] for y in range(h)]


# Adam7: first column and row, column and row steps of each pass.
ADAM7 = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2))


def png(path, rows, colour_type, depth=8, palette=None, alpha=None, interlaced=False):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    if interlaced:  # each pass a picture of its own; empty ones take no bytes
        passes = [[row[x0::dx] for row in rows[y0::dy]] for x0, y0, dx, dy in ADAM7]
        lines = [row for rows_of_pass in passes for row in rows_of_pass if row]
    else:
        lines = rows
    raw = bytearray()
    for row in lines:
        raw.append(0)
        for p in row:
            if colour_type == 3:
                raw.append(palette.index(p))
            else:
                for v in p + ((alpha,) if alpha is not None else ()):
                    raw += struct.pack(">H", v * 257) if depth == 16 else bytes([v])
    head = struct.pack(">IIBBBBB", len(rows[0]), len(rows), depth, colour_type, 0, 0, int(interlaced))
    body = chunk(b"IHDR", head)
    if palette:
        body += chunk(b"PLTE", b"".join(bytes(p) for p in palette))
    body += chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b"")
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + body)


def bmp_v5_top_down(path, rows):
    """124-byte header, 32 bits a pixel with bit-field masks, rows top down."""
    h, w = len(rows), len(rows[0])
    pixels = b"".join(struct.pack("<I", r << 8 | g << 16 | b << 24) for row in rows for (r, g, b) in row)
    header = struct.pack("<IiiHHIIiiII", 124, w, -h, 1, 32, 3, len(pixels), 2835, 2835, 0, 0)
    header += struct.pack("<IIII", 0xFF00, 0xFF0000, 0xFF000000, 0) + b"sRGB" + bytes(124 - 60)
    offset = 14 + len(header)
    open(path, "wb").write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + pixels)


def bmp_v4_rle8(path, rows):
    """108-byte header, RLE8 through a four-colour palette, rows bottom up."""
    palette = [RED, GREEN, BLUE, YELLOW]
    data = bytearray()
    for row in reversed(rows):
        x = 0
        while x < len(row):
            n = 1
            while x + n < len(row) and row[x + n] == row[x] and n < 255:
                n += 1
            data += bytes([n, palette.index(row[x])])
            x += n
        data += b"\x00\x00"
    data += b"\x00\x01"
    header = struct.pack("<IiiHHIIiiII", 108, len(rows[0]), len(rows), 1, 8, 1, len(data), 0, 0, 4, 0)
    header += bytes(108 - 40)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(header) + len(pal)
    open(path, "wb").write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + pal + data)


def ppm(path, rows):
    open(path, "wb").write(b"P6 %d %d 255\n" % (len(rows[0]), len(rows)) + bytes(v for row in rows for p in row for v in p))


def with_orientation(jpeg, value):
    """The JPEG with an APP1 EXIF segment carrying only the orientation tag."""
    tiff = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", 1)
    tiff += struct.pack("<HHIHH", 0x0112, 3, 1, value, 0) + struct.pack("<I", 0)
    app1 = b"Exif\x00\x00" + tiff
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + jpeg[2:]


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def quarters_of(path):
    """The colour lit in each quarter of a frame, row by row, read through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True)
    w, h = (int(v) for v in size.stdout.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    names, seen = {RED: "red", GREEN: "green", BLUE: "blue", YELLOW: "yellow"}, []
    for qy, qx in ((0, 0), (0, 1), (1, 0), (1, 1)):
        lit = [raw[k:k + 3] for y in range(qy * h // 2, (qy + 1) * h // 2)
               for k in range((y * w + qx * w // 2) * 3, (y * w + (qx + 1) * w // 2) * 3, 3) if max(raw[k:k + 3]) > 60]
        mean = [sum(p[c] for p in lit) / max(len(lit), 1) for c in range(3)]
        best = min(names, key=lambda c: sum((a - b) ** 2 for a, b in zip(c, mean)))
        seen.append(names[best] if lit and sum((a - b) ** 2 for a, b in zip(best, mean)) < 3 * 40 ** 2 else "other")
    return " ".join(seen)


def main():
    if sys.argv[1] == "--quarters":
        print(quarters_of(sys.argv[2]))
        return
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rows = quarters()
    png(os.path.join(out, "rgb8.png"), rows, 2)
    png(os.path.join(out, "rgb16.png"), rows, 2, depth=16)
    png(os.path.join(out, "palette.png"), rows, 3, palette=[RED, GREEN, BLUE, YELLOW])
    png(os.path.join(out, "alpha.png"), rows, 6, alpha=128)  # over black: every colour halved
    # Every pixel different, at sizes that leave passes short or empty: plain and interlaced.
    for w, h, kind in ((37, 29, 2), (5, 3, 6)):
        noise = [[((x * 37 + y * 11) % 256, (x * x + y * 7) % 256, (x * y * 3) % 256) for x in range(w)]
                 for y in range(h)]
        for interlaced in (False, True):
            name = "noise%dx%d%s.png" % (w, h, "-adam7" if interlaced else "")
            png(os.path.join(out, name), noise, kind, alpha=200 if kind == 6 else None, interlaced=interlaced)
    bmp_v5_top_down(os.path.join(out, "v5.bmp"), rows)
    bmp_v4_rle8(os.path.join(out, "v4rle.bmp"), rows)
    ref = os.path.join(out, "ref.ppm")
    ppm(ref, rows)
    convert(ref, "-quality", "95", os.path.join(out, "base.jpg"))
    convert(ref, "-quality", "95", "-interlace", "JPEG", os.path.join(out, "progressive.jpg"))
    convert(ref, "-colorspace", "CMYK", "-quality", "95", os.path.join(out, "cmyk.jpg"))  # Adobe, inverted
    left = os.path.join(out, "left.jpg")
    convert(ref, "-rotate", "-90", "-quality", "95", left)
    open(os.path.join(out, "exif6.jpg"), "wb").write(with_orientation(open(left, "rb").read(), 6))
    os.remove(left)
    base = open(os.path.join(out, "base.jpg"), "rb").read()
    open(os.path.join(out, "damaged.jpg"), "wb").write(base[:len(base) // 2])
    os.remove(ref)
    # An 8000 x 8000 progressive JPEG cut to its first 64 KB: a small file whose
    # decoder would keep every coefficient of the whole picture.
    huge = os.path.join(out, "huge_progressive.jpg")
    convert("-size", "8000x8000", "xc:gray", "-quality", "5", "-interlace", "JPEG", "-sampling-factor", "1x1", huge)
    data = open(huge, "rb").read()
    open(huge, "wb").write(data[:65536])


if __name__ == "__main__":
    main()
