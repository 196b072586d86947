#!/usr/bin/env python3
"""Screenshots of the setup program's and the uninstaller's pages, for the README.

    scripts/installer-screenshots.py [SETUP_EXE] [OUT_DIR]

Defaults: build/windows/installer/OrvexScreenSaver-2.0-setup.exe (made by
`cmake --build --preset windows --target orvex_setup`) and docs/images/installer.
Runs the setup program as a user would, without /S, under Wine in a fresh
prefix of its own, on the X display in DISPLAY or, without one, on a private
Xvfb that it starts and ends. Every page is captured with ImageMagick's import
and the default button pressed with xdotool. Needs wine, xvfb, xdotool, imagemagick.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "host", "win32"))
import saver_gui_test as gui  # noqa: E402  (X window helpers)

WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
MAKER = os.path.join("drive_c", "Program Files", "Halvorn ScreenSavers")


def top_window(title):
    """The smallest top-level window whose title starts with title (a message box
    over its page), or None."""
    rows = [r for r in gui.window_tree()
            if r["top"] and r["name"].startswith('"' + title) and r["w"] > 100 and r["h"] > 50]
    return min(rows, key=lambda r: r["w"] * r["h"])["id"] if rows else None


def shoot(title, out, name, settle=1.5):
    if not gui.wait_for(lambda: top_window(title), 60):
        sys.exit("no window titled %r for %s" % (title, name))
    time.sleep(settle)
    window = top_window(title)
    subprocess.run(["import", "-window", window, os.path.join(out, name + ".png")], check=True)
    print("captured " + name, flush=True)
    return window


def press(key="Return"):  # the default button
    subprocess.run(["xdotool", "key", key], check=True)


def run_pages(args, title, pages, out):
    """Starts a program, then for each (name, seconds) waits that long for the
    page to settle, captures it and presses its default button."""
    p = gui.Saver([WINE_RUN] + args)
    try:
        for name, settle in pages:
            shoot(title, out, name, settle)
            press()
        if not p.wait_end(30):
            sys.exit("%s did not end" % args[0])
    finally:
        p.stop()
    subprocess.run(["wineserver", "-w"], timeout=60)


def main():
    setup = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(ROOT, "build", "windows", "installer", "OrvexScreenSaver-2.0-setup.exe"))
    out = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "docs", "images", "installer"))
    os.makedirs(out, exist_ok=True)
    prefix = tempfile.mkdtemp(prefix="orvex-setup-shots-")
    os.environ.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    xvfb = None
    if not os.environ.get("DISPLAY"):
        display = 90
        while os.path.exists("/tmp/.X11-unix/X%d" % display) or os.path.exists("/tmp/.X%d-lock" % display):
            display += 1
        xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["DISPLAY"] = ":%d" % display
        gui.wait_for(lambda: os.path.exists("/tmp/.X11-unix/X%d" % display), 5)
    try:
        gui.case_prefix(WINE_RUN)
        # Welcome, the finished file copying, the finish page (its default choices).
        run_pages([setup], "Orvex ScreenSaver 2.0 Setup",
                  [("setup-welcome", 1.5), ("setup-installed", 6), ("setup-finish", 1.5)], out)
        # Finish, with its first choice ticked, made it the current screen saver.
        query = subprocess.run([WINE_RUN, "reg", "query", r"HKCU\Control Panel\Desktop", "/v", "SCRNSAVE.EXE"],
                               capture_output=True, text=True).stdout
        print("current screen saver: " + (query.split("REG_SZ")[-1].strip() if "REG_SZ" in query else "none"))
        # The uninstaller asks about settings the user changed.
        with open(os.path.join(prefix, MAKER, "ss_ca_02.ini"), "a") as f:
            f.write("\r\n")
        run_pages([os.path.join(prefix, MAKER, "Uninstall", "Uninstall Orvex ScreenSaver.exe")],
                  "Orvex ScreenSaver 2.0 Uninstall",
                  [("uninstall-confirm", 1.5), ("uninstall-keep-settings", 1.5), ("uninstall-done", 4)], out)
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(prefix, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
