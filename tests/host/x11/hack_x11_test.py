#!/usr/bin/env python3
"""orvex-hack on the current X display (Xvfb with Mesa), as XScreenSaver and
xsecurelock run it.   hack_x11_test.py CASE HACK [TEST_WINDOW | XML]

CASE: window, window-id, two-savers, root, stop-cont, redraw-skip, pattern, es-fallback, xml. Each case has
a settings folder of its own (XDG_CONFIG_HOME) and ends what it starts by pid. Exit 77: no display.
ORVEX_HACK_RENDERER=gl11 (or gles3) runs every case with that --renderer.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from gui_driver import (capture, fail, lit, settings_file, two_blocks_drawn, wait_for,  # noqa: E402
                        Process, TWO_BLOCKS)

TITLE = "Orvex ScreenSaver v 2.0"




def own_window():
    out = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    m = re.search(r"(0x[0-9a-f]+) \"%s\"" % re.escape(TITLE), out)
    return m.group(1) if m else None


def children(window_id):
    """(width, height) of a window's children."""
    out = subprocess.run(["xwininfo", "-children", "-id", window_id], capture_output=True, text=True).stdout
    return [(int(w), int(h)) for w, h in re.findall(r"0x[0-9a-f]+ .*?\s(\d+)x(\d+)\+-?\d+\+-?\d+", out)]


def first_frame(window_id):
    """The first capture with anything lit, within 20 s (a loaded machine starts Mesa slowly)."""
    return wait_for(lambda: (lambda c: c if max(c[2], default=0) > 40 else None)(capture(window_id)), 20, 0.2)


def draws_and_changes(window_id, what):
    first = first_frame(window_id)
    if not first:
        fail("%s stays black" % what)
    if not wait_for(lambda: capture(window_id)[2] != first[2], 5, 0.2):
        fail("the picture in %s does not change" % what)
    print("%s: drawn, and changing" % what, flush=True)
    return first


class Hack(Process):
    """The hack with a settings folder of its own, keeping what it writes to stderr."""

    def __init__(self, hack, args, config, window_variable=None, extra_env=None):
        env = dict(os.environ, XDG_CONFIG_HOME=config, **(extra_env or {}))
        env.pop("XSCREENSAVER_WINDOW", None)
        if window_variable:
            env["XSCREENSAVER_WINDOW"] = window_variable
        renderer = os.environ.get("ORVEX_HACK_RENDERER")
        super().__init__([hack] + args + (["--renderer", renderer] if renderer else []), stderr="keep", env=env)

    def ends_on(self, sig, own=False):
        """The signal ends it with status 0; its own window goes within a second."""
        started = time.monotonic()
        self.proc.send_signal(sig)
        if own and not wait_for(lambda: not own_window(), 1.0, 0.02):
            fail("the window still stands 1 s after signal %d" % sig)
        gone = "window gone after %.2f s, " % (time.monotonic() - started) if own else ""
        self.ends("signal %d" % sig)
        print("signal %d: %sstatus 0" % (sig, gone), flush=True)


def case_window(hack, config, _):
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGUSR1):
        h = Hack(hack, ["-window", "--speed", "25", "-fps"], config)
        try:
            win = wait_for(own_window, 20)
            if not win:
                fail("no window titled %r" % TITLE)
            if sig == signal.SIGTERM:
                draws_and_changes(win, "its own window")
            h.ends_on(sig, own=True)
        finally:
            h.stop()


def case_window_id(hack, config, helper):
    """A window another program made (-window-id, $XSCREENSAVER_WINDOW): drawn into,
    followed when resized, left when destroyed; once gone, its id is an error."""
    for single_buffered in (False, True):
        t = Process([helper] + (["--single-buffered"] if single_buffered else []),
                    stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        h = None
        try:
            wid = t.proc.stdout.readline().strip()
            if single_buffered:  # as xsecurelock names it: decimal, in the variable
                h = Hack(hack, ["--speed", "25"], config, str(int(wid, 16)))
            else:
                h = Hack(hack, ["-window-id", wid, "--speed", "25"], config)
            kind = "a single-buffered" if single_buffered else "a GL-capable"
            w, _, _ = draws_and_changes(wid, kind + " foreign window")
            if (w, bool(children(wid))) != (400, single_buffered):
                fail("%s window: width %d, children %s" % (kind, w, children(wid)))
            print("resize 700 500", file=t.proc.stdin, flush=True)

            def right_part_lit():
                cw, _, pixels = capture(wid)
                return cw == 700 and any(p % cw > 450 for p in lit(pixels))
            if not wait_for(right_part_lit, 3, 0.2):
                fail("nothing drawn in the part the resize added")
            if single_buffered and children(wid) != [(700, 500)]:
                fail("the GL child did not follow the resize: %s" % children(wid))
            print("destroy", file=t.proc.stdin, flush=True)
            h.ends("the window was destroyed", 2)
            if h.stderr().strip():
                fail("not a quiet end: %r" % h.stderr())
            named = str(int(wid, 16)) if single_buffered else wid  # as the saver was given it
            h = Hack(hack, h.proc.args[1:], config, named if single_buffered else None)
            if h.proc.wait(timeout=10) != 1 or "there is no window %s\n" % named not in h.stderr():
                fail("the id of a window that is gone: status %d, %r" % (h.proc.returncode, h.stderr()))
            print("%s window: follows a resize; its end ends the saver quietly" % kind, flush=True)
        finally:
            if h:
                h.stop()
            t.stop()


def case_two_savers(hack, config, helper):
    """Savers started in the same second, as lockers start one per monitor, grow different fields."""
    helpers = [Process([helper], stdin=subprocess.PIPE, stdout=subprocess.PIPE) for _ in "ab"]
    savers = []
    try:
        ids = [t.proc.stdout.readline().strip() for t in helpers]
        print("move 420 10", file=helpers[1].proc.stdin, flush=True)  # side by side, as captures need
        helpers[1].proc.stdout.readline()
        time.sleep((0.9 - time.time()) % 1)  # start-up takes about 0.6 s: both seed in one second
        args = ["--speed", "1", "--lights", "0", "--no-picture", "--pattern", "randompoints", "--trace"]
        savers = [Hack(hack, ["-window-id", wid] + args, config) for wid in ids]
        if not all(first_frame(wid) for wid in ids):
            fail("a saver draws nothing")
        for _ in range(20):  # the one behind runs on until both show the same generation
            for h in savers:
                h.proc.send_signal(signal.SIGSTOP)
            time.sleep(0.1)
            steps = [h.stderr().count("step ") for h in savers]
            if steps[0] == steps[1]:
                break
            savers[steps.index(min(steps))].proc.send_signal(signal.SIGCONT)
            time.sleep(0.2)
        if steps[0] != steps[1] or capture(ids[0])[2] == capture(ids[1])[2]:
            fail("not different fields at the same generation: steps %s" % steps)
        print("two savers started together: different fields at step %d" % steps[0], flush=True)
    finally:
        for p in savers + helpers:
            p.kill()


def case_root(hack, config, _):
    h = Hack(hack, ["-root", "--speed", "25"], config)
    try:
        draws_and_changes("root", "the root window")
        h.ends_on(signal.SIGTERM)
    finally:
        h.stop()


def case_es_fallback(hack, config, _):
    """OpenGL ES 3 asked for where the GL has none (Mesa told to offer ES 2.0 at most): one
    message, and OpenGL 1.1 draws."""
    h = Hack(hack, ["-window", "--speed", "25", "--renderer", "gles3"], config,
             extra_env={"MESA_GLES_VERSION_OVERRIDE": "2.0"})
    try:
        win = wait_for(own_window, 20)
        if not win:
            fail("no window titled %r; the hack %s, and said %r" % (
                TITLE, "runs" if h.proc.poll() is None else "ended with status %d" % h.proc.returncode,
                h.stderr()))
        draws_and_changes(win, "the fall-back's window")
        said = h.stderr()
        if said.count("\n") != 1 or "OpenGL ES 3 cannot start here" not in said or "OpenGL 1.1" not in said:
            fail("not one message about the fall-back: %r" % said)
        h.ends_on(signal.SIGTERM, own=True)
    finally:
        h.stop()


def case_stop_cont(hack, config, _):
    h = Hack(hack, ["-window", "--speed", "1", "--trace"], config)  # a step every 750 ms
    try:
        if not wait_for(own_window, 20):
            fail("no window")
        time.sleep(2.0)
        h.proc.send_signal(signal.SIGSTOP)
        time.sleep(3.0)
        h.proc.send_signal(signal.SIGCONT)
        time.sleep(1.5)
        h.ends_on(signal.SIGTERM)
        times = [float(t) for t in re.findall(r"^step \d+ ([\d.]+)$", h.stderr(), re.M)]
        gaps = [b - a for a, b in zip(times, times[1:])]
        k = gaps.index(max(gaps))
        after = [t for t in times if times[k + 1] <= t < times[k + 1] + 500]
        print("pause of %.0f ms; %d steps in the 500 ms after it" % (gaps[k], len(after)), flush=True)
        if gaps[k] < 2500 or len(after) > 1:  # one step at most in 500 ms at the normal pace
            fail("no pause seen, or a burst of steps after it: %s" % times)
    finally:
        h.stop()


def case_redraw_skip(hack, config, _):
    """Speed 1, a step every 750 ms. Lighting off: the picture is drawn (also when the first frame came
    before the window was mapped), and redraw ticks that would show it again are skipped: at most 2
    frames a second. One light: a frame on every redraw tick."""
    for lights in (0, 1):
        h = Hack(hack, ["-window", "--speed", "1", "--lights", str(lights), "--trace"], config)
        try:
            win = wait_for(own_window, 20)
            if not win or not first_frame(win):
                fail("lights %d: nothing drawn" % lights)
            time.sleep(3.0)
            h.ends_on(signal.SIGTERM)
        finally:
            h.stop()
        err = h.stderr()
        frames = [float(t) for t in re.findall(r"^frame \d+ ([\d.]+)$", err, re.M)]
        ticks = re.search(r"^redraw ticks (\d+) in ([\d.]+)$", err, re.M)
        if not frames or not ticks:
            fail("lights %d: no trace of frames and redraw ticks: %r" % (lights, err[-300:]))
        ticks, end = int(ticks.group(1)), float(ticks.group(2))
        rate = len([t for t in frames if t >= 1000.0]) * 1000.0 / (end - 1000.0)
        print("lights %d: %d redraw ticks and %d frames in %.0f ms, %.1f frames a second after the first"
              % (lights, ticks, len(frames), end, rate), flush=True)
        if ticks < end / 20.0 / 4:  # the redraw timer runs (a loaded machine draws slower than asked)
            fail("lights %d: only %d redraw ticks in %.0f ms" % (lights, ticks, end))
        if lights == 0 and rate > 2.0:
            fail("lighting off: %.1f frames a second, the field changes every 750 ms" % rate)
        if lights == 1 and len(frames) < ticks:
            fail("one light: %d frames for %d redraw ticks" % (len(frames), ticks))


def case_pattern(hack, config, _):
    """The settings and pattern of the Windows test draw the same two blocks."""
    folder = os.path.join(config, "orvex")
    os.makedirs(os.path.join(folder, "Patterns2d"))
    with open(os.path.join(folder, "ss_ca_02.ini"), "w", newline="\r\n") as f:
        f.write(settings_file(7, 1028, "twoblocks", 0, "--none--"))
    with open(os.path.join(folder, "Patterns2d", "twoblocks.lif"), "w") as f:
        f.write(TWO_BLOCKS)
    h = Hack(hack, ["-window"], config)
    try:
        win = wait_for(own_window, 20)
        if not win or not first_frame(win):
            fail("nothing drawn")
        time.sleep(0.5)
        w, hh, pixels = capture(win)
        inside, stray = two_blocks_drawn(w, hh, pixels)
        print("%dx%d: lit pixels per block %s, elsewhere %d" % (w, hh, inside, len(stray)), flush=True)
        if stray or min(inside) < (w / 100.0) * (hh / 100.0):
            fail("not the two blocks: stray pixels %s" % (stray[:5],))
        h.ends_on(signal.SIGTERM, own=True)
    finally:
        h.stop()


def case_xml(hack, config, xml_file):
    """Every argument the XML can give is one the program takes, with an effect of its own."""
    shutil.copytree(os.path.join(os.environ["ORVEX_SOURCE_DIR"], "data", "Patterns2d"),
                    os.path.join(config, "orvex", "Patterns2d"))
    env = dict(os.environ, XDG_CONFIG_HOME=config)

    def settings(args):
        r = subprocess.run([hack, "--print-settings"] + args, capture_output=True, text=True, env=env)
        if r.returncode != 0:
            fail("%s: status %d\n%s" % (" ".join(args), r.returncode, r.stderr))
        return dict(line.split(" = ", 1) for line in r.stdout.splitlines())

    root = ET.parse(xml_file).getroot()
    if root.get("name") != os.path.basename(hack) or root.get("gl") != "yes":
        fail("the XML does not name %s as a GL hack" % os.path.basename(hack))
    if [c.get("arg") for c in root.iter("command")] != ["--root"]:
        fail("the XML does not keep --root on the command line")  # the settings program drops it otherwise
    base, checked = settings([]), 0
    for number in root.iter("number"):
        for value in (number.get("low"), number.get("high")):
            got = settings(number.get("arg").replace("%", value).split())
            if float(value) not in [float(v) for v in got.values() if re.fullmatch(r"[\d.]+", v)]:
                fail("%s=%s does not reach the settings: %s" % (number.get("id"), value, got))
            checked += 1
    for select in root.iter("select"):
        seen = {}
        for option in (o for o in select.iter("option") if o.get("arg-set")):
            key = tuple(sorted(settings(option.get("arg-set").split()).items()))
            if key in seen:
                fail("%s: %s and %s give the same settings" % (select.get("id"), seen[key], option.get("id")))
            seen[key] = option.get("id")
            checked += 1
    for boolean in root.iter("boolean"):
        args = (boolean.get("arg-set") or boolean.get("arg-unset")).split()
        if args != ["--fps"] and settings(args) == base:
            fail("%s changes no setting" % boolean.get("id"))
        checked += 1
    for chooser in root.iter("file"):
        got = settings(chooser.get("arg").replace("%", "/tmp/some picture.bmp").split(" ", 1))
        if (got["picture_name"], got["TextureFlag"]) != ("some picture.bmp", "1"):
            fail("the picture chooser does not set the picture: %s" % got)
        checked += 1
    print("%d XML settings accepted by the program, each with its own effect" % checked, flush=True)
    if subprocess.run([hack, "--no-such-option"], capture_output=True, env=env).returncode != 1:
        fail("an unknown option does not end with status 1")


def main():
    cases = {"window": case_window, "window-id": case_window_id, "two-savers": case_two_savers, "root": case_root,
             "stop-cont": case_stop_cont, "redraw-skip": case_redraw_skip, "pattern": case_pattern,
             "es-fallback": case_es_fallback, "xml": case_xml}
    if len(sys.argv) < 3 or sys.argv[1] not in cases:
        print(__doc__)
        return 2
    if sys.argv[1] != "xml" and not os.environ.get("DISPLAY"):
        print("SKIPPED: no X display (DISPLAY is not set); start Xvfb and export DISPLAY", flush=True)
        return 77
    with tempfile.TemporaryDirectory() as config:
        cases[sys.argv[1]](sys.argv[2], config, sys.argv[3] if len(sys.argv) > 3 else None)
    print("passed: " + sys.argv[1], flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
