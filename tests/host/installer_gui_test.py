#!/usr/bin/env python3
"""The setup program under Wine, in a Wine prefix of its own.

    installer_gui_test.py CASE WINE_RUN SETUP_EXE SAVER_SCR SOURCE_DIR PICTURES_DIR

CASE: prefix (a fresh prefix), install, saver, upgrade, uninstall. The cases
after prefix build on one another in that order (CTest runs them so) but each
also starts from a known state. Every process is ended by its own pid.
Exit 77: no X display.
"""
import filecmp
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import saver_gui_test as gui  # noqa: E402  (window and capture helpers)

fail, note = gui.fail, gui.note
UNINST_KEY = r"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvexScreenSaver"
UNINSTALLER = "Uninstall Orvex ScreenSaver.exe"
GUIDE = os.path.join("Information", "Orvex ScreenSaver")
CHANGED_SETTINGS = "1020\r\n1025\r\n1\r\n3\r\n0\r\n5\r\n300\r\n0\r\n0\r\n1046\r\n1\r\n1\r\n0\r\n1050\r\n30.000000\r\nRandom_Points\r\nEmber\r\n"


class Setup:
    def __init__(self, argv):
        self.wine_run, self.setup, self.scr, self.source, self.pictures = argv
        self.prefix = os.environ["WINEPREFIX"]
        self.maker = os.path.join(self.prefix, "drive_c", "Program Files", "Halvorn ScreenSavers")
        self.sys_scr = os.path.join(self.prefix, "drive_c", "windows", "system32", "orvex.scr")

    def run(self, args, seconds=120, trace=None):
        """Runs a Windows program to its end, then waits for the prefix's other processes."""
        env = dict(os.environ)
        if trace:
            env["WINEDEBUG"] = trace
        with open(os.path.join(self.prefix, "last-run.log"), "w") as log:
            p = subprocess.Popen([self.wine_run] + args, stdout=log, stderr=log, env=env)
            try:
                p.wait(timeout=seconds)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
                fail("%s still runs after %d s" % (" ".join(args), seconds))
        # The uninstaller runs on from a copy of itself; wineserver -w waits for it.
        w = subprocess.Popen(["wineserver", "-w"])
        try:
            w.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            w.kill()
            w.wait()
            fail("the prefix stays busy %d s after %s" % (seconds, " ".join(args)))
        with open(os.path.join(self.prefix, "last-run.log")) as log:
            return p.returncode, log.read()

    def install(self, trace=None):
        rc, log = self.run([self.setup, "/S"], trace=trace)
        if rc != 0:
            fail("the setup program ended with status %d" % rc)
        return log

    def uninstall(self, *options):
        rc, _ = self.run([os.path.join(self.maker, UNINSTALLER), "/S"] + list(options))
        if rc != 0:
            fail("the uninstaller ended with status %d" % rc)

    def uninstall_key(self):
        """The Add/Remove Programs entry as Wine stored it: {name: value text}, or None."""
        with open(os.path.join(self.prefix, "system.reg"), errors="replace") as f:
            text = f.read()
        m = re.search(r"^\[%s\][^\n]*\n(.*?)(?:\n\n|\Z)" % re.escape(UNINST_KEY), text, re.S | re.M | re.I)
        if not m:
            return None
        return dict(re.findall(r'^"([^"]+)"=(.*)$', m.group(1), re.M))

    def shipped_files(self):
        """(installed path, source path) of every file the setup program installs."""
        pairs = [(self.sys_scr, self.scr),
                 (os.path.join(self.maker, "ss_ca_02.ini"), os.path.join(self.source, "data", "ss_ca_02.ini"))]
        for sub, folder in (("Patterns2d", os.path.join(self.source, "data", "Patterns2d")),
                            ("Pictures", self.pictures),
                            (GUIDE, os.path.join(self.source, "data", "Information"))):
            for name in sorted(os.listdir(folder)):
                pairs.append((os.path.join(self.maker, sub, name), os.path.join(folder, name)))
        return pairs

    def remove_installation(self):
        shutil.rmtree(self.maker, ignore_errors=True)
        if os.path.exists(self.sys_scr):
            os.remove(self.sys_scr)


def case_install(s):
    s.remove_installation()
    log = s.install(trace="-all,trace+advapi,trace+security")
    for installed, source in s.shipped_files():
        if not os.path.isfile(installed) or not filecmp.cmp(installed, source, shallow=False):
            fail("%s is missing or differs from %s" % (installed, source))
    if not os.path.isfile(os.path.join(s.maker, UNINSTALLER)):
        fail("no uninstaller in the maker folder")
    key = s.uninstall_key()
    if not key:
        fail("no Add/Remove Programs entry")
    for name, value in (("DisplayName", '"Orvex ScreenSaver 2.0"'), ("DisplayVersion", '"2.0"'),
                        ("Publisher", '"Halvorn ScreenSavers"'),
                        ("DisplayIcon", r'"C:\\windows\\system32\\orvex.scr,0"')):
        if key.get(name, "").lower() != value.lower():
            fail("%s is %s, not %s" % (name, key.get(name), value))
    for name in ("UninstallString", "QuietUninstallString", "EstimatedSize"):
        if name not in key:
            fail("the entry has no " + name)
    if int(key["EstimatedSize"].split(":")[1], 16) < 500:
        fail("EstimatedSize %s is not the size in KB" % key["EstimatedSize"])
    # Wine keeps no access lists on files (icacls is a stub there, and an access
    # list set is answered with success but not stored), so what can be seen is
    # the request: Users, by SID, get modify rights inherited by the folder's content.
    maker = r'L"C:\\Program Files\\Halvorn ScreenSavers"'
    if 'ConvertStringSidToSidW L"S-1-5-32-545"' not in log:
        fail("the Users group is not looked up by its SID")
    entry = re.search(r"SetEntriesInAclW \[0\]:\s+grfAccessPermissions = (\S+)\s+grfAccessMode = (\d+)\s+"
                      r"grfInheritance = (\S+).*?TrusteeForm = (\d+)", log, re.S)
    # modify rights, GRANT_ACCESS, inherited by files and folders, a trustee given by SID
    if not entry or entry.groups() != ("0x1301bf", "1", "0x3", "0"):
        fail("the access entry added is not Users: modify, inherited: %s" % (entry and entry.groups(),))
    if not re.search(r"SetNamedSecurityInfoW %s 1 4 0+ 0+ [0-9A-F]*[1-9A-F][0-9A-F]* " % re.escape(maker), log):
        fail("the maker folder's access list is not set")
    if "Could not give Users" in log:
        fail("the setup program reports that the access list failed")
    note("installed; access list request seen: Users (S-1-5-32-545) modify on the maker folder")


def ensure_installed(s):
    if not os.path.isfile(s.sys_scr) or s.uninstall_key() is None:
        s.install()


def case_saver(s):
    """The installed saver full screen, with the installed settings: a sample picture on."""
    ensure_installed(s)
    saver = gui.Saver([s.wine_run, r"C:\windows\system32\orvex.scr", "/s"])
    try:
        if not gui.wait_for(gui.saver_window, 20):
            fail("no full-screen window")
        rw, rh = gui.root_size()
        gl = gui.wait_for(lambda: gui.gl_window(rw, rh), 10)
        if not gl:
            fail("no OpenGL window of the screen's size")
        time.sleep(2.0)
        if gui.message_boxes():
            fail("a message box came up: %s" % gui.message_boxes())
        _, _, pixels = gui.capture(gl)
        on = gui.lit(pixels)
        # The settings draw in blue without a picture; the sample picture is warm.
        warm = [p for p in on if pixels[3 * p] > pixels[3 * p + 2] + 30]
        note("lit pixels %d, warm %d" % (len(on), len(warm)))
        if len(on) < 1000 or len(warm) < len(on) // 3:
            fail("the cells do not show the picture")
        gui.ended_within(saver, 2.0, "a key press", ["xdotool", "key", "space"])
    finally:
        saver.stop()


def case_upgrade(s):
    ensure_installed(s)
    ini = os.path.join(s.maker, "ss_ca_02.ini")
    user_files = [os.path.join(s.maker, "Pictures", "Mine.bmp"), os.path.join(s.maker, "Patterns2d", "Mine.lif")]
    with open(ini, "w", newline="") as f:
        f.write(CHANGED_SETTINGS)
    shutil.copy(os.path.join(s.pictures, "Ember.bmp"), user_files[0])
    with open(user_files[1], "w") as f:
        f.write("#Life 1.05\n#D mine\n#P 0 0\n***\n")
    os.remove(s.sys_scr)  # the saver is replaced
    s.install()
    with open(ini, newline="") as f:
        if f.read() != CHANGED_SETTINGS:
            fail("the upgrade replaced the user's settings")
    for installed, _ in s.shipped_files():
        if not os.path.isfile(installed):
            fail("%s is missing after the upgrade" % installed)
    for path in user_files:
        if not os.path.isfile(path):
            fail("the upgrade removed %s" % path)
        os.remove(path)
    note("settings and the user's files kept over an upgrade")


def leftovers(s):
    found = [s.sys_scr] if os.path.exists(s.sys_scr) else []
    for root, dirs, files in os.walk(s.maker):
        found += [os.path.join(root, n) for n in files]
    return found


def case_uninstall(s):
    # 1. The settings as installed: nothing is left behind.
    ensure_installed(s)
    shutil.copy(os.path.join(s.source, "data", "ss_ca_02.ini"), os.path.join(s.maker, "ss_ca_02.ini"))
    s.run(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "SCRNSAVE.EXE", "/d",
           r"C:\windows\system32\orvex.scr", "/f"])
    s.uninstall()
    if leftovers(s) or os.path.exists(s.maker):
        fail("left behind: %s" % (leftovers(s) or [s.maker]))
    if s.uninstall_key() is not None:
        fail("the Add/Remove Programs entry is still there")
    _, out = s.run(["reg", "query", r"HKCU\Control Panel\Desktop", "/v", "SCRNSAVE.EXE"])
    if "orvex.scr" in out.lower():
        fail("SCRNSAVE.EXE still names the removed saver")
    # 2. Changed settings and a picture of the user's own: silently, both stay.
    s.install()
    ini = os.path.join(s.maker, "ss_ca_02.ini")
    mine = os.path.join(s.maker, "Pictures", "Mine.bmp")
    with open(ini, "w", newline="") as f:
        f.write(CHANGED_SETTINGS)
    shutil.copy(os.path.join(s.pictures, "Ember.bmp"), mine)
    s.uninstall()
    if sorted(leftovers(s)) != sorted([ini, mine]):
        fail("after a silent uninstall with changed settings: %s" % leftovers(s))
    # 3. /PURGE removes the changed settings; the user's picture still stays.
    s.install()
    s.uninstall("/PURGE")
    if leftovers(s) != [mine]:
        fail("after /PURGE: %s" % leftovers(s))
    s.remove_installation()
    note("uninstalled: nothing of ours left; changed settings kept unless /PURGE; user files kept")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    case = sys.argv[1]
    if "WINEPREFIX" not in os.environ:
        fail("WINEPREFIX is not set")
    os.environ.setdefault("WINEDEBUG", "-all")
    if case != "prefix" and not os.environ.get("DISPLAY"):
        print("SKIPPED: no X display (DISPLAY is not set); start Xvfb and export DISPLAY", flush=True)
        return gui.SKIP
    s = Setup(sys.argv[2:7]) if case != "prefix" else None
    cases = {"install": case_install, "saver": case_saver, "upgrade": case_upgrade,
             "uninstall": case_uninstall}
    if case == "prefix":
        shutil.rmtree(os.environ["WINEPREFIX"], ignore_errors=True)
        gui.case_prefix(sys.argv[2])
    elif case in cases:
        cases[case](s)
    else:
        fail("unknown case " + case)
    note("passed: " + case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
