#!/usr/bin/env python3
"""CPU time of a running saver on the current X display (Xvfb with llvmpipe).

  DISPLAY=:76 bench/saver_cpu.py [--seconds 20] SETTINGS linux HACK
  DISPLAY=:76 WINEPREFIX=... bench/saver_cpu.py [--seconds 20] [--display STATE DISPLAY_STATE_EXE]
      SETTINGS windows WINE_RUN SAVER_SCR
  DISPLAY=:76 bench/saver_cpu.py [--seconds 20] idle

SETTINGS: "defaults" (no settings file at all), "speed1" (speed 1, lighting
off, written out) or, for the Linux saver, "speed25-lit" (speed 25 and three
lights, as options); --renderer NAME passes that renderer to the Linux saver, --extra "OPTIONS" more options. Both draw over the whole screen: the Linux saver on the
root window (-root), with a settings folder of its own; the Windows saver full
screen (/s), with its maker folder in the prefix set up as the settings ask. Once the saver is up
and has settled for five seconds, the time is taken over --seconds: the CPU
seconds (utime + stime) of the saver's own process, of the X server of the
display (it gets every frame) and of Wine's other processes in the prefix
(wineserver, the desktop), their sum (what the saver costs the machine), and
the busy time of the whole machine from /proc/stat, which on a shared machine
also holds the work of others; for the Linux saver also the buffer swaps a
second (an LD_PRELOAD shim around glXSwapBuffers, bench/swap_timer.c).
"idle" measures the same with no saver, for comparison.
--display: once the Windows saver is up, the display is reported to it in that
state (0 off, 1 on, 2 dimmed) by DISPLAY_STATE_EXE (tests/host/win32/display_state.cpp)
and the time is taken after that.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TICK = os.sysconf("SC_CLK_TCK")
SECONDS = 20.0
if "--seconds" in sys.argv:
    i = sys.argv.index("--seconds")
    SECONDS = float(sys.argv[i + 1])
    del sys.argv[i:i + 2]
RENDERER = None
if "--renderer" in sys.argv:
    i = sys.argv.index("--renderer")
    RENDERER = sys.argv[i + 1]
    del sys.argv[i:i + 2]
EXTRA = []
if "--extra" in sys.argv:
    i = sys.argv.index("--extra")
    EXTRA = sys.argv[i + 1].split()
    del sys.argv[i:i + 2]
DISPLAY_STATE = None
if "--display" in sys.argv:
    i = sys.argv.index("--display")
    DISPLAY_STATE = sys.argv[i + 1:i + 3]
    del sys.argv[i:i + 3]

# speed 1, lighting off (1045), the other values as the defaults have them.
SPEED1 = [1022, 1026, 0, 0, 0, 1, 100, 0, 0, 1045, 0, 0, 0, 1049, "10.000000", "", ""]


def machine_busy():
    """Busy CPU seconds of the whole machine since boot (all but idle and iowait)."""
    fields = [int(v) for v in open("/proc/stat").readline().split()[1:]]
    return (sum(fields[:8]) - fields[3] - fields[4]) / TICK


def process_cpu(pid):
    try:
        fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def pids_where(test):
    """Processes for which test(cmdline, environ) holds."""
    pids = []
    for entry in os.listdir("/proc"):
        if entry.isdigit() and int(entry) != os.getpid():
            try:
                cmdline = open("/proc/%s/cmdline" % entry, "rb").read()
                environ = open("/proc/%s/environ" % entry, "rb").read()
            except OSError:
                continue
            if test(cmdline, environ):
                pids.append(int(entry))
    return pids


def scr_pids(name):
    return pids_where(lambda cmdline, _: name.encode() in cmdline and b"saver_cpu.py" not in cmdline)


def x_server_pids():
    display = os.environ["DISPLAY"].encode()
    return pids_where(lambda cmdline, _: cmdline.split(b"\0")[:2] == [b"Xvfb", display])


def wine_pids(saver):
    prefix = b"WINEPREFIX=" + os.environ.get("WINEPREFIX", "").encode()
    return [p for p in pids_where(lambda _, environ: prefix in environ.split(b"\0")) if p not in saver]


def wait_for(what, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = what()
        if found:
            return found
        time.sleep(0.2)
    return None


def measure(saver, swaps_file=None):
    """CPU seconds over SECONDS: (saver, X server, Wine's others, machine), and swaps a second if counted."""
    time.sleep(5.0)
    groups = [saver, x_server_pids(), wine_pids(saver)]
    before = [{p: process_cpu(p) for p in g} for g in groups]
    busy0, t0 = machine_busy(), time.monotonic()
    swaps0 = read_swaps(swaps_file)
    time.sleep(SECONDS)
    after = [{p: process_cpu(p) for p in g} for g in groups]
    busy1, t1 = machine_busy(), time.monotonic()
    spent = [sum(a[p] - b[p] for p in a if a[p] is not None and b[p] is not None) for a, b in zip(after, before)]
    swaps = (read_swaps(swaps_file) - swaps0) / (t1 - t0) if swaps_file else None
    return spent + [busy1 - busy0], swaps


def read_swaps(path):
    try:
        return int(open(path).read().split()[1])
    except (OSError, IndexError, TypeError):
        return 0


def run_linux(hack, settings, work):
    shim = os.path.join(work, "swap_timer.so")
    subprocess.run(["cc", "-O2", "-shared", "-fPIC", "-o", shim, os.path.join(HERE, "swap_timer.c"), "-ldl"],
                   check=True)
    swaps = os.path.join(work, "swaps")
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), LD_PRELOAD=shim, SWAP_TIMER_OUT=swaps,
               SWAP_TIMER_EVERY="1")
    args = [hack, "-root"] + (["--speed", "1", "--lights", "0"] if settings == "speed1" else [])
    args += ["--speed", "25", "--lights", "3"] if settings == "speed25-lit" else []
    args += ["--renderer", RENDERER] if RENDERER else []
    args += EXTRA
    proc = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return measure([proc.pid], swaps)
    finally:
        proc.terminate()
        proc.wait()


def run_windows(wine_run, scr, settings):
    maker = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Program Files", "Halvorn ScreenSavers")
    shutil.rmtree(maker, ignore_errors=True)
    if settings == "speed1":
        os.makedirs(os.path.join(maker, "Patterns2d"))
        with open(os.path.join(maker, "ss_ca_02.ini"), "w", newline="\r\n") as f:
            f.write("".join("%s\n" % v for v in SPEED1))
    proc = subprocess.Popen([wine_run, scr, "/s"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        pids = wait_for(lambda: scr_pids(os.path.basename(scr)), 30)
        if not pids:
            sys.exit("the Windows saver did not start")
        if DISPLAY_STATE:  # once the saver's window is up
            state, exe = DISPLAY_STATE
            if not wait_for(lambda: subprocess.run([wine_run, exe, state], stdout=subprocess.DEVNULL).returncode == 0,
                            60):
                sys.exit("the display state did not reach the Windows saver")
        return measure(pids)
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        shutil.rmtree(maker, ignore_errors=True)


def main():
    args = sys.argv[1:]
    if "DISPLAY" not in os.environ or not args or (args[0] != "idle" and len(args) < 3):
        sys.exit(__doc__)
    work = tempfile.mkdtemp(prefix="orvex_cpu_")
    try:
        if args[0] == "idle":
            settings, kind, program = "-", "idle", "-"
            spent, swaps = measure([])
        elif args[1] == "linux":
            settings, kind, program = args[0], args[1], args[2]
            spent, swaps = run_linux(program, settings, work)
        else:
            settings, kind, program = args[0], args[1], args[3]
            spent, swaps = run_windows(args[2], program, settings)
    finally:
        shutil.rmtree(work)
    saver, x_server, wine, busy = spent
    if DISPLAY_STATE:
        kind += " display=%s" % DISPLAY_STATE[0]
    print("%-8s %-8s %-28s saver %5.2f  X %5.2f  wine %5.2f  sum %5.2f  machine %5.2f CPU s%s"
          % (kind, settings, program[-28:], saver, x_server, wine, saver + x_server + wine, busy,
             "  %.1f swaps/s" % swaps if swaps is not None else ""), flush=True)


if __name__ == "__main__":
    main()
