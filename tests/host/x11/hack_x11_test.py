#!/usr/bin/env python3
"""orvex-hack on the current X display (Xvfb with Mesa), as XScreenSaver and
xsecurelock run it.

    hack_x11_test.py CASE HACK [TEST_WINDOW | XML]

CASE: window, window-id, root, signals, stop-cont, vanish, pattern, xml.
Each case runs with a settings folder of its own (XDG_CONFIG_HOME) and ends
every process it starts by its pid. Exit 77: no display.
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

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from saver_picture import capture, lit, settings_file, two_blocks_drawn, TWO_BLOCKS  # noqa: E402

SKIP = 77
TITLE = "Orvex ScreenSaver v 2.0"


def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


def note(message):
    print(message, flush=True)


def wait_for(predicate, seconds, step=0.05):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


class Process:
    """A process of the case, ended by its pid whatever happens."""

    def __init__(self, args, **kwargs):
        self.proc = subprocess.Popen(args, text=True, **kwargs)

    def wait_end(self, seconds):
        try:
            self.proc.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class Hack(Process):
    def __init__(self, hack, args, config):
        env = dict(os.environ, XDG_CONFIG_HOME=config)
        env.pop("XSCREENSAVER_WINDOW", None)
        self.err = tempfile.TemporaryFile(mode="w+")
        super().__init__([hack] + args, env=env, stdout=subprocess.DEVNULL, stderr=self.err)

    def stderr(self):
        self.err.seek(0)
        return self.err.read()

    def ends_cleanly(self, sig, window=None):
        """The signal ends it with status 0; its own window goes within a second."""
        started = time.monotonic()
        self.proc.send_signal(sig)
        if window and not wait_for(lambda: not window_by_name(TITLE), 1.0, 0.02):
            fail("the window still stands 1 s after signal %d" % sig)
        gone = time.monotonic() - started
        if not self.wait_end(10):  # the sanitizers' leak check runs at exit
            fail("still running 10 s after signal %d" % sig)
        if self.proc.returncode != 0:
            fail("signal %d: exit status %d\n%s" % (sig, self.proc.returncode, self.stderr()))
        note("signal %d: %sstatus 0 after %.2f s" % (sig, "window gone after %.2f s, " % gone if window else "",
                                                      time.monotonic() - started))


class TestWindow(Process):
    """The helper's window: a window made by another program."""

    def __init__(self, helper, single_buffered=False):
        super().__init__([helper] + (["--single-buffered"] if single_buffered else []),
                         stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.id = self.proc.stdout.readline().strip()
        if not self.id.startswith("0x"):
            fail("the test window did not start")

    def command(self, text):
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        self.proc.stdout.readline()


def window_by_name(name):
    out = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    m = re.search(r"(0x[0-9a-f]+) \"%s\"" % re.escape(name), out)
    return m.group(1) if m else None


def children(window_id):
    """(id, width, height) of a window's children."""
    out = subprocess.run(["xwininfo", "-children", "-id", window_id], capture_output=True, text=True).stdout
    return [(m.group(1), int(m.group(2)), int(m.group(3)))
            for m in re.finditer(r"(0x[0-9a-f]+) .*?\s(\d+)x(\d+)\+-?\d+\+-?\d+", out)]


def drawn(window_id):
    """A capture with lit pixels, once the saver has drawn one."""
    return wait_for(lambda: (lambda c: c if lit(c[2]) else None)(capture(window_id)), 5, 0.2)


def draws_and_changes(window_id, what):
    first = drawn(window_id)
    if not first:
        fail("%s stays black" % what)
    if not wait_for(lambda: capture(window_id)[2] != first[2], 3, 0.2):
        fail("the picture in %s does not change" % what)
    note("%s: drawn, and changing" % what)
    return first


# --- cases -------------------------------------------------------------------------

def case_window(hack, config, _):
    h = Hack(hack, ["-window", "--speed", "25", "-fps"], config)
    try:
        win = wait_for(lambda: window_by_name(TITLE), 10)
        if not win:
            fail("no window titled %r" % TITLE)
        draws_and_changes(win, "its own window")
        h.ends_cleanly(signal.SIGTERM, win)
    finally:
        h.stop()


def case_window_id(hack, config, helper):
    for single_buffered in (False, True):
        t = TestWindow(helper, single_buffered)
        h = Hack(hack, ["-window-id", t.id, "--speed", "25"], config)
        try:
            kind = "a single-buffered" if single_buffered else "a GL-capable"
            w, _, _ = draws_and_changes(t.id, kind + " foreign window")
            if (w, bool(children(t.id))) != (400, single_buffered):
                fail("%s window: width %d, children %s" % (kind, w, children(t.id)))
            t.command("resize 700 500")

            def right_part_lit():
                cw, ch, pixels = capture(t.id)
                return cw == 700 and any(p % cw > 450 for p in lit(pixels))
            if not wait_for(right_part_lit, 3, 0.2):
                fail("nothing drawn in the part the resize added")
            if single_buffered and children(t.id)[0][1:] != (700, 500):
                fail("the GL child did not follow the resize: %s" % children(t.id))
            note("%s window: follows the resize to 700x500" % kind)
            h.ends_cleanly(signal.SIGTERM)
        finally:
            h.stop()
            t.stop()


def case_root(hack, config, _):
    h = Hack(hack, ["-root", "--speed", "25"], config)
    try:
        draws_and_changes("root", "the root window")
        h.ends_cleanly(signal.SIGTERM)
    finally:
        h.stop()


def case_signals(hack, config, _):
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGUSR1):
        h = Hack(hack, ["-window"], config)
        try:
            if not wait_for(lambda: window_by_name(TITLE), 10):
                fail("no window")
            time.sleep(0.3)
            h.ends_cleanly(sig, TITLE)
        finally:
            h.stop()


def case_stop_cont(hack, config, _):
    h = Hack(hack, ["-window", "--speed", "25", "--trace"], config)  # a step every 30 ms
    try:
        if not wait_for(lambda: window_by_name(TITLE), 10):
            fail("no window")
        time.sleep(1.0)
        h.proc.send_signal(signal.SIGSTOP)
        time.sleep(2.0)
        h.proc.send_signal(signal.SIGCONT)
        time.sleep(1.0)
        h.ends_cleanly(signal.SIGTERM)
        times = [float(m.group(1)) for m in re.finditer(r"^step \d+ ([\d.]+)$", h.stderr(), re.M)]
        gaps = [b - a for a, b in zip(times, times[1:])]
        k = gaps.index(max(gaps))
        resumed = times[k + 1]
        after = [t for t in times if resumed <= t < resumed + 300]
        note("pause of %.0f ms; %d steps in the 300 ms after it" % (gaps[k], len(after)))
        if gaps[k] < 1500:
            fail("the pause does not show in the steps")
        if len(after) > 12:  # 300 / 30 = 10 at the normal pace
            fail("a burst of %d steps after the pause" % len(after))
    finally:
        h.stop()


def case_vanish(hack, config, helper):
    for single_buffered in (False, True):
        t = TestWindow(helper, single_buffered)
        h = Hack(hack, ["-window-id", t.id], config)
        try:
            if not drawn(t.id):
                fail("nothing drawn")
            t.command("destroy")
            if not h.wait_end(2.0):
                fail("still running 2 s after its window was destroyed")
            if h.proc.returncode != 0 or h.stderr().strip():
                fail("status %d, said %r" % (h.proc.returncode, h.stderr()))
            note("window destroyed: quiet end with status 0")
        finally:
            h.stop()
            t.stop()


def case_pattern(hack, config, _):
    folder = os.path.join(config, "orvex")
    os.makedirs(os.path.join(folder, "Patterns2d"))
    with open(os.path.join(folder, "ss_ca_02.ini"), "w", newline="\r\n") as f:
        f.write(settings_file(7, 1028, "twoblocks", 0, "--none--"))
    with open(os.path.join(folder, "Patterns2d", "twoblocks.lif"), "w") as f:
        f.write(TWO_BLOCKS)
    h = Hack(hack, ["-window"], config)
    try:
        win = wait_for(lambda: window_by_name(TITLE), 10)
        if not win or not drawn(win):
            fail("nothing drawn")
        time.sleep(0.5)
        w, hh, pixels = capture(win)
        inside, stray = two_blocks_drawn(w, hh, pixels)
        note("%dx%d: lit pixels per block %s, elsewhere %d" % (w, hh, inside, len(stray)))
        if stray:
            fail("cells drawn outside the pattern, e.g. at %s" % (stray[:5],))
        if min(inside) < (w / 100.0) * (hh / 100.0):
            fail("a block of the pattern is not drawn")
        h.ends_cleanly(signal.SIGTERM)
    finally:
        h.stop()


def case_xml(hack, config, xml_file):
    """Every argument the XML can give is one the program takes, with its effect."""
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
    base = settings([])
    checked = 0
    for number in root.iter("number"):
        for value in (number.get("low"), number.get("high")):
            got = settings(number.get("arg").replace("%", value).split())
            if float(value) not in [float(v) for v in got.values() if re.fullmatch(r"[\d.]+", v)]:
                fail("%s=%s does not reach the settings: %s" % (number.get("id"), value, got))
            checked += 1
    for select in root.iter("select"):
        seen = {}
        for option in select.iter("option"):
            if not option.get("arg-set"):
                continue  # the settings file's value
            got = settings(option.get("arg-set").split())
            key = tuple(sorted(got.items()))
            if key in seen:
                fail("%s: options %s and %s give the same settings" % (select.get("id"), seen[key],
                                                                      option.get("id")))
            seen[key] = option.get("id")
            checked += 1
    for boolean in root.iter("boolean"):
        args = (boolean.get("arg-set") or boolean.get("arg-unset")).split()
        if args != ["--fps"] and settings(args) == base:
            fail("%s changes no setting" % boolean.get("id"))
        checked += 1
    for chooser in root.iter("file"):
        got = settings(chooser.get("arg").replace("%", "/tmp/some picture.bmp").split(" ", 1))
        if got["picture_name"] != "some picture.bmp" or got["TextureFlag"] != "1":
            fail("the picture chooser does not set the picture: %s" % got)
        checked += 1
    note("%d XML settings accepted by the program, each with its own effect" % checked)
    if subprocess.run([hack, "--no-such-option"], capture_output=True, env=env).returncode != 1:
        fail("an unknown option does not end with status 1")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    case, hack = sys.argv[1], sys.argv[2]
    extra = sys.argv[3] if len(sys.argv) > 3 else None
    cases = {"window": case_window, "window-id": case_window_id, "root": case_root,
             "signals": case_signals, "stop-cont": case_stop_cont, "vanish": case_vanish,
             "pattern": case_pattern, "xml": case_xml}
    if case not in cases:
        fail("unknown case " + case)
    if case != "xml" and not os.environ.get("DISPLAY"):
        print("SKIPPED: no X display (DISPLAY is not set); start Xvfb and export DISPLAY", flush=True)
        return SKIP
    with tempfile.TemporaryDirectory() as config:
        cases[case](hack, config, extra)
    note("passed: " + case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
