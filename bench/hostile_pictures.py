#!/usr/bin/env python3
"""Peak memory and time of one frame of the orvex tool with small hostile
picture files on line 17, each against the same frame with a 64 x 64 picture.

  bench/hostile_pictures.py [--make FOLDER] [NAME=]ORVEX [[NAME=]ORVEX ...]

Each ORVEX (for instance an older build and this one) renders one 640 x 480
frame with every file; the table gives wall time and peak resident size per
build. --make FOLDER only writes the files (the page test drops the same
ones). Every file is at most 64 KB.
"""
import argparse
import io
import os
import resource
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib


def bmp(width, height, bits, compression=0, colors_used=0, data=b"", offset=None, file_header=True):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(data), 2835, 2835,
                       colors_used, 0)
    head = 14 + 40
    if offset is None:
        offset = head
    return (b"BM" + struct.pack("<IHHI", head + len(data), 0, 0, offset) if file_header else b"") + info + data


def png(width, height, depth=8, colour=2, rows=None):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    idat = zlib.compress(rows, 9) if rows is not None else zlib.compress(b"\0" * 64)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", idat) + chunk(b"IEND", b"")


def jpeg_sof(width, height):
    # SOI, a baseline frame header, a scan header and nothing after it.
    sof = b"\xff\xc0" + struct.pack(">HBHHB", 17, 8, height, width, 3) + b"\x01\x22\x00\x02\x11\x00\x03\x11\x00"
    sos = b"\xff\xda" + struct.pack(">HB", 12, 3) + b"\x01\x00\x02\x11\x03\x11\x00\x3f\x00"
    return b"\xff\xd8" + sof + sos + b"\xff\xd9"


def rle_end_of_bitmap(width, height):
    return bmp(width, height, 8, compression=1, colors_used=2, data=b"\0\0\0\0\xff\xff\xff\0" + b"\0\1")


def convert(*args):
    return subprocess.run(["convert", *args[:-1], args[-1] + "-"], capture_output=True, check=True).stdout


def make(folder):
    os.makedirs(folder, exist_ok=True)
    files = {
        "bits65535_54b.bmp": bmp(131072, 1, 65535),
        "bits65535_176b.bmp": bmp(440000, 1, 65535, data=bytes(range(122))),
        "bits0.bmp": bmp(1000, 1000, 0, data=b"\0" * 64),
        "wide_2e30.bmp": bmp(1 << 30, 1, 24, data=b"\0" * 64),
        "offset_past_end.bmp": bmp(64, 64, 24, data=b"\0" * 64, offset=1 << 30),
        "palette_2e31.bmp": bmp(64, 64, 8, colors_used=1 << 31, data=b"\0" * 64, file_header=False),
        "rle_60000sq.bmp": rle_end_of_bitmap(60000, 60000),
        "rle_8192sq.bmp": rle_end_of_bitmap(8192, 8192),
        "rle_64Mx1.bmp": rle_end_of_bitmap(1 << 26, 1),
        "png_1e6sq.png": png(1000000, 1000000),
        "png_8000sq_solid.png": png(8000, 8000, depth=1, colour=0, rows=(b"\0" + b"\xff" * 1000) * 8000),
        "jpeg_65500sq.jpg": jpeg_sof(65500, 65500),
        "jpeg_8000sq_cut.jpg": convert("-size", "8000x8000", "xc:gray", "-quality", "5", "-sampling-factor",
                                        "2x2", "jpeg:")[:65536],
        "jpeg_8000sq_progressive.jpg": convert("-size", "8000x8000", "xc:gray", "-quality", "5", "-interlace",
                                               "JPEG", "-sampling-factor", "1x1", "jpeg:")[:65536],
    }
    photo = convert("-size", "640x480", "gradient:red-blue", "-quality", "90", "jpeg:")
    files["truncated.jpg"] = photo[: len(photo) // 2]
    files["small_64.bmp"] = convert("-size", "64x64", "xc:red", "BMP3:")
    for name, data in files.items():
        assert len(data) <= 65536, (name, len(data))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    return sorted(files, key=lambda n: (n != "small_64.bmp", n))


def measure(orvex, picture):
    folder = tempfile.mkdtemp(prefix="orvex_hostile_")
    try:
        os.makedirs(os.path.join(folder, "Pictures"))
        shutil.copy(picture, os.path.join(folder, "Pictures"))
        stored = os.path.splitext(os.path.basename(picture))[0] if picture.endswith(".bmp") else \
            os.path.basename(picture)
        lines = ["1022", "1028", "0", "4", "1", "1", "100", "0", "0", "1045", "0", "1", "0", "1049", "10", "none",
                 stored]
        settings = os.path.join(folder, "ss_ca_02.ini")
        with open(settings, "w") as f:
            f.write("\r\n".join(lines) + "\r\n")
        code = ("import resource, subprocess, sys, time; t = time.perf_counter(); "
                "r = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True); "
                "print(time.perf_counter() - t, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, r.returncode); "
                "print(r.stderr.strip().replace(chr(10), ' ')[:70])")
        out = subprocess.run([sys.executable, "-c", code, orvex, "render", "--settings", settings, "--width", "640",
                              "--height", "480", "--out", os.path.join(folder, "f.png")],
                             capture_output=True, text=True, timeout=600).stdout.split("\n")
        wall, peak, status = out[0].split()
        return float(wall), int(peak) / 1024.0, int(status), out[1].strip()
    finally:
        shutil.rmtree(folder)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--make", metavar="FOLDER")
    parser.add_argument("orvex", nargs="*")
    args = parser.parse_args()
    if args.make:
        make(args.make)
        return
    work = tempfile.mkdtemp(prefix="orvex_hostile_files_")
    names = make(work)
    builds = [o.split("=", 1) if "=" in o else (o, o) for o in args.orvex]
    print("| file | bytes | " + " | ".join("%s: time, peak" % name for name, _ in builds) + " |")
    print("|---|---|" + "---|" * len(args.orvex))
    for name in names:
        path = os.path.join(work, name)
        cells = []
        for _, orvex in builds:
            wall, peak, status, err = measure(orvex, path)
            cells.append("%.2f s, %.0f MB%s" % (wall, peak, " (exit %d)" % status if status not in (0, 1) else ""))
        print("| %s | %d | %s |" % (name, os.path.getsize(path), " | ".join(cells)), flush=True)
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
