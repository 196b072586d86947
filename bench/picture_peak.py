#!/usr/bin/env python3
"""Peak memory of one frame of the orvex tool with a 6000 x 4000 picture in
each format and header, against the same frame with a small picture.

  bench/picture_peak.py BUILD/tools/orvex/orvex [WORK_FOLDER]

The pictures (made here with ImageMagick, kept in WORK_FOLDER when given): a
256 x 256 BMP, and the photo as a BMP with ImageMagick's default 124-byte
header, a BMP with the 40-byte header (BMP3:), a baseline JPEG, a progressive
JPEG at full colour resolution (4:4:4, as ImageMagick writes at -quality 90)
and one with halved colour resolution (4:2:0), and a PNG.
Each frame is 1920 x 1080 with the picture on; the peak is the child's
maximum resident size.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

PHOTOS = (("small.bmp", "small"), ("v5.bmp", "v5"), ("bmp3.bmp", "bmp3"), ("baseline.jpg", "baseline.jpg"),
          ("progressive.jpg", "progressive.jpg"), ("progressive420.jpg", "progressive420.jpg"),
          ("photo.png", "photo.png"))


def make(folder):
    ppm = os.path.join(folder, "photo.ppm")
    if not os.path.exists(os.path.join(folder, "progressive420.jpg")):
        subprocess.run(["convert", "-size", "6000x4000", "gradient:red-blue", "-depth", "8", ppm], check=True)
        subprocess.run(["convert", ppm, os.path.join(folder, "v5.bmp")], check=True)
        subprocess.run(["convert", ppm, "BMP3:" + os.path.join(folder, "bmp3.bmp")], check=True)
        subprocess.run(["convert", ppm, "-quality", "90", "-interlace", "JPEG",
                        os.path.join(folder, "progressive.jpg")], check=True)
        subprocess.run(["convert", ppm, "-quality", "90", os.path.join(folder, "baseline.jpg")], check=True)
        subprocess.run(["convert", ppm, "-quality", "90", "-sampling-factor", "2x2", "-interlace", "JPEG",
                        os.path.join(folder, "progressive420.jpg")], check=True)
        subprocess.run(["convert", ppm, os.path.join(folder, "photo.png")], check=True)
        subprocess.run(["convert", "-size", "256x256", "xc:red", "BMP3:" + os.path.join(folder, "small.bmp")],
                       check=True)
        os.remove(ppm)


def main():
    orvex = sys.argv[1]
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="orvex_peak_")
    os.makedirs(work, exist_ok=True)
    make(work)
    print("%-16s %9s %9s" % ("picture", "wall", "peak"))
    for photo, stored in PHOTOS:
        folder = tempfile.mkdtemp(prefix="orvex_peak_run_")
        os.makedirs(os.path.join(folder, "Pictures"))
        os.symlink(os.path.join(os.path.abspath(work), photo), os.path.join(folder, "Pictures", photo))
        settings = os.path.join(folder, "ss_ca_02.ini")
        lines = ["1022", "1028", "0", "4", "1", "1", "100", "0", "0", "1045", "0", "1", "0", "1049", "10", "none",
                 stored]
        open(settings, "w").write("\r\n".join(lines) + "\r\n")
        measure = ("import resource, subprocess, sys, time; t = time.perf_counter(); "
                   "r = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True); "
                   "print(time.perf_counter() - t, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss); "
                   "print(r.stderr.strip().replace(chr(10), ' '))")
        out = subprocess.run([sys.executable, "-c", measure, orvex, "render", "--settings", settings, "--width",
                              "1920", "--height", "1080", "--out", os.path.join(folder, "f.png")],
                             capture_output=True, text=True, check=True).stdout.split("\n")
        wall, peak = float(out[0].split()[0]), int(out[0].split()[1]) / 1024.0
        err = out[1].strip() if len(out) > 1 else ""
        print("%-16s %7.2f s %6.1f MB%s" % (photo, wall, peak, ("  (" + err + ")") if err else ""), flush=True)
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
