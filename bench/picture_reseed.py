#!/usr/bin/env python3
"""Pictures cycling faster than they decode: the Linux saver with four large
pictures, a pattern that the period check reseeds every few steps, speed 25,
cycling on, for --seconds (default 40) under an X server (Xvfb).

  DISPLAY=:76 bench/picture_reseed.py HACK PICTURES_FOLDER [--seconds 40]

PICTURES_FOLDER holds the pictures (e.g. four 6000 x 4000 BMPs as ImageMagick
writes them: `convert -size 6000x4000 gradient:red-white p0.bmp`). Prints the
saver's CPU seconds (utime + stime) over the run, its peak memory (VmHWM) and
the reseeds that came before their picture ("pictures late", from --trace).
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

SECONDS = 40.0
if "--seconds" in sys.argv:
    i = sys.argv.index("--seconds")
    SECONDS = float(sys.argv[i + 1])
    del sys.argv[i:i + 2]
TICK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def peak_kib(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmHWM:"):
            return int(line.split()[1])
    return 0


def main():
    hack, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    first = sorted(f for f in os.listdir(folder))[0]
    with tempfile.TemporaryDirectory() as work:
        err = open(os.path.join(work, "trace"), "w+")
        env = dict(os.environ, XDG_CONFIG_HOME=work)
        proc = subprocess.Popen([hack, "--window", "--speed", "25", "--pattern", "smallblocks", "--reset", "repeat",
                                 "--cycle", "--picture", os.path.join(folder, first), "--trace"],
                                env=env, stdout=subprocess.DEVNULL, stderr=err)
        time.sleep(SECONDS)
        cpu, peak = cpu_seconds(proc.pid), peak_kib(proc.pid)
        proc.send_signal(signal.SIGTERM)
        proc.wait(timeout=30)
        err.seek(0)
        lines = err.read().splitlines()
        late = [line.split()[-1] for line in lines if line.startswith("pictures late")]
        # Other lines than the trace's (an LD_PRELOAD counter's, for one) are passed on.
        other = [line for line in lines if not line.startswith(("step ", "frame ", "pictures late", "redraw ticks"))]
        print("cpu %.1f s in %.0f s, peak %.0f MB, pictures late %s%s" %
              (cpu, SECONDS, peak / 1024, late[-1] if late else "?", "".join(", " + line for line in other)))


if __name__ == "__main__":
    main()
