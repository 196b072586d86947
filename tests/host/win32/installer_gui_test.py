#!/usr/bin/env python3
"""The setup program under Wine, in a fresh Wine prefix of its own.

    installer_gui_test.py CASE WINE_RUN [SETUP_EXE SAVER_SCR SOURCE_DIR PICTURES_DIR HOLD_FILE [DIALOG_DRIVER]]

CASE: prefix, install, saver, dialog, upgrade, uninstall; CTest runs them in this order.
Every process is ended by its own pid. Exit 77: no X display.
"""
import filecmp
import glob
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import saver_gui_test as gui  # noqa: E402  (the Windows saver's windows)
from gui_driver import capture, fail, lit, note, Process, root_size, wait_for, window_tree  # noqa: E402

UNINST_KEY = r"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvexScreenSaver"
CHANGED = "1020\r\n1025\r\n1\r\n3\r\n0\r\n5\r\n300\r\n0\r\n0\r\n1046\r\n1\r\n1\r\n0\r\n1050\r\n30.000000\r\n" \
          "Random_Points\r\nEmber\r\n"
WINE_RUN, SETUP, SCR, SOURCE, PICTURES, HOLDER, DRIVER = (sys.argv[2:9] + [""] * 7)[:7]
PREFIX = os.environ.get("WINEPREFIX", "")
MAKER = os.path.join(PREFIX, "drive_c", "Program Files", "Halvorn ScreenSavers")
SYS_SCR = os.path.join(PREFIX, "drive_c", "windows", "system32", "orvex.scr")
INI = os.path.join(MAKER, "ss_ca_02.ini")
UNINSTALLER = os.path.join(MAKER, "Uninstall", "Uninstall Orvex ScreenSaver.exe")
UNINSTALLER_WIN = r"C:\Program Files\Halvorn ScreenSavers\Uninstall\Uninstall Orvex ScreenSaver.exe"
DESKTOP = r"HKCU\Control Panel\Desktop"
OTHER_SAVER = r"C:\windows\system32\other.scr"


def run(*args, trace="-all"):
    """A Windows program to its end, and whatever it started (the uninstaller
    goes on from a copy of itself): (status, output with Wine's trace)."""
    log_name = os.path.join(PREFIX, "last-run.log")
    if "server" in trace:  # a server left running by an earlier case would trace nothing
        Process(["wineserver", "-w"]).ends("the server before " + args[0], 120, status=None)
    with open(log_name, "w") as log:
        p = Process([WINE_RUN] + list(args), stdout=log, stderr=log, env=dict(os.environ, WINEDEBUG=trace))
        p.ends("the start", 120, status=None)
    Process(["wineserver", "-w"]).ends("the end of " + args[0], 120, status=None)
    with open(log_name, errors="replace") as log:
        return p.status, log.read()


ADMINS_ONLY = {("S-1-5-18", "1f01ff", "3"), ("S-1-5-32-544", "1f01ff", "3")}  # SYSTEM, Administrators
USER_FOLDER = ADMINS_ONLY | {("S-1-5-32-545", "1200ab", "0"),  # Users: list, read, add files; no folders, no delete
                             ("S-1-5-32-545", "1301bf", "d")}  # modify the files directly inside
READ_ONLY = ADMINS_ONLY | {("S-1-5-32-545", "1200a9", "3")}  # read and execute
# The lists set on the files the setup program writes: the same rights, nothing to hand down.
USER_FILE = {("S-1-5-18", "1f01ff", "0"), ("S-1-5-32-544", "1f01ff", "0"), ("S-1-5-32-545", "1301bf", "0")}
READ_FILE = {("S-1-5-18", "1f01ff", "0"), ("S-1-5-32-544", "1f01ff", "0"), ("S-1-5-32-545", "1200a9", "0")}
EXPECTED_RIGHTS = {"": USER_FOLDER, r"\Patterns2d": USER_FOLDER, r"\Pictures": USER_FOLDER,
                   r"\Uninstall": READ_ONLY, r"\Information": READ_ONLY,
                   r"\Information\Orvex ScreenSaver": READ_ONLY}
# GENERIC_WRITE, GENERIC_ALL, DELETE, FILE_WRITE_DATA, _APPEND_DATA, _WRITE_EA, _WRITE_ATTRIBUTES
WRITE_ACCESS = 0x40000000 | 0x10000000 | 0x10000 | 0x2 | 0x4 | 0x10 | 0x100
DATA_ACCESS = 0x40000000 | 0x10000000 | 0x2 | 0x4  # what writes a file's bytes
TRACE = "-all,trace+server"  # the requests to wineserver: opens, handles, security descriptors


def folder_use(log):
    """Wine's server trace of a run, read for the maker folder and what is below it: ({folder: (owner,
    SE_DACL_PROTECTED, {(SID, rights, inheritance)})} as set on a handle of that folder held open for
    sole writing (backup semantics, shared for reading only), {file: the same} as set on the handle of
    a file created new (FILE_CREATE) and shared with no one, [paths opened to write or delete while
    neither they nor their folder were held so], [files opened to write their bytes other than as new
    files shared with no one], the number of security descriptors set on anything else)."""
    held, pending, found, unheld, stray = {}, {}, {}, [], 0
    made, made_pending, made_found, rewritten = {}, {}, {}, []
    for m in re.finditer(r"^([0-9a-f]{4}): (\w+)\((.*)\)(?: = (\w+))?(.*)$", log, re.M):
        thread, call, args, status, reply = m.groups()
        if call == "create_file" and status is None:
            path = re.search(r'name=L"\\\\\?\?\\\\C:\\\\Program Files\\\\Halvorn ScreenSavers((?:\\\\[^"\\]+)*)', args)
            if path:
                path = path.group(1).replace("\\\\", "\\")
                opts = re.search(r"access=(\w+), sharing=(\w+), create=(\w+), options=(\w+)", args)
                access, options = int(opts.group(1), 16), int(opts.group(4), 16)
                writes = access & WRITE_ACCESS or opts.group(3) != "1"  # or FILE_OPEN
                if opts.group(2) == "00000001" and options & 0x4000:
                    pending[thread] = path
                elif path and writes and not {path, path.rpartition("\\")[0]} & {
                        p for (t, _), p in held.items() if t == thread}:
                    unheld.append(path)
                if not options & 0x1 and access & DATA_ACCESS:  # a file (not FILE_DIRECTORY_FILE) to write
                    if opts.group(3) == "2" and opts.group(2) == "00000000":
                        made_pending[thread] = path
                    else:
                        rewritten.append(path)
        elif call == "create_file" and status is not None:
            folder, file = pending.pop(thread, None), made_pending.pop(thread, None)
            if status == "0" and folder is not None:
                held[thread, re.search(r"handle=(\w+)", reply).group(1)] = folder
            if status == "0" and file is not None:
                made[thread, re.search(r"handle=(\w+)", reply).group(1)] = file
        elif call == "set_security_object" and status is None:
            handle = (thread, re.search(r"handle=(\w+)", args).group(1))
            sd = re.search(r"control=(\w+),owner=([^,]*),.*dacl=\{(.*)\}\}", args)
            if not sd or (handle not in held and handle not in made):
                stray += 1
            else:
                aces = re.findall(r"type=ACCESS_ALLOWED,flags=(\w+),mask=(\w+),sid=([^}]+)", sd.group(3))
                descriptor = (sd.group(2), bool(int(sd.group(1), 16) & 0x1000), {(s, r, f) for f, r, s in aces})
                if handle in held:
                    found[held[handle]] = descriptor
                else:
                    made_found[made[handle]] = descriptor
        elif call == "close_handle" and status is None:
            handle = (thread, re.search(r"handle=(\w+)", args).group(1))
            held.pop(handle, None)
            made.pop(handle, None)
    return found, made_found, unheld, rewritten, stray


def check_folders(log, what, written):
    """Every folder of ours owned by Administrators, with its access list, set on a handle that stays open
    while anything in the folder is written or deleted; each file of WRITTEN (paths in the maker folder)
    created new and given owner and list on its own handle, and no file of ours written otherwise; no
    descriptor set on anything else (a call that propagates into what a folder holds would set them on
    its files)."""
    found, made, unheld, rewritten, stray = folder_use(log)
    wanted = {f: ("S-1-5-32-544", True, rights) for f, rights in EXPECTED_RIGHTS.items()}
    files = {f: ("S-1-5-32-544", True, READ_FILE if EXPECTED_RIGHTS[f.rpartition("\\")[0]] is READ_ONLY
                 else USER_FILE) for f in written}
    if found != wanted or made != files or unheld or rewritten or stray:
        fail("%s: owners and access lists %s; of the files written %s; opened while their folder was not "
             "held: %s; written other than as new files: %s; other security descriptors set: %d"
             % (what, found, made, unheld, rewritten, stray))


def install(*options, trace="-all"):
    rc, log = run(SETUP, "/S", *options, trace=trace)
    if rc != 0:
        fail("the setup program ended with status %d" % rc)
    return log


def uninstall(*options, trace="-all"):
    rc, log = run(UNINSTALLER, "/S", *options, trace=trace)
    if rc != 0:
        fail("the uninstaller failed")
    return log


def uninstall_key():
    """The Add/Remove Programs entry as Wine stored it, {name: value text}, or None."""
    with open(os.path.join(PREFIX, "system.reg"), errors="replace") as f:
        m = re.search(r"^\[%s\][^\n]*\n(.*?)(?:\n\n|\Z)" % re.escape(UNINST_KEY), f.read(), re.S | re.M | re.I)
    return dict(re.findall(r'^"([^"]+)"=(.*)$', m.group(1), re.M)) if m else None


def screen_saver():
    """(SCRNSAVE.EXE, ScreenSaveActive) of the user as Wine stored them (.reg text, lower case), None if absent."""
    with open(os.path.join(PREFIX, "user.reg"), errors="replace") as f:
        m = re.search(r"^\[Control Panel\\\\Desktop\][^\n]*\n(.*?)(?:\n\n|\Z)", f.read(), re.S | re.M | re.I)
    values = dict(re.findall(r'^"([^"]+)"=(.*)$', m.group(1), re.M)) if m else {}
    return tuple(values.get(n, "").lower() or None for n in ("SCRNSAVE.EXE", "ScreenSaveActive"))


def shipped_files():
    """(installed path, source path) of every file the setup program installs."""
    pairs = [(SYS_SCR, SCR), (INI, os.path.join(SOURCE, "data", "ss_ca_02.ini"))]
    guide = (os.path.join("Information", "Orvex ScreenSaver"), os.path.join(SOURCE, "data", "Information"))
    for sub, folder in (("Patterns2d", os.path.join(SOURCE, "data", "Patterns2d")), ("Pictures", PICTURES), guide):
        pairs += [(os.path.join(MAKER, sub, n), os.path.join(folder, n)) for n in sorted(os.listdir(folder))]
    return pairs


def leftovers():
    found = [SYS_SCR] if os.path.exists(SYS_SCR) else []
    return found + [os.path.join(root, n) for root, _, files in os.walk(MAKER) for n in files]


def ensure_installed():
    if not os.path.isfile(SYS_SCR) or not os.path.isfile(UNINSTALLER):
        install()


def case_install():
    shutil.rmtree(MAKER, ignore_errors=True)
    log = install(trace=TRACE)
    for installed, source in shipped_files():
        if not os.path.isfile(installed) or not filecmp.cmp(installed, source, shallow=False):
            fail("%s is missing or differs from %s" % (installed, source))
    key = uninstall_key() or fail("no Add/Remove Programs entry")
    uninstaller = r'\"C:\\Program Files\\Halvorn ScreenSavers\\Uninstall\\Uninstall Orvex ScreenSaver.exe\"'
    expected = {"DisplayName": '"Orvex ScreenSaver 2.0"', "DisplayVersion": '"2.0"',
                "Publisher": '"Halvorn ScreenSavers"', "DisplayIcon": r'"C:\\windows\\system32\\orvex.scr,0"',
                "UninstallString": '"%s"' % uninstaller, "QuietUninstallString": '"%s /S"' % uninstaller}
    for name, value in expected.items():
        if key.get(name, "").lower() != value.lower():
            fail("%s is %s, not %s" % (name, key.get(name), value))
    if int(key.get("EstimatedSize", "dword:0").split(":")[1], 16) < 500:
        fail("EstimatedSize %s is not the size in KB" % key.get("EstimatedSize"))
    # Wine keeps neither owners nor access lists on files (a descriptor that is set
    # is answered with success and not stored; the owner always reads back as the
    # one user), so the requests are what can be checked.
    written = [f for f, _ in shipped_files() if f.startswith(MAKER)] + [UNINSTALLER]
    check_folders(log, "install", ["\\" + os.path.relpath(f, MAKER).replace("/", "\\") for f in written])
    note("installed; owner and access list set on %d folders, each held open while written into, and on "
         "each of the %d files, each written new" % (len(EXPECTED_RIGHTS), len(written)))


def case_saver():
    """The installed saver full screen with the installed settings: a sample picture on."""
    ensure_installed()
    saver = Process([WINE_RUN, r"C:\windows\system32\orvex.scr", "/s"])
    try:
        rw, rh = root_size()
        gl = wait_for(gui.saver_window, 20) and wait_for(lambda: gui.gl_window(rw, rh), 10)
        if not gl:
            fail("no full-screen OpenGL window")
        time.sleep(2.0)
        if gui.message_boxes():
            fail("a message box came up: %s" % gui.message_boxes())
        pixels = capture(gl)[2]
        on = lit(pixels)
        # Blue cells without a picture; the picture named in the settings is warm.
        warm = [p for p in on if pixels[3 * p] > pixels[3 * p + 2] + 30]
        note("lit pixels %d, warm %d" % (len(on), len(warm)))
        if len(on) < 1000 or len(warm) < len(on) // 3:
            fail("the cells do not show the picture")
        gui.ended_within(saver, 2.0, "a key press", ["xdotool", "key", "space"])
    finally:
        saver.stop()


def case_dialog():
    """The installed saver's settings dialog saves into the maker folder: Default, then OK."""
    ensure_installed()
    shutil.copy(os.path.join(SOURCE, "data", "ss_ca_02.ini"), INI)
    dialog = Process([WINE_RUN, r"C:\windows\system32\orvex.scr", "/c"])
    try:
        shown = lambda: any(r["top"] and r["name"] == '" Orvex ScreenSaver"' for r in window_tree())
        if not wait_for(shown, 20):
            fail("no settings dialog")
        time.sleep(0.5)
        driver = subprocess.run([WINE_RUN, DRIVER, "click", "102", "click", "1"], capture_output=True, text=True,
                                timeout=60)
        if driver.returncode != 0 or not dialog.wait_end(10):
            fail("the dialog did not take Default and OK: %s" % driver.stdout.strip())
    finally:
        dialog.stop()
    # Default changes the drawing style, the picture settings (and the lighting,
    # line 10, left out here); the rest is as installed.
    with open(os.path.join(SOURCE, "data", "ss_ca_02.ini"), newline="") as f:
        expected = f.read().split("\r\n")
    expected[1], expected[11], expected[12], expected[16] = "1027", "0", "0", "--none--"
    with open(INI, newline="") as f:
        saved = f.read().split("\r\n")
    if len(saved) != len(expected) or saved[:9] + saved[10:] != expected[:9] + expected[10:] or glob.glob(INI + ".*tmp"):
        fail("the settings file in the maker folder was not saved: %s" % saved)
    note("the dialog saved the settings file in the maker folder")


def add_user_files():
    with open(INI, "w", newline="") as f:
        f.write(CHANGED)
    mine = [os.path.join(MAKER, "Pictures", "Mine.bmp"), os.path.join(MAKER, "Patterns2d", "Mine.lif")]
    shutil.copy(os.path.join(PICTURES, "Ember.bmp"), mine[0])
    shutil.copy(os.path.join(SOURCE, "data", "Patterns2d", "Glider.lif"), mine[1])
    return mine


def windows_path(path):
    """A Unix path as Windows programs under Wine name it (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def uninstall_program():
    """The Unix path of the program the Add/Remove Programs entry runs, "" if there is none."""
    value = (uninstall_key() or {}).get("UninstallString", '""')
    program = re.sub(r"\\(.)", r"\1", value[1:-1]).strip('"')  # .reg escapes, then the quotes around it
    if not re.match(r"(?i)c:\\", program):
        return ""
    return os.path.join(PREFIX, "drive_c", *program[3:].split("\\"))


def first_layout_key():
    """The Add/Remove Programs entry as the first layout wrote it: the uninstaller in the maker folder."""
    old = r"C:\\Program Files\\Halvorn ScreenSavers\\Uninstall Orvex ScreenSaver.exe"
    reg = os.path.join(PREFIX, "drive_c", "first-layout.reg")
    with open(reg, "w", newline="\r\n") as f:
        f.write('Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\%s]\n"UninstallString"="\\"%s\\""\n'
                '"QuietUninstallString"="\\"%s\\" /S"\n' % (UNINST_KEY.replace("\\\\", "\\"), old, old))
    run("reg", "import", r"C:\first-layout.reg")
    os.remove(reg)
    if not os.path.isfile(uninstall_program()) or os.path.dirname(uninstall_program()) != MAKER:
        fail("the first layout's Add/Remove Programs entry was not written: %s" % uninstall_key())


def case_upgrade():
    """Over changed settings and user files, and over the first layout: its uninstaller in the maker
    folder and its Add/Remove Programs entry naming it, and, as any user could make there, an Uninstall
    folder of the user's with a DLL in it and the new uninstaller's name taken by a hard link to a file of
    the user's elsewhere, and a hard link to another file in place of the guide. Under Wine every file
    reads back as owned by the one user, as a user-made folder would: the upgrade must ask for
    Administrators on it. First a program of the user's holds the linked uninstaller open (reading,
    sharing reading and writing, not deleting), so that it cannot be deleted: the setup program must stop
    (status 2) or write a new file, never write through the link nor name the user's file in the entry.
    Then, with the file no longer held, the upgrade must go through."""
    ensure_installed()
    mine = add_user_files()
    os.remove(SYS_SCR)
    old_uninstaller = os.path.join(MAKER, "Uninstall Orvex ScreenSaver.exe")
    shutil.copy(UNINSTALLER, old_uninstaller)
    planted = os.path.join(os.path.dirname(UNINSTALLER), "version.dll")
    shutil.rmtree(os.path.dirname(UNINSTALLER))
    os.mkdir(os.path.dirname(UNINSTALLER))
    shutil.copy(old_uninstaller, planted)
    users_file, users_bytes = os.path.join(PREFIX, "drive_c", "users.exe"), b"MZ the user's own program"
    with open(users_file, "wb") as f:
        f.write(users_bytes)
    os.link(users_file, UNINSTALLER)
    other, guide = os.path.join(PREFIX, "drive_c", "other.txt"), os.path.join(MAKER, "Information", "Orvex ScreenSaver",
                                                                                "index.html")
    with open(other, "w") as f:
        f.write("another file")
    os.remove(guide)
    os.link(other, guide)
    first_layout_key()

    def users_file_safe(what):
        with open(users_file, "rb") as f:
            if f.read() != users_bytes:
                fail("%s: the setup program wrote through the user's hard link" % what)
        named = uninstall_program()
        if named and os.path.exists(named) and os.path.samefile(named, users_file):
            fail("%s: Add/Remove Programs runs the user's file %s" % (what, named))

    status = run(HOLDER, UNINSTALLER_WIN, windows_path(SETUP), "/S")[0]
    users_file_safe("held")
    if status not in (0, 2) or status == 0 and not (os.path.isfile(UNINSTALLER) and os.stat(UNINSTALLER).st_nlink == 1):
        fail("held: the setup program ended with status %d and wrote no uninstaller of its own" % status)
    written = [r"\Uninstall\Uninstall Orvex ScreenSaver.exe"] + [
        "\\" + os.path.relpath(f, MAKER).replace("/", "\\") for f, _ in shipped_files() if "Information" in f]
    check_folders(install(trace=TRACE), "upgrade", written)
    users_file_safe("upgrade")
    if os.path.exists(planted) or os.stat(UNINSTALLER).st_nlink != 1 or uninstall_program() != UNINSTALLER:
        fail("the upgrade kept what a user put beside the uninstaller, or wrote no uninstaller of its own, "
             "or the entry does not name it: %s" % uninstall_key())
    missing = [f for f, _ in shipped_files() if not os.path.isfile(f)] + [f for f in mine if not os.path.isfile(f)]
    with open(INI, newline="") as f:
        if f.read() != CHANGED or missing:
            fail("the upgrade lost the user's settings or files: %s" % missing)
    with open(other) as f:
        if f.read() != "another file" or os.path.exists(old_uninstaller) or not filecmp.cmp(
                guide, os.path.join(SOURCE, "data", "Information", "index.html"), shallow=False):
            fail("the upgrade wrote through the link, or kept the old uninstaller")
    os.remove(other)
    os.remove(users_file)
    links()
    note("settings and the user's files kept over an upgrade; the first layout's uninstaller gone; no links followed; "
         "a held link in the uninstaller's place: status %d, the user's file untouched" % status)


def links():
    """Folders replaced by links. Wine cannot make a junction (FSCTL_SET_REPARSE_POINT is not supported),
    but it shows a Unix symbolic link to Windows programs as a reparse point (attributes 0x410)."""
    real, pictures = MAKER + ".real", os.path.join(MAKER, "Pictures")
    os.rename(MAKER, real)
    os.symlink(real, MAKER)
    status = [run(SETUP, "/S")[0], run(UNINSTALLER, "/S")[0]]
    os.remove(MAKER)
    os.rename(real, MAKER)
    if status[0] == 0 or not os.path.isfile(UNINSTALLER) or len(leftovers()) < len(shipped_files()):
        fail("a linked maker folder was installed or uninstalled through (status %d)" % status[0])
    elsewhere = os.path.join(PREFIX, "drive_c", "elsewhere")
    os.makedirs(elsewhere)
    shutil.copy(os.path.join(PICTURES, "Ember.bmp"), elsewhere)  # a sample's name
    os.rename(pictures, pictures + ".real")
    os.symlink(elsewhere, pictures)
    install()
    uninstall()
    if os.listdir(elsewhere) != ["Ember.bmp"]:
        fail("the setup program or the uninstaller went through the link: %s" % os.listdir(elsewhere))
    os.remove(pictures)
    os.rename(pictures + ".real", pictures)
    shutil.rmtree(elsewhere)
    install()


def case_uninstall():
    # As installed, and made the current screen saver (/CURRENT) over another one, switched off:
    # nothing is left behind and the user's own choice is back.
    for name, value in (("SCRNSAVE.EXE", OTHER_SAVER), ("ScreenSaveActive", "0")):
        run("reg", "add", DESKTOP, "/v", name, "/d", value, "/f")
    install("/CURRENT")
    if screen_saver() != (r'"c:\\windows\\system32\\orvex.scr"', '"1"'):
        fail("/CURRENT did not make Orvex the current screen saver: %s" % (screen_saver(),))
    shutil.copy(os.path.join(SOURCE, "data", "ss_ca_02.ini"), INI)
    for f in leftovers():
        if "Mine." in f:
            os.remove(f)
    use = folder_use(uninstall(trace=TRACE))
    if use != ({}, {}, [], [], 0):
        fail("the uninstaller deleted from a folder it did not hold, or set a security descriptor: %s" % (use,))
    if leftovers() or os.path.exists(MAKER) or uninstall_key() is not None:
        fail("left behind: %s" % (leftovers() or [MAKER, UNINST_KEY]))
    if screen_saver() != (r'"c:\\windows\\system32\\other.scr"', '"0"'):
        fail("the previous screen saver is not back: %s" % (screen_saver(),))
    # Changed settings and the user's files stay; /PURGE removes the settings too. Made
    # current by hand, with no record of what was before, ours is only removed.
    install()
    mine = add_user_files()
    run("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d", r"C:\windows\system32\orvex.scr", "/f")
    uninstall()
    if screen_saver() != (None, '"0"'):
        fail("SCRNSAVE.EXE still names the removed saver: %s" % (screen_saver(),))
    if sorted(leftovers()) != sorted(mine + [INI]):
        fail("after a silent uninstall with changed settings: %s" % leftovers())
    install()
    uninstall("/PURGE")
    if sorted(leftovers()) != sorted(mine):
        fail("after /PURGE: %s" % leftovers())
    shutil.rmtree(MAKER)
    note("uninstalled: nothing of ours left; changed settings kept unless /PURGE; user files kept")


def main():
    case = sys.argv[1] if len(sys.argv) > 2 else fail(__doc__)
    if not PREFIX:
        fail("WINEPREFIX is not set")
    if case == "prefix":
        shutil.rmtree(PREFIX, ignore_errors=True)
        gui.case_prefix(WINE_RUN)
    elif not os.environ.get("DISPLAY"):
        print("SKIPPED: no X display (DISPLAY is not set); start Xvfb and export DISPLAY", flush=True)
        return gui.SKIP
    elif case in ("install", "saver", "dialog", "upgrade", "uninstall"):
        globals()["case_" + case]()
    else:
        fail("unknown case " + case)
    note("passed: " + case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
