#!/usr/bin/env python3
"""orvex.scr under Wine on the current X display, as a user meets it.

    saver_gui_test.py CASE WINE_RUN SAVER [PREVIEW_PARENT | DIALOG_DRIVER]

CASE is one of: prefix, fullscreen, mouse, pattern, missing-files, preview,
preview-repeat, quiet-exits, dialog-picture, configure-modes,
frame-rate, monitors (on an X display of its own, see case_monitors). WINEPREFIX names the prefix the cases use;
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

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from gui_driver import (capture, fail, lit, note, root_size, settings_file, two_blocks_drawn,  # noqa: E402
                        wait_for, window_tree, Process as Saver, TWO_BLOCKS)

SKIP = 77
TITLE = "Orvex ScreenSaver v 2.0"


# --- X windows -----------------------------------------------------------------

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


def no_message_box():
    boxes = message_boxes()
    if boxes:
        fail("a message box came up: %s" % boxes)


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

def start_full_screen(wine_run, saver, **options):
    s = Saver([wine_run, saver, "/s"], **options)
    if not wait_for(saver_window, 20):
        s.stop()
        fail("no full-screen window")
    return s


def settled_frame(seconds):
    """The full-screen picture after seconds, once no message box came up: (width, height, pixels)."""
    rw, rh = root_size()
    gl = wait_for(lambda: gl_window(rw, rh), 10)
    time.sleep(seconds)
    no_message_box()
    return capture(gl) if gl else (0, 0, b"")


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
        no_message_box()
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
    # A pattern file and a picture that are not in their folders, pictures on
    # and cycling: the names on lines 16 and 17 point one folder up, where a
    # pattern and a red picture lie. Neither is opened nor even looked for
    # (Wine's file trace); the fall-back seed is drawn without a picture.
    set_maker_folder(settings_file(7, 1026, "..\\outside", 1, "..\\outside"))
    for name, data in (("outside.lif", TWO_BLOCKS.encode()), ("outside.bmp", bmp_file(8, 8, (255, 0, 0)))):
        with open(os.path.join(maker_folder(), name), "wb") as f:
            f.write(data)
    log_path = os.path.join(os.environ["WINEPREFIX"], "missing-files.log")
    with open(log_path, "w") as log:
        s = start_full_screen(wine_run, saver, stderr=log, env=dict(os.environ, WINEDEBUG="-all,+file"))
    try:
        pixels = settled_frame(1.5)[2]
        on = lit(pixels)
        red = [p for p in on if pixels[3 * p] > 2 * max(pixels[3 * p + 1], pixels[3 * p + 2])]
        note("lit pixels %d, of them red %d" % (len(on), len(red)))
        if not on or red:
            fail("the fall-back seed is not drawn, or drawn with the outside picture")
        ended_within(s, 1.0, "a key press", ["xdotool", "key", "space"])
    finally:
        s.stop()
        set_maker_folder(None)
    with open(log_path, errors="replace") as log:
        trace = [line for line in log if "\\" in line]
    touched = [line.strip() for line in trace if "outside" in line.lower()]
    if not any("ss_ca_02.ini" in line for line in trace) or touched:
        fail("the file trace does not show the settings read, or shows a file outside: %s" % touched[:3])
    note("%d traced file names, none outside the folders" % len(trace))


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


def bmp_file(width, height, rgb):
    """A 24-bit BMP of one colour (rows of a multiple of four bytes)."""
    row = bytes((rgb[2], rgb[1], rgb[0])) * width
    row += b"\0" * (-len(row) % 4)
    pixels = row * height
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0" * 4 + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little")
    info += (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + b"\0" * 24
    return header + info + pixels


def case_dialog_picture(wine_run, saver, driver):
    # Pictures whose names are not ASCII: one chosen in the dialog, stored in the
    # ANSI code page, then drawn by the saver, which also lists them for cycling
    # and loads the next at once. Red pictures, blue cells without them.
    name = "\u00d6lbild"
    set_maker_folder(None)
    os.makedirs(os.path.join(maker_folder(), "Pictures"))
    for picture in (name, name + " 2"):
        with open(os.path.join(maker_folder(), "Pictures", picture + ".bmp"), "wb") as f:
            f.write(bmp_file(8, 8, (255, 0, 0)))
    dialog = Saver([wine_run, saver, "/c"])
    try:
        if not wait_for(lambda: any(r["name"] == '" Orvex ScreenSaver"' for r in window_tree()), 30):
            fail("no configuration dialog")
        # Output through a file: a pipe would stay open as long as Wine's server runs.
        output = os.path.join(maker_folder(), "driver.txt")
        with open(output, "w") as f:
            subprocess.run([wine_run, driver, "pick", "1041", "1", "show", "1041", "click", "1029", "click", "1039",
                            "click", "1"],
                           stdout=f, stderr=subprocess.DEVNULL, timeout=30)
        with open(output, encoding="utf-8") as f:
            out = f.read()
        note(out.strip())
        chosen = out.partition("1041: ")[2].strip()
        if chosen not in (name, name + " 2"):
            fail("the pictures are not listed by their names: %r" % chosen)
        if not dialog.wait_end(10):
            fail("OK did not end the dialog")
    finally:
        dialog.stop()
    with open(os.path.join(maker_folder(), "ss_ca_02.ini"), "rb") as f:
        lines = f.read().split(b"\r\n")
    if lines[11] != b"1" or lines[12] != b"1" or lines[16] != chosen.encode("cp1252"):
        fail("settings file lines 12, 13 and 17: %r %r %r" % (lines[11], lines[12], lines[16]))
    s = start_full_screen(wine_run, saver)
    try:
        pixels = settled_frame(1.5)[2]
        on = lit(pixels)
        red = [p for p in on if pixels[3 * p] > 2 * max(pixels[3 * p + 1], pixels[3 * p + 2])]
        note("lit pixels %d, of them red %d" % (len(on), len(red)))
        if not on or len(red) < 0.9 * len(on):
            fail("the cells do not show the picture")
        ended_within(s, 1.0, "a key press", ["xdotool", "key", "space"])
    finally:
        s.stop()
        set_maker_folder(None)


def case_jpeg_picture(wine_run, saver):
    # A JPEG stored a quarter turn left with EXIF orientation 6, read through
    # the system's imaging component: the cells show its four colours upright
    # (red, green above; blue, yellow below).
    set_maker_folder(settings_file(0, 1028, "Random_Points", 1, "exif6.jpg"))
    made = os.path.join(maker_folder(), "made")
    subprocess.run([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                                 "make_test_pictures.py"), made], check=True)
    os.makedirs(os.path.join(maker_folder(), "Pictures"))
    shutil.copy(os.path.join(made, "exif6.jpg"), os.path.join(maker_folder(), "Pictures"))
    s = start_full_screen(wine_run, saver)
    try:
        w, h, pixels = settled_frame(2.0)
        colour = {"red": lambda r, g, b: r > 2 * max(g, b), "green": lambda r, g, b: g > 2 * max(r, b),
                  "blue": lambda r, g, b: b > 2 * max(r, g), "yellow": lambda r, g, b: min(r, g) > 2 * b}
        for name, (x0, x1), (y0, y1) in (("red", (0, .5), (0, .4)), ("green", (.5, 1), (0, .4)),
                                         ("blue", (0, .5), (.6, 1)), ("yellow", (.5, 1), (.6, 1))):
            part = [p for p in lit(pixels) if x0 * w <= p % w < x1 * w and y0 * h <= p // w < y1 * h]
            right = [p for p in part if colour[name](*pixels[3 * p:3 * p + 3])]
            note("%s part: %d lit, %d %s" % (name, len(part), len(right), name))
            if not part or len(right) < 0.85 * len(part):
                fail("the cells do not show the JPEG upright in its colours (%s part)" % name)
        ended_within(s, 1.0, "a key press", ["xdotool", "key", "space"])
    finally:
        s.stop()
        set_maker_folder(None)


def case_close_under_box(wine_run, saver, driver):
    # A damaged picture whose name is not ASCII brings up its box at start; the
    # box names it as the folder does. The saver is then closed while the box is
    # up (the cursor moved, another window given the focus): it ends cleanly.
    name = "\u00d6lbild"
    set_maker_folder(None)
    for sub in ("Patterns2d", "Pictures"):
        os.makedirs(os.path.join(maker_folder(), sub))
    open(os.path.join(maker_folder(), "Pictures", name + ".bmp"), "wb").close()
    with open(os.path.join(maker_folder(), "ss_ca_02.ini"), "w", newline="\r\n", encoding="cp1252") as f:
        f.write(settings_file(0, 1028, "Random_Points", 1, name))
    log = os.path.join(maker_folder(), "wine.txt")
    with open(log, "w") as err:
        s = Saver([wine_run, saver, "/s"], stderr=err, env=dict(os.environ, WINEDEBUG="-all,err+seh"))
    try:
        with open(os.path.join(maker_folder(), "driver.txt"), "w") as f:
            subprocess.run([wine_run, driver, "box", "Error"], stdout=f, stderr=subprocess.DEVNULL, timeout=60)
        with open(os.path.join(maker_folder(), "driver.txt"), encoding="utf-8") as f:
            shown = f.read().strip()
        note(shown)
        if name + ".bmp" not in shown:
            fail("the box does not name the picture as its folder does: %r" % shown)
        subprocess.run(["xdotool", "mousemove_relative", "--", "5", "5"])
        other = Saver([wine_run, "notepad"])
        if not s.wait_end(15):
            fail("the saver still runs 15 s after another program came up over its box")
    finally:
        s.stop()
        if "other" in locals():
            other.stop()
    with open(log, errors="replace") as f:
        trace = f.read()
    if s.proc.returncode != 0 or "page fault" in trace or "Unhandled" in trace:
        fail("closing with the box up: status %d, %s" % (s.proc.returncode, trace.strip()[-500:]))
    note("closed with its box up: status 0, no fault")
    set_maker_folder(None)


def case_configure_modes(wine_run, saver, driver):
    # Every way of asking for the settings opens the dialog; Cancel writes nothing.
    set_maker_folder(None)
    for args in ([], ["/c"], ["/C"], ["/c:0"], ["/c", "0"]):
        s = Saver([wine_run, saver] + args)
        try:
            if not wait_for(lambda: any(r["name"] == '" Orvex ScreenSaver"' for r in window_tree()), 30):
                fail("%r shows no configuration dialog" % args)
            d = subprocess.run([wine_run, driver, "click", "2"], capture_output=True, text=True, timeout=30)
            if not s.wait_end(20) or s.proc.returncode != 0:
                fail("%r: Cancel does not end the dialog; the driver said %r" % (args, d.stdout))
        finally:
            s.stop()
    if os.path.exists(maker_folder()):
        fail("Cancel wrote into %s" % maker_folder())
    note("no argument, /c, /C, /c:0 and /c 0 open the dialog")


SWAP_LINE = re.compile(r"^(?:[0-9a-f]+:)?(\d+\.\d+):.*SwapBuffers")


def swaps_per_second(wine_run, saver, lighting, seconds=5.0):
    """Buffer swaps per second of a full-screen run at speed 18, from Wine's wgl trace."""
    set_maker_folder("".join("%s\n" % v for v in [1022, 1026, 0, 0, 0, 18, 100, 0, 0, 1045 + lighting, 0,
                                                  0, 0, 1049, "12.000000", "", ""]))
    env = dict(os.environ, WINEDEBUG="+timestamp,+wgl")
    log_path = os.path.join(os.environ["WINEPREFIX"], "frame-rate.log")
    with open(log_path, "w") as log:
        s = Saver([wine_run, saver, "/s"], stderr=log, env=env)
        try:
            if not wait_for(saver_window, 20):
                fail("no full-screen window")
            time.sleep(seconds)
        finally:
            s.stop()
    with open(log_path, errors="replace") as log:
        times = [float(m.group(1)) for m in map(SWAP_LINE.match, log) if m]
    times = [t for t in times if times[0] + 1.0 <= t <= times[-1] - 0.5] if times else []
    if len(times) < 2:
        fail("no buffer swaps in Wine's trace (lighting %d)" % lighting)
    return (len(times) - 1) / (times[-1] - times[0])


def case_frame_rate(wine_run, saver):
    # A step every 41 ms (24 a second) and a redraw tick every 20 ms: with
    # lighting off only the steps bring new pictures; with a light it moves.
    still = swaps_per_second(wine_run, saver, 0)
    moving = swaps_per_second(wine_run, saver, 1)
    note("frames per second at speed 18: %.1f with lighting off, %.1f with one light" % (still, moving))
    # A busy machine draws fewer frames than asked for, so only the bounds are checked:
    # never more than one frame per step without lighting, and frames still come.
    if not 5.0 <= still <= 30.0:
        fail("%.1f frames a second with lighting off; one per step (about 24) expected" % still)


def check_monitors_run(wine_run, saver, want, per_monitor):
    """The saver's windows as wanted, each with the 25 x 25 block in its middle; a key ends all, status 0."""
    set_maker_folder(settings_file(6, 1028, "", 0, "--none--") + "%d\n" % per_monitor)
    s = Saver([wine_run, saver, "/s"])
    try:
        shown = lambda: sorted((r["x"], r["y"], r["w"], r["h"]) for r in window_tree() if r["name"] == '"SCREENSAVER"')
        if wait_for(lambda: len(shown()) >= len(want) and shown(), 20) != want:
            fail("windows %s, expected %s (a field on each monitor: %d)" % (shown(), want, per_monitor))
        for x, y, w, h in want:
            gl = wait_for(lambda: gl_window(w, h), 10)
            cw, _, pixels = (gl and wait_for(lambda: (lambda c: lit(c[2]) and c)(capture(gl)), 10)) or (1, 0, b"")
            xy = [(p % cw, p // cw) for p in lit(pixels)] or [(0, 0)]  # a row and a column lie off the screen
            box = [f(q[k] for q in xy) for k in (0, 1) for f in (min, max)]
            if abs(box[0] + box[1] - w) > 0.06 * w or abs(box[2] + box[3] - h) > 0.06 * h or \
                    not 0.1 * w <= box[1] - box[0] <= 0.6 * w:  # the block, a few steps old
                fail("no block in the middle of the %dx%d window at +%d+%d: lit x, y %s" % (w, h, x, y, box))
        ended_within(s, 3.0, "a key press", ["xdotool", "key", "space"])
        if s.proc.returncode != 0 or shown():
            fail("status %d, windows left: %s" % (s.proc.returncode, shown()))
    finally:
        s.stop()


def case_monitors(wine_run, saver, driver):
    # Own display split by xrandr (no server reset, which drops the monitors); own prefix, where Wine reads them
    # through Xinerama (which the server answers from them) instead of RandR.
    monitors = [(0, 0, 1024, 768), (1024, 0, 800, 600)]
    os.environ["DISPLAY"] = os.environ.get("ORVEX_MONITORS_DISPLAY", ":74")
    xvfb = Saver(["Xvfb", os.environ["DISPLAY"], "-screen", "0", "1824x768x24", "-nolisten", "tcp", "-noreset"])
    try:  # an Xvfb that ends at once found the display taken
        if not wait_for(lambda: subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0, 10) or \
                xvfb.wait_end(1):
            fail("no X server of this case's own on %s: set ORVEX_MONITORS_DISPLAY" % os.environ["DISPLAY"])
        for name, (x, y, w, h), output in zip(("left", "right"), monitors, ("screen", "none")):
            subprocess.run(["xrandr", "--setmonitor", name, "%d/%dx%d/%d+%d+%d" % (w, w // 4, h, h // 4, x, y), output])
        case_prefix(wine_run)
        subprocess.run([wine_run, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/t", "REG_SZ",
                        "/d", "N", "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        subprocess.run(["wineserver", "-k"])  # the desktop reads the monitors afresh
        seen = subprocess.run([wine_run, driver, "monitors"], capture_output=True, text=True, timeout=60).stdout
        if seen.count("monitor:") < 2:
            print("SKIPPED: Wine reports fewer than two monitors: %r" % seen, flush=True)
            sys.exit(SKIP)
        check_monitors_run(wine_run, saver, monitors, 1)
        check_monitors_run(wine_run, saver, [(0, 0, 1824, 768)], 0)
    finally:
        subprocess.run(["wineserver", "-k"])
        xvfb.stop()


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
    if case == "monitors":  # on a display of its own
        return case_monitors(wine_run, sys.argv[3], sys.argv[4]) or 0
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
        "dialog-picture": lambda: case_dialog_picture(wine_run, saver, sys.argv[4]),
        "configure-modes": lambda: case_configure_modes(wine_run, saver, sys.argv[4]),
        "close-under-box": lambda: case_close_under_box(wine_run, saver, sys.argv[4]),
        "jpeg-picture": lambda: case_jpeg_picture(wine_run, saver),
        "frame-rate": lambda: case_frame_rate(wine_run, saver),
    }
    if case not in cases:
        fail("unknown case " + case)
    cases[case]()
    note("passed: " + case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
