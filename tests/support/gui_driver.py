"""What the GUI drivers of every host share: the programs they start, waiting,
captures of X windows, the X window tree, the settings file's 17 lines, and
the two-block pattern with the screen boxes its cells must fill in the fixed
view of the scene.
"""
import re
import subprocess
import sys
import tempfile
import time


def note(message):
    print(message, flush=True)

def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


def wait_for(predicate, seconds, step=0.05):
    """The predicate's first true value within the seconds, else None."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


class Process:
    """One program a case starts, ended by its own pid whatever happens.

    stderr="keep" keeps what it writes there for stderr(); stdout and stderr
    otherwise go where subprocess sends them (DEVNULL by default)."""

    def __init__(self, args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=None, stdin=None):
        self.kept = tempfile.TemporaryFile(mode="w+") if stderr == "keep" else None
        self.proc = subprocess.Popen(args, stdin=stdin, stdout=stdout, stderr=self.kept or stderr, text=True, env=env)

    @property
    def status(self):
        return self.proc.returncode

    def running(self):
        return self.proc.poll() is None

    def wait_end(self, seconds):
        """True when it ended within the seconds."""
        try:
            self.proc.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def ends(self, what, seconds=10, status=0):
        """Fails the case unless it ends within the seconds with that status
        (None: any status)."""
        if not self.wait_end(seconds):
            self.stop()
            fail("%s still runs %d s after %s" % (self.proc.args[0], seconds, what))
        if status is not None and self.status != status:
            fail("%s: exit status %d\n%s" % (what, self.status, self.stderr()))

    def stderr(self):
        if not self.kept:
            return ""
        self.kept.seek(0)
        return self.kept.read()

    def send_signal(self, sig):
        self.proc.send_signal(sig)

    def kill(self):
        """Ends it at once, stopped or not."""
        if self.running():
            self.proc.kill()
        self.proc.wait()

    def stop(self):
        """Asks it to end, and ends it if it hasn't within 3 s."""
        if self.running():
            self.proc.terminate()
            if not self.wait_end(3):
                self.kill()


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

def capture(window_id):
    """Pixels of an X window: (width, height, bytes RGB)."""
    data = subprocess.run(["timeout", "20", "import", "-window", window_id, "-depth", "8", "ppm:-"],
                          capture_output=True).stdout
    if not data.startswith(b"P6"):  # the window is gone, not yet mapped, or went while import waited on it
        return 0, 0, b""
    fields, pos = [], 0
    while len(fields) < 4:  # P6 width height maxval, white-space separated
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def lit(pixels, threshold=40):
    return [k // 3 for k in range(0, len(pixels), 3)
            if max(pixels[k], pixels[k + 1], pixels[k + 2]) > threshold]


def settings_file(pattern_index, draw_style, pattern_name, pictures, picture_name):
    lines = [1022, draw_style, 0, 0, pattern_index, 1, 100, 0, 0, 1045, 0, pictures, pictures,
             1049, "12.000000", pattern_name, picture_name]
    return "".join("%s\n" % v for v in lines)


TWO_BLOCKS = "#Life 1.05\n#D two blocks\n#N\n#P -30 -20\n**\n**\n#P 15 10\n**\n**\n"
# Cells (i, j) of the blocks on the 100 x 100 field: i = 50 + x, j = 50 - y - line.
BLOCKS = [((20, 21), (69, 70)), ((65, 66), (39, 40))]


def expected_box(i_range, j_range, w, h, n=100):
    """Screen box (left, top, right, bottom) of cells, from the fixed view."""
    half = (w / h) * 2.605 * 5.0 / 4.0  # half-height of the view at the cell plane

    def sx(mx):
        return mx * w

    def sy(my):
        return h - (8.7 * (my - 0.49) + half) / (2 * half) * h

    cell = 1.0 / n
    return (sx(i_range[0] / n - cell), sy(j_range[1] / n + cell),
            sx(i_range[1] / n + cell), sy(j_range[0] / n - cell))


def two_blocks_drawn(w, h, pixels):
    """(lit pixels per block, stray lit pixels) of a capture of the two-block pattern."""
    boxes = [expected_box(i, j, w, h) for i, j in BLOCKS]
    inside = [0] * len(boxes)
    stray = []
    for p in lit(pixels):
        x, y = p % w, p // w
        hit = [k for k, b in enumerate(boxes) if b[0] <= x <= b[2] and b[1] <= y <= b[3]]
        if hit:
            inside[hit[0]] += 1
        else:
            stray.append((x, y))
    return inside, stray
