#!/usr/bin/env python3
"""Worst gap between frames and peak memory of the Linux saver while pictures
cycle, with a reseed every 10 s at speed 25, under an X server (Xvfb).

  DISPLAY=:76 bench/picture_stall.py build/linux/host/x11/orvex-hack [OLD_HACK]

Three sets of pictures, each run for --seconds (default 45, four reseeds):
"small" two 256 x 256 BMPs; "photos" the same two with a 24 MP JPEG and a
24 MP BMP (6000 x 4000, made here with ImageMagick);
"bmp-photo" the two small ones with the 24 MP BMP only, which an older saver
that reads only BMPs can show too. Each hack given runs every set; the gaps
come from an LD_PRELOAD shim around glXSwapBuffers (bench/swap_timer.c),
the peak memory from the process's VmHWM. Then the session on its own: the
orvex tool of the same build (BUILD/tools/orvex/orvex beside BUILD/host/x11)
renders one frame of each photo, timed with its peak memory.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SECONDS = 45
if "--seconds" in sys.argv:
    i = sys.argv.index("--seconds")
    SECONDS = float(sys.argv[i + 1])
    del sys.argv[i:i + 2]


def small_bmp(path, colour):
    import struct
    w = h = 256
    data = bytes(colour[::-1]) * (w * h)
    head = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    head += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 0, 0, 0, 0)
    open(path, "wb").write(head + data)


def make_photos(out):
    """big.jpg and big.bmp, 6000 x 4000, four coloured quarters."""
    os.makedirs(out)
    ppm, w, h = os.path.join(out, "big.ppm"), 6000, 4000
    top = bytes((220, 30, 30)) * (w // 2) + bytes((30, 200, 30)) * (w // 2)
    bottom = bytes((30, 30, 220)) * (w // 2) + bytes((220, 220, 30)) * (w // 2)
    open(ppm, "wb").write(b"P6 %d %d 255\n" % (w, h) + top * (h // 2) + bottom * (h // 2))
    subprocess.run(["convert", ppm, "-quality", "90", os.path.join(out, "big.jpg")], check=True)
    subprocess.run(["convert", ppm, "BMP3:" + os.path.join(out, "big.bmp")], check=True)
    os.remove(ppm)


def run(hack, folder, first, shim, work):
    out = os.path.join(work, "swaps")
    if os.path.exists(out):
        os.remove(out)
    env = dict(os.environ, LD_PRELOAD=shim, SWAP_TIMER_OUT=out, XDG_CONFIG_HOME=os.path.join(work, "config"))
    proc = subprocess.Popen([hack, "--window", "--speed", "25", "--reset", "time", "--reset-time", "10",
                             "--cycle", "--lights", "2", "--pattern", "randomblocks",
                             "--picture", os.path.join(folder, first)],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    peak = 0
    end = time.monotonic() + SECONDS
    while time.monotonic() < end and proc.poll() is None:
        try:
            for line in open("/proc/%d/status" % proc.pid):
                if line.startswith("VmHWM:"):
                    peak = max(peak, int(line.split()[1]))
        except OSError:
            pass
        time.sleep(0.2)
    proc.terminate()
    try:
        _, err = proc.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        _, err = proc.communicate()
    worst, swaps = (int(v) for v in open(out).read().split()) if os.path.exists(out) else (0, 0)
    return worst / 1000.0, swaps, peak / 1024.0, err.strip()


def main():
    hacks = sys.argv[1:]
    if not hacks or "DISPLAY" not in os.environ:
        sys.exit(__doc__)
    work = tempfile.mkdtemp(prefix="orvex_stall_")
    try:
        shim = os.path.join(work, "swap_timer.so")
        subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", shim, os.path.join(HERE, "swap_timer.c"), "-ldl"],
                       check=True)
        big = os.path.join(work, "big")
        make_photos(big)
        sets = {"small": [], "photos": ["big.jpg", "big.bmp"], "bmp-photo": ["big.bmp"]}
        for name, photos in sets.items():
            folder = os.path.join(work, name)
            os.makedirs(folder)
            small_bmp(os.path.join(folder, "a.bmp"), (200, 120, 40))
            small_bmp(os.path.join(folder, "b.bmp"), (40, 90, 200))
            for p in photos:
                os.link(os.path.join(big, p), os.path.join(folder, p))
        print("%-40s %-10s %12s %7s %10s" % ("hack", "pictures", "worst gap", "swaps", "peak"))
        for hack in hacks:
            for name in sets:
                worst, swaps, peak, err = run(hack, os.path.join(work, name), "a.bmp", shim, work)
                print("%-40s %-10s %9.1f ms %7d %7.1f MB%s" % (hack[-40:], name, worst, swaps, peak,
                                                                ("  (" + err.splitlines()[0] + ")") if err else ""),
                      flush=True)
        print("%-40s %-10s %12s %10s" % ("orvex render", "picture", "wall", "peak"))
        for hack in hacks:
            orvex = os.path.join(os.path.dirname(hack), "..", "..", "tools", "orvex", "orvex")
            for photo, stored in (("big.bmp", "big"), ("big.jpg", "big.jpg")):
                folder = os.path.join(work, "render")
                os.makedirs(os.path.join(folder, "Pictures"), exist_ok=True)
                shutil.copy(os.path.join(big, photo), os.path.join(folder, "Pictures", photo))
                settings = os.path.join(folder, "ss_ca_02.ini")
                lines = ["1022", "1028", "0", "4", "1", "1", "100", "0", "0", "1045", "0", "1", "0", "1049", "10",
                         "none", stored]
                open(settings, "w").write("\r\n".join(lines) + "\r\n")
                # A child of its own, so that its peak is not that of an earlier run.
                measure = ("import resource, subprocess, sys, time; t = time.perf_counter(); "
                           "r = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, "
                           "text=True); print(time.perf_counter() - t, "
                           "resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss); "
                           "print(r.stderr.strip().replace(chr(10), ' '))")
                out = subprocess.run([sys.executable, "-c", measure, orvex, "render", "--settings", settings,
                                      "--width", "1920", "--height", "1080", "--out", os.path.join(folder, "f.png")],
                                     capture_output=True, text=True, check=True).stdout.split("\n")
                wall, peak = float(out[0].split()[0]), int(out[0].split()[1]) / 1024.0
                err = out[1] if len(out) > 1 else ""
                print("%-40s %-10s %9.2f s %7.1f MB%s" % (orvex[-40:], photo, wall, peak,
                                                         ("  (" + err.strip().splitlines()[0] + ")") if err.strip() else ""),
                      flush=True)
                shutil.rmtree(folder)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
