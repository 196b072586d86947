#!/usr/bin/env python3
"""orvex.scr under Wine on the current X display, as a user meets it.

    saver_gui_test.py CASE WINE_RUN SAVER [PREVIEW_PARENT]

CASE is one of: prefix, fullscreen, mouse, pattern, missing-files, preview,
preview-repeat, quiet-exits. WINEPREFIX names the prefix the cases use;
its "C:\\Program Files\\Halvorn ScreenSavers" is set up by each case.

Under Wine the OpenGL picture of a child window goes to an offscreen X window
(the child's size, inside a 1x1 window at (-1, -1)); captures are taken from it.
Every process a case starts is ended by its own pid. Exit 77: no display.
"""
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from saver_picture import capture, lit, settings_file, two_blocks_drawn, TWO_BLOCKS  # noqa: E402

SKIP = 77
TITLE = "Orvex ScreenSaver v 2.0"


def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


def note(message):
    print(message, flush=True)


class Saver:
    """One process started under Wine, ended by its pid whatever happens."""

    def __init__(self, args, stdout=subprocess.DEVNULL):
        self.proc = subprocess.Popen(args, stdout=stdout, stderr=subprocess.DEVNULL,
                                     text=True)

    def running(self):
        return self.proc.poll() is None

    def wait_end(self, seconds):
        try:
            self.proc.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        if self.running():
            self.proc.terminate()
            if not self.wait_end(3):
                self.proc.kill()
                self.proc.wait()


# --- X windows -----------------------------------------------------------------

WINDOW_LINE = re.compile(r"^(\s*)(0x[0-9a-f]+) (.*?): \(.*?\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)")


def window_tree():
    """(indent, id, name, width, height, x, y, parent geometry) for every window."""
    out = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    rows, stack = [], []
    for line in out.splitlines():
        m = WINDOW_LINE.match(line)
        if not m:
            continue
        indent = len(m.group(1))
        w, h, x, y = (int(m.group(k)) for k in range(4, 8))
        while stack and stack[-1][0] >= indent:
            stack.pop()
        parent = stack[-1][1] if stack else None
        rows.append({"id": m.group(2), "name": m.group(3), "w": w, "h": h, "x": x, "y": y,
                     "parent": parent, "top": len(stack) <= 1})
        stack.append((indent, (w, h, x, y)))
    return rows


def root_size():
    out = subprocess.run(["xwininfo", "-root"], capture_output=True, text=True).stdout
    w = int(re.search(r"Width: (\d+)", out).group(1))
    h = int(re.search(r"Height: (\d+)", out).group(1))
    return w, h


def wait_for(predicate, seconds, step=0.1):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


def gl_window(width, height):
    """The offscreen window that holds a child's OpenGL picture."""
    for row in reversed(window_tree()):
        if row["parent"] == (1, 1, -1, -1) and (row["w"], row["h"]) == (width, height):
            return row["id"]
    return None


def saver_window():
    for row in window_tree():
        if row["top"] and row["name"] == '"SCREENSAVER"':
            return row
    return None


def message_boxes():
    return [r["name"] for r in window_tree() if r["top"] and r["name"] in ('"%s"' % TITLE, '"Error"')]


# --- the maker folder in the prefix ---------------------------------------------

def maker_folder():
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "Program Files", "Halvorn ScreenSavers")


def set_maker_folder(settings=None, patterns=None):
    folder = maker_folder()
    shutil.rmtree(folder, ignore_errors=True)
    if settings is None:
        return
    os.makedirs(os.path.join(folder, "Patterns2d"))
    with open(os.path.join(folder, "ss_ca_02.ini"), "w", newline="\r\n") as f:
        f.write(settings)
    for name, text in (patterns or {}).items():
        with open(os.path.join(folder, "Patterns2d", name), "w", newline="\r\n") as f:
            f.write(text)


# --- cases -------------------------------------------------------------------------

def start_full_screen(wine_run, saver):
    s = Saver([wine_run, saver, "/s"])
    if not wait_for(saver_window, 20):
        s.stop()
        fail("no full-screen window")
    return s


def ended_within(s, seconds, what, input_command):
    """Sends the input and expects the saver to end within seconds of it."""
    started = time.monotonic()
    subprocess.run(input_command)
    if not s.wait_end(seconds):
        s.stop()
        fail("the saver still runs %.1f s after %s" % (seconds, what))
    note("ended %.2f s after %s" % (time.monotonic() - started, what))


def case_fullscreen(wine_run, saver):
    set_maker_folder(None)  # no maker folder at all: the defaults
    s = start_full_screen(wine_run, saver)
    try:
        win = saver_window()
        rw, rh = root_size()
        if (win["w"], win["h"], win["x"], win["y"]) != (rw, rh, 0, 0):
            fail("window %dx%d+%d+%d does not cover the %dx%d screen" % (win["w"], win["h"], win["x"],
                                                                        win["y"], rw, rh))
        gl = wait_for(lambda: gl_window(rw, rh), 10)
        if not gl:
            fail("no OpenGL window of the screen's size")
        time.sleep(1.0)
        _, _, first = capture(gl)
        if not lit(first):
            fail("the picture is black after a second")
        time.sleep(1.6)  # two steps at speed 1
        _, _, later = capture(gl)
        if later == first:
            fail("the picture does not change")
        if message_boxes():
            fail("a message box came up: %s" % message_boxes())
        ended_within(s, 1.0, "a key press", ["xdotool", "key", "space"])
    finally:
        s.stop()


def case_mouse(wine_run, saver):
    set_maker_folder(None)
    s = start_full_screen(wine_run, saver)
    try:
        time.sleep(1.5)
        if not s.running():
            fail("the saver ended by itself")
        ended_within(s, 1.0, "a one-pixel mouse move", ["xdotool", "mousemove_relative", "--", "1", "0"])
    finally:
        s.stop()


def case_pattern(wine_run, saver):
    set_maker_folder(settings_file(7, 1028, "twoblocks", 0, "--none--"), {"twoblocks.lif": TWO_BLOCKS})
    s = start_full_screen(wine_run, saver)
    try:
        rw, rh = root_size()
        gl = wait_for(lambda: gl_window(rw, rh), 10)
        if not gl:
            fail("no OpenGL window of the screen's size")
        time.sleep(1.5)
        w, h, pixels = capture(gl)
        inside, stray = two_blocks_drawn(w, h, pixels)
        note("lit pixels per block %s, elsewhere %d" % (inside, len(stray)))
        if stray:
            fail("cells drawn outside the pattern, e.g. at %s" % (stray[:5],))
        cell_area = (w / 100.0) * (h / 100.0)
        for k, count in enumerate(inside):
            if count < cell_area:  # a 2 x 2 block covers about four cells
                fail("block %d of the pattern is not drawn (%d pixels)" % (k, count))
        ended_within(s, 1.0, "a key press", ["xdotool", "key", "Escape"])
    finally:
        s.stop()
        set_maker_folder(None)


def case_missing_files(wine_run, saver):
    # A pattern file and a picture that are not there, pictures on and cycling.
    set_maker_folder(settings_file(7, 1026, "nowhere", 1, "nothing"))
    s = start_full_screen(wine_run, saver)
    try:
        rw, rh = root_size()
        gl = wait_for(lambda: gl_window(rw, rh), 10)
        time.sleep(1.5)
        if message_boxes():
            fail("a message box came up: %s" % message_boxes())
        if not gl or not lit(capture(gl)[2]):
            fail("nothing drawn with the fall-back seed")
        ended_within(s, 1.0, "a key press", ["xdotool", "key", "space"])
    finally:
        s.stop()
        set_maker_folder(None)


def case_preview(wine_run, saver, parent):
    set_maker_folder(None)
    p = Saver([wine_run, parent, saver, "2500"], stdout=subprocess.PIPE)
    try:
        for line in p.proc.stdout:
            note(line.rstrip())
            if line.startswith("READY"):
                gl = wait_for(lambda: gl_window(152, 112), 2)
                if not gl:
                    fail("no OpenGL window of the preview's size")
                time.sleep(0.5)
                if not lit(capture(gl)[2]):
                    fail("the preview is black")
                note("the preview draws")
        if not p.wait_end(20) or p.proc.returncode != 0:
            fail("preview checks failed")
    finally:
        p.stop()


def case_preview_repeat(wine_run, saver, parent):
    p = Saver([wine_run, parent, saver, "--repeat", "3"], stdout=subprocess.PIPE)
    try:
        for line in p.proc.stdout:
            note(line.rstrip())
        if not p.wait_end(30) or p.proc.returncode != 0:
            fail("repeated previews failed")
    finally:
        p.stop()


def case_quiet_exits(wine_run, saver):
    # Preview handles that name no window, and the password change where the
    # platform has no dialog for it: the saver ends at once and shows nothing.
    for args in (["/p", "0"], ["/p"], ["/p", "4000000"], ["/P:123457"], ["/a"], ["/A", "0"]):
        s = Saver([wine_run, saver] + args)
        try:
            if not s.wait_end(10):
                fail("%s does not end by itself" % " ".join(args))
            if s.proc.returncode != 0:
                fail("%s ends with status %d" % (" ".join(args), s.proc.returncode))
            if saver_window() or message_boxes():
                fail("%s shows a window" % " ".join(args))
        finally:
            s.stop()
    note("invalid preview handles and the password change end quietly")


def case_prefix(wine_run):
    prefix = os.environ["WINEPREFIX"]
    # wine-run makes the prefix on first use, without a crash debugger.
    subprocess.run([wine_run, "cmd", "/c", "exit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not os.path.isdir(os.path.join(prefix, "drive_c", "Program Files")):
        fail("the Wine prefix has no Program Files")
    # Xvfb runs no window manager: Wine would wait two seconds for one to
    # acknowledge every hidden window, so the saver would seem slow to close.
    subprocess.run([wine_run, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                    "/t", "REG_SZ", "/d", "N", "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True)


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    case, wine_run = sys.argv[1], sys.argv[2]
    if "WINEPREFIX" not in os.environ:
        fail("WINEPREFIX is not set")
    os.environ.setdefault("WINEDEBUG", "-all")
    if case == "prefix":
        case_prefix(wine_run)
        return 0
    if not os.environ.get("DISPLAY"):
        print("SKIPPED: no X display (DISPLAY is not set); start Xvfb and export DISPLAY", flush=True)
        return SKIP
    saver = sys.argv[3]
    cases = {
        "fullscreen": lambda: case_fullscreen(wine_run, saver),
        "mouse": lambda: case_mouse(wine_run, saver),
        "pattern": lambda: case_pattern(wine_run, saver),
        "missing-files": lambda: case_missing_files(wine_run, saver),
        "preview": lambda: case_preview(wine_run, saver, sys.argv[4]),
        "preview-repeat": lambda: case_preview_repeat(wine_run, saver, sys.argv[4]),
        "quiet-exits": lambda: case_quiet_exits(wine_run, saver),
    }
    if case not in cases:
        fail("unknown case " + case)
    cases[case]()
    note("passed: " + case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
