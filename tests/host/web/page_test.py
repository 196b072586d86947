#!/usr/bin/env python3
"""Browser checks of the page in headless Chromium over the DevTools protocol.

usage: page_test.py SITE_DIR {page|pixels|no-webgl} [ORVEX_TOOL]
  pixels    links at three settings draw what `ORVEX_TOOL render --renderer
            gles3 --rng-seed S --steps K` draws (at most 2 % of the pixels
            more than 16 apart in a channel)
  page      one browser session: the wallpaper listeners' calls at load and
            in a burst, a million-step link never blocks, the panel stores the
            dialog's 19 lines, a damaged settings file is corrected, a link's
            settings, rule of its own and moment show without being stored,
            the Rule box selects and refuses, a dropped RLE file seeds the
            field (under its header's rule, offered again in the panel under
            another), pictures come one at a time, a
            hidden page steps
            and draws nothing, the wallpaper programs pause it; prints the
            time to the first frame and the step time at field 1000
  file      the page opened from a file:// folder draws, and the pictures of a
            wallpaper folder property are listed and shown
  no-webgl  a browser with WebGL switched off gets the message
"""
import functools
import http.server
import json
import random
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zlib

import websocket

DIALOG_LINES = ["1022", "1027", "1", "9", "0", "18", "250", "1", "1", "1045", "0", "0", "0", "1051", "12.000000",
                "Random_Points", "--none--", "0", ""]
# High Life's rule list entry, run under a rule of its own (High Life is B36/S236): the 19th value.
LINK = "#s=1022,1028,0,6,0,1,100,0,0,1045,0,0,0,1049,10,Random_Points,--none--,0,B36%2FS23&seed=7&steps=25&paused"
GLIDER_RLE = "x = 3, y = 3, rule = B3/S23\nbo$2bo$3o!\n"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Browser:
    def __init__(self, *flags):
        self.profile = tempfile.mkdtemp(prefix="orvex-chromium-")
        self.proc = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--no-first-run", "--remote-debugging-port=0", "--user-data-dir=" + self.profile, *flags,
             "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        for _ in range(300):
            if os.path.exists(port_file) and open(port_file).read().count("\n") >= 1:
                break
            time.sleep(0.1)
        port = open(port_file).read().split("\n")[0]
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
        url = next(p for p in pages if p["type"] == "page")["webSocketDebuggerUrl"]
        self.ws = websocket.create_connection(url, timeout=60)
        self.next_id = 0

    def send(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            reply = json.loads(self.ws.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def js(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, awaitPromise=True, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, url):
        self.send("Page.navigate", url="about:blank")  # so that a link's fragment loads the page anew
        self.send("Page.navigate", url=url)
        self.wait("window.orvexPage && (window.orvexPage.ready || window.orvexPage.noWebGL)")

    def wait(self, expression, seconds=30):
        end = time.time() + seconds
        while time.time() < end:
            try:
                if self.js(expression):
                    return
            except RuntimeError:
                pass
            time.sleep(0.1)
        state = self.js("JSON.stringify([window.orvexPage && orvexPage.info(), window.orvexPage && "
                        "orvexPage.pictureWanted(), orvexPage.picturesDecoded, orvexPage.picturesByReader, orvexPage.pictureFailures, "
                        "document.getElementById('message').textContent])")
        raise AssertionError(f"timed out waiting for {expression}; the page: {state}")

    def set_files(self, selector, paths):
        root = self.send("DOM.getDocument")["root"]["nodeId"]
        node = self.send("DOM.querySelector", nodeId=root, selector=selector)["nodeId"]
        self.send("DOM.setFileInputFiles", nodeId=node, files=paths)

    def close(self):
        self.ws.close()
        self.proc.terminate()
        self.proc.wait(10)
        shutil.rmtree(self.profile, ignore_errors=True)


failures = []

# Settings, seed and steps of the pixel checks: lines and Random_Points; quads
# lit by three lights; points over a sample picture with one light.
PIXEL_LINKS = [
    ("1022,1028,0,6,0,1,100,0,0,1045,0,0,0,1049,10,Random_Points,--none--,0", 7, 25),
    ("1021,1027,0,0,0,10,150,0,0,1048,0,0,0,1049,10,Random_Points,--none--,0", 11, 40),
    ("1020,1026,1,2,0,5,200,1,0,1046,1,1,0,1049,10,Random_Points,Sunset,0", 3, 12),
    # quads over a PNG of the user's, decoded by the browser here and by libpng there
    ("1022,1027,0,0,0,1,100,0,0,1045,0,1,0,1049,10,Random_Points,Checks.png,0", 5, 3),
]


def png_of(width, height, raw):
    """An 8-bit RGB PNG of these filtered rows."""
    chunk = lambda kind, body: (len(body).to_bytes(4, "big") + kind + body +
                                zlib.crc32(kind + body).to_bytes(4, "big"))
    ihdr = width.to_bytes(4, "big") + height.to_bytes(4, "big") + bytes([8, 2, 0, 0, 0])
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def make_png(width, height):
    """An 8-bit RGB PNG of colour bands: what the browser and libpng must decode alike."""
    return png_of(width, height, b"".join(
        b"\0" + bytes(v for x in range(width) for v in ((x * 4) & 255, (y * 5) & 255, 255 * ((x // 8 + y // 8) % 2)))
        for y in range(height)))


def make_big_png(width, height):
    """A large PNG, quick to make and small: two distinct rows repeated."""
    rows = [b"\0" + bytes(v for x in range(width) for v in (x & 255, y * 255, (x >> 4) & 255)) for y in range(2)]
    return png_of(width, height, b"".join(rows[y % 2] for y in range(height)))


def drop_file(b, name, data):
    """Drops a file of these bytes on the page, as the user does."""
    b.js(f"""(() => {{ const bytes = Uint8Array.from(atob('{__import__("base64").b64encode(data).decode()}'),
            (c) => c.charCodeAt(0));
        const dt = new DataTransfer(); dt.items.add(new File([bytes], {json.dumps(name)}));
        document.body.dispatchEvent(new DragEvent('drop', {{dataTransfer: dt, bubbles: true, cancelable: true}}));
        return true; }})()""")


def read_png(path):
    """8-bit RGB or RGBA, not interlaced: (width, height, rows of RGB bytes, top row first)."""
    data = open(path, "rb").read()
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        n = int.from_bytes(data[pos:pos + 4], "big")
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            width, height, depth, colour = int.from_bytes(body[:4], "big"), int.from_bytes(body[4:8], "big"), body[8], body[9]
            assert depth == 8 and colour in (2, 6), "only 8-bit RGB and RGBA"
            bpp = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    raw, stride, rows, prev = zlib.decompress(idat), width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line) if bpp == 3 else bytes(v for k, v in enumerate(line) if k % 4 != 3))
        prev = line
    return width, height, rows


def pixel_checks(b, base, tool, site):
    tmp = tempfile.mkdtemp(prefix="orvex-web-pixels-")
    os.symlink(os.path.join(site, "..", "..", "..", "data", "Patterns2d"), os.path.join(tmp, "Patterns2d"))
    pictures = os.path.join(tmp, "Pictures")
    os.mkdir(pictures)
    for name in os.listdir(os.path.join(site, "..", "data", "Pictures")):
        os.symlink(os.path.join(site, "..", "data", "Pictures", name), os.path.join(pictures, name))
    png = make_png(96, 64)
    with open(os.path.join(pictures, "Checks.png"), "wb") as f:
        f.write(png)
    b.open(base)
    b.js("localStorage.clear(), true")
    drop_file(b, "Checks.png", png)
    time.sleep(1)  # into IndexedDB for the next loads
    for values, seed, steps in PIXEL_LINKS:
        b.open(f"{base}#s={values}&seed={seed}&steps={steps}&paused")
        b.wait("orvexPage.info().frames >= 1")
        w, h, pixels = b.js("""(() => { const c = document.getElementById('field'), gl = c.getContext('webgl2');
            const px = new Uint8Array(c.width * c.height * 4);
            gl.readPixels(0, 0, c.width, c.height, gl.RGBA, gl.UNSIGNED_BYTE, px);
            let s = ''; for (let i = 0; i < px.length; i += 4) s += String.fromCharCode(px[i], px[i + 1], px[i + 2]);
            return [c.width, c.height, btoa(s)]; })()""")
        page = __import__("base64").b64decode(pixels)  # bottom row first
        settings = os.path.join(tmp, "ss_ca_02.ini")
        with open(settings, "w", newline="") as f:
            f.write("".join(v + "\r\n" for v in values.split(",")))
        out = os.path.join(tmp, "native.png")
        subprocess.run([tool, "render", "--settings", settings, "--renderer", "gles3", "--rng-seed", str(seed),
                        "--steps", str(steps), "--width", str(w), "--height", str(h), "--out", out],
                       check=True, stdout=subprocess.DEVNULL)
        nw, nh, rows = read_png(out)
        check(f"native size for seed {seed}", (nw, nh), (w, h))
        native = b"".join(reversed(rows))
        differ = sum(1 for k in range(0, min(len(page), len(native)), 3)
                     if max(abs(page[k + j] - native[k + j]) for j in range(3)) > 16)
        lit = sum(1 for k in range(0, len(native), 3) if native[k] | native[k + 1] | native[k + 2])
        print(f"seed {seed}, {steps} steps, {w}x{h}: {differ} of {w * h} pixels differ ({lit} lit natively)")
        # Within 2 % of the frame, and a small share of the lit pixels: a black page fails.
        check(f"pixels of seed {seed} within 2 %", differ <= 0.02 * w * h and differ <= 0.25 * lit, True)
    shutil.rmtree(tmp, ignore_errors=True)


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def page_checks(b, base):
    tmp = tempfile.mkdtemp(prefix="orvex-web-test-")
    b.open(base)
    b.js("localStorage.clear(), true")
    b.send("Emulation.setDeviceMetricsOverride", width=1280, height=800, deviceScaleFactor=1, mobile=False)
    b.open(base)
    print(f"load to first frame at 1280 x 800: {b.js('orvexPage.firstFrameMs'):.0f} ms")

    # A phone held upright: square cells (a square canvas as wide as the screen), a tap shows
    # the buttons, Pause stops the field, and the settings fit without scrolling sideways.
    b.send("Emulation.setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=3, mobile=True)
    b.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=1)
    b.open(base)
    b.send("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": 200, "y": 400}])
    b.send("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
    b.js("document.getElementById('pause').click(), document.getElementById('open-panel').click(), true")
    time.sleep(0.3)
    frames = b.js("orvexPage.info().frames")
    time.sleep(1)
    check("on a phone", b.js("""(() => { const c = document.getElementById('field'), p = document.getElementById('panel');
        return [c.width, c.height, document.body.classList.contains('touched'),
                document.getElementById('pause').textContent, p.scrollWidth <= p.clientWidth]; })()""") +
          [b.js("orvexPage.info().frames") == frames], [1170, 1170, True, "Resume", True, True])
    b.send("Emulation.setTouchEmulationEnabled", enabled=False)
    b.send("Emulation.clearDeviceMetricsOverride")

    # Both programs' listeners called the moment the page has loaded, long
    # before the module is ready: the first run already has their settings.
    b.send("Page.enable")
    at_load = b.send("Page.addScriptToEvaluateOnNewDocument", source="""addEventListener('load', () => {
        wallpaperPropertyListener.applyUserProperties({rule: {value: 13}, style: {value: 0}, fieldsize: {value: 300}});
        livelyPropertyListener('speed', 20); livelyPropertyListener('lights', 3); });""")["identifier"]
    b.open(base)
    time.sleep(0.5)
    info = b.js("orvexPage.info()")
    check("listener calls at load", [info["family"], info["rule"], info["drawStyle"], info["fieldSize"], info["speed"],
                                     info["lights"], b.js("orvexPage.runs")], [1, 1, 1025, 300, 20, 3, 1])
    b.send("Page.removeScriptToEvaluateOnNewDocument", identifier=at_load)
    # Lively's burst of one call per property restarts the run once, after it.
    b.js("""(() => { for (const [k, v] of [['rule', 4], ['style', 3], ['color', 1], ['onecolor', false], ['seed', 0],
        ['speed', 10], ['fieldsize', 200], ['lights', 1], ['wrap', false], ['pictures', false], ['cycling', false],
        ['picturefolder', null], ['reset', 1], ['resettime', 60]]) livelyPropertyListener(k, v); return true; })()""")
    time.sleep(0.8)
    info = b.js("orvexPage.info()")
    check("Lively's fourteen calls", [b.js("orvexPage.runs"), info["rule"], info["drawStyle"], info["fieldSize"]],
          [2, 4, 1028, 200])
    # Any value for any property, through both programs' listeners (a fixed seed, so a
    # failure repeats): no call throws, and the run goes on with every setting in its range.
    rng = random.Random(5)
    odd = [None, True, False, -1, 0, 1, 2, 3, 9, 10, 11, 12, 31, 32, 1e9, -1e9, 0.5, "7", "x", "", [], {}, "../a.png",
           "Pictures\\..\\..\\x.png", "Pictures\\Sunset.bmp", "NaN"]
    names = ["rule", "ruletext", "style", "color", "onecolor", "seed", "speed", "fieldsize", "lights", "wrap", "pictures",
             "cycling", "picturefolder", "reset", "resettime", "family", "__proto__", "constructor", "x"]
    calls = [[rng.random() < 0.5, rng.choice(names), rng.choice(odd)] for _ in range(300)]
    thrown = b.js(f"""(() => {{
        const oddProps = (name, value) => JSON.parse('{{"' + name + '": {{"value": ' + JSON.stringify(value) + '}}}}');
        for (const [lively, name, value] of {json.dumps(calls)}) {{
          const v = value === 'NaN' ? NaN : value;
          try {{
            if (lively) livelyPropertyListener(name, v);
            else wallpaperPropertyListener.applyUserProperties(oddProps(name, v));
          }} catch (e) {{ return name + ' = ' + JSON.stringify(value) + ': ' + e; }}
        }}
        try {{ wallpaperPropertyListener.applyUserProperties({{__proto__: {{value: '../a.png'}}}}); }}
        catch (e) {{ return 'an inherited value: ' + e; }}
        for (const files of [['', '/', 'C:\\\\a\\\\', '..', 'x.txt', null], 'x', null, 7, [{{}}]]) {{
          try {{ wallpaperPropertyListener.userDirectoryFilesAddedOrChanged('picturefolder', files); }}
          catch (e) {{ return 'folder ' + JSON.stringify(files) + ': ' + e; }}
        }}
        return ''; }})()""")
    check("no listener call throws", thrown, "")
    time.sleep(0.6)  # the one restart after the burst
    steps = b.js("orvexPage.info().steps")
    time.sleep(1)
    info = b.js("orvexPage.info()")
    check("odd listener values", [info["steps"] > steps, 100 <= info["fieldSize"] <= 1000, 1 <= info["speed"] <= 25,
          1025 <= info["drawStyle"] <= 1028, 0 <= info["family"] <= 2, 0 <= info["rule"] <= 11,
          "x.png" not in b.js("orvexPage.pictureNames()")], [True] * 7)

    b.js("localStorage.clear(), true")

    # A million-step link at field 1000: the steps go a slice a frame, and the page answers throughout.
    b.open(base + "#s=1022,1025,0,4,0,25,1000,0,0,1045,0,0,0,1049,10,Random_Points,--none--,0&seed=3&steps=1000000")
    slowest = 0
    for _ in range(30):
        t = time.time()
        b.js("1")
        slowest = max(slowest, time.time() - t)
        time.sleep(0.05)
    info = b.js("orvexPage.info()")
    left = info["stepsLeft"]
    print(f"million-step link: slowest answer {slowest * 1000:.0f} ms; {info['steps']} of {info['steps'] + left} "
          "steps in ~3 s")
    check("a million-step link, capped, answers within 100 ms", [slowest < 0.1, info["steps"] + left, 0 < left,
          b.js("!document.getElementById('progress').hidden")], [True, 100000, True, True])
    b.open(base)

    # The panel, set as the dialog test sets the Windows dialog, stores the same 19 lines.
    b.js("""(() => { const p = document.getElementById('panel');
        const choose = (id, i) => { const s = p.querySelector(`select[data-list="${id}"]`);
          s.selectedIndex = i; s.dispatchEvent(new Event('change', {bubbles: true})); };
        const click = (sel) => p.querySelector(sel).click();
        document.getElementById('open-panel').click();
        choose(1034, 8); choose(1032, 0); choose(1038, 1); choose(1032, 9); choose(1034, 7);
        click('[data-command="102"]'); click('[data-id="1035"]');
        document.getElementById('ok').click(); return true; })()""")
    check("stored settings", b.js("orvexPage.stored()"), "\r\n".join(DIALOG_LINES) + "\r\n")
    check("run after OK", b.js("[orvexPage.info().fieldSize, orvexPage.info().speed, orvexPage.info().family]"),
          [250, 18, 1])

    # A damaged settings file: the panel shows it corrected, nothing stored before OK.
    damaged = os.path.join(tmp, "ss_ca_02.ini")
    with open(damaged, "w", newline="") as f:
        f.write("1020\r\n1099\r\n7\r\n44\r\n3\r\n99\r\n5000\r\n2\nx\r\n")
    b.js("document.getElementById('open-panel').click(), true")
    b.set_files("#open-file", [damaged])
    b.wait("document.querySelector('[data-box=\"1030\"]').value === '1000'")
    check("damaged file shown", b.js("""(() => { const p = document.getElementById('panel');
        const on = (id) => p.querySelector(`[data-id="${id}"]`).checked;
        return [on(1020), on(1026), on(1019), p.querySelector('[data-box="1031"]').value,
                p.querySelector('select[data-list="1038"]').selectedIndex,
                p.querySelector('select[data-list="1032"]').selectedIndex]; })()"""),
          [True, True, True, "25", 0, 0])
    check("damaged file not stored", b.js("orvexPage.stored()"), "\r\n".join(DIALOG_LINES) + "\r\n")
    b.js("document.getElementById('cancel').click(), true")

    # A link: its settings and moment show, paused on one frame; the stored ones stay.
    b.open(base + LINK)
    time.sleep(1.5)
    info = b.js("orvexPage.info()")
    check("link settings", [info["drawStyle"], info["rule"], info["ruleText"], info["fieldSize"], info["steps"],
                            info["frames"]], [1028, 6, "B36/S23", 100, 25, 1])
    check("link not stored", b.js("orvexPage.stored()"), "\r\n".join(DIALOG_LINES) + "\r\n")
    b.js("document.getElementById('open-panel').click(); document.getElementById('copy-link').click(); true")
    link = b.js("document.getElementById('link').value")
    check("copied link", link[link.index("#"):], LINK)
    # The Rule box: the link's rule is Custom's; a catalogue rule typed selects it, one that doesn't read is refused.
    rule_box = """(() => { const box = document.getElementById('rule-text'); box.value = %s;
        box.dispatchEvent(new Event('change')); const rules = document.querySelector('select[data-list="1032"]');
        return [rules.options[rules.selectedIndex].text, box.value, document.getElementById('rule-message').hidden ?
                '' : document.getElementById('rule-message').textContent]; })()"""
    check("the link's rule in the panel", b.js(rule_box % "box.value"), ["Custom", "B36/S23", ""])
    check("a catalogue rule typed", b.js(rule_box % "' b3/s23'"), ["Conway's Life", "B3/S23", ""])
    refused = b.js(rule_box % "'B9'")
    check("a rule that doesn't read", refused[:2] + ["B9" in refused[2]], ["Conway's Life", "B9", True])
    b.js("document.getElementById('cancel').click(), true")
    # The same link twice gives the same field.
    cells = b.js("orvexPage.cells()")
    b.open(base + "#")
    b.open(base + LINK)
    check("link repeats its field", b.js("orvexPage.cells()") == cells, True)

    # A dropped RLE file seeds its pattern (a glider: five cells), its long name shortened to what
    # the settings file keeps, with a word; the panel lists it, and its Remove button removes it.
    b.open(base)
    drop_file(b, "a glider that flies to the south east.rle", GLIDER_RLE.encode())
    b.wait("orvexPage.info().patternName === 'a glider that flies to the.rle'")
    info = b.js("orvexPage.info()")
    # The glider's few cells, not a random seed's thousands.
    check("dropped pattern", [info["pattern"], 0 < info["live"] < 100, "kept as" in b.js(
        "document.getElementById('message').textContent")], [10, True, True])
    listed = "[...document.querySelectorAll('#user-files li')].map((li) => li.firstChild.textContent.trim())"
    check("listed", "a glider that flies to the.rle" in b.js(listed), True)
    # One whose header names a rule of its own runs it, says so, and the Rule box shows it.
    drop_file(b, "hensel.rle", b"x = 3, y = 3, rule = B2-a/S12\nbo$2bo$3o!\n")
    b.wait("orvexPage.info().patternName === 'hensel.rle'")
    b.js("document.getElementById('open-panel').click(), true")
    check("a pattern's own rule", [b.js("orvexPage.info().ruleText"), "B2-a/S12" in b.js(
        "document.getElementById('message').textContent"), b.js(rule_box % "box.value")],
          ["B2-a/S12", True, ["Custom", "B2-a/S12", ""]])
    # Chosen under another rule, the pattern offers its own, and the offer chooses it again.
    b.js("""(() => { const p = document.getElementById('panel'); p.querySelector('[data-id="1035"]').click();
        const s = p.querySelector('select[data-list="1034"]');
        s.selectedIndex = [...s.options].findIndex((o) => o.text.startsWith('hensel'));
        s.dispatchEvent(new Event('change', {bubbles: true})); return true; })()""")
    offer = "[document.getElementById('pattern-rule').hidden, document.getElementById('pattern-rule').textContent]"
    check("the pattern's rule offered", [b.js(rule_box % "'B3/S23'")[0], b.js(offer)],
          ["Conway's Life", [False, "Run it as B2-a/S12"]])
    b.js("document.getElementById('pattern-rule').click(), true")
    check("the offer taken", [b.js(rule_box % "box.value"), b.js(offer)[0]], [["Custom", "B2-a/S12", ""], True])
    b.js("document.getElementById('cancel').click(), true")
    b.js("[...document.querySelectorAll('#user-files li')].find((li) => li.textContent.includes('glider'))"
         ".querySelector('button').click(), true")
    time.sleep(0.5)
    b.open(base)
    check("removed", "a glider that flies to the.rle" in b.js(listed), False)

    # A damaged picture: the saver's one message, naming it, and the steps go on.
    drop_file(b, "broken.png", b"\x89PNG\r\n\x1a\n" + b"\0" * 40)
    time.sleep(1)
    b.open(base + "#s=1022,1027,0,0,0,25,100,0,0,1045,0,1,0,1049,10,Random_Points,broken.png,0")
    b.wait("!document.getElementById('message').hidden")
    check("damaged picture message", b.js("document.getElementById('message').textContent"),
          "Error: broken.png: Image file conversion error.")
    steps = b.js("orvexPage.info().steps")
    time.sleep(1)
    check("steps after a damaged picture", b.js("orvexPage.info().steps") > steps + 3, True)
    b.open(base)

    # Small hostile files (those of bench/hostile_pictures.py) dropped and then
    # shown: each gives its one message, the run goes on, and the module grows
    # by no more than a small picture's worth for any of them.
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "bench"))
    import hostile_pictures
    hostile = os.path.join(tmp, "hostile")
    hostile_pictures.make(hostile)
    names = ["small_64.bmp", "bits65535_54b.bmp", "bits65535_176b.bmp", "rle_64Mx1.bmp", "rle_8192sq.bmp",
             "jpeg_65500sq.jpg", "png_1e6sq.png", "jpeg_8000sq_progressive.jpg", "png_8000sq_solid.png"]
    for name in names:
        drop_file(b, name, open(os.path.join(hostile, name), "rb").read())
    time.sleep(1)  # into IndexedDB
    heaps = {}
    for name in names:
        stored = name[:-4] if name.endswith(".bmp") else name
        b.open(base + f"#s=1022,1027,0,0,0,25,100,0,0,1045,0,1,0,1049,10,Random_Points,{stored},0")
        b.wait("orvexPage.info().steps > 2 && orvexPage.pictureWanted() === ''", 60)
        time.sleep(0.3)
        message = b.js("document.getElementById('message').hidden ? '' : document.getElementById('message').textContent")
        heaps[name] = b.js("orvexPage.heapBytes()") >> 20
        print(f"{name}: module {heaps[name]} MiB; {message or 'shown'}")
        if name not in ("small_64.bmp", "rle_64Mx1.bmp", "rle_8192sq.bmp", "png_8000sq_solid.png"):
            check("one message for " + name, message.startswith("Error: " + name + ": "), True)
    check("module memory with small hostile files", max(heaps.values()) <= heaps["small_64.bmp"] + 40, True)
    b.open(base)

    # Twelve 12-megapixel pictures of the user's at a 4000-wide canvas, shown
    # in turn: none is decoded before the run wants it, the browser decodes
    # one at a time beside the animation, and the module keeps at most the
    # picture under way and the next one, so its memory stays bounded.
    big = make_big_png(4000, 3000)
    for k in range(12):
        drop_file(b, f"Big{k:02}.png", big)
    b.wait("(document.getElementById('user-files').textContent.match(/Big\\d\\d\\.png/g) || []).length === 12")  # kept
    b.send("Emulation.setDeviceMetricsOverride", width=4000, height=2500, deviceScaleFactor=1, mobile=False)
    b.open(base + "#s=1022,1027,0,0,0,25,100,0,0,1045,0,0,1,1049,10,Random_Points,Big00.png,0")
    time.sleep(0.5)
    heap = b.js("orvexPage.heapBytes()")  # the same run without pictures
    b.open(base + "#s=1022,1027,0,0,0,25,100,0,0,1045,0,1,1,1049,10,Random_Points,Big00.png,0")
    shown = lambda k: ("orvexPage.info().picture === " + json.dumps(f"Big{k:02}.png") +
                       " && orvexPage.info().picturesShown === 1 && orvexPage.pictureWanted() === ''")
    b.wait(shown(0), 60)
    check("pictures decoded for the first run (its own and the next)", b.js("orvexPage.picturesDecoded"), 2)
    b.js("""(() => { window.gaps = []; let last = performance.now();
        const probe = (t) => { gaps.push(t - last); last = t; requestAnimationFrame(probe); };
        requestAnimationFrame(probe); return true; })()""")
    time.sleep(2)
    before = b.js("Math.max(...gaps.slice(1))")
    for k in range(1, 12):
        runs = b.js("orvexPage.runs")
        b.js(f"livelyPropertyListener('picturefolder', 'Pictures\\\\Big{k:02}.png'), true")
        if k == 1:  # the frames while the next picture is decoded, after this one is shown
            b.wait(f"orvexPage.runs > {runs} && orvexPage.info().frames >= 3")
            b.js("gaps.length = 1, true")
            b.wait("orvexPage.info().picturesShown === 1", 60)
            upload = b.js("Math.max(...gaps.slice(1))")
            b.js("gaps.length = 1, true")
            b.wait(shown(k), 60)
            gap = b.js("Math.max(...gaps.slice(1))")
        b.wait(shown(k), 60)
    grown = b.js("orvexPage.heapBytes()") - heap
    print(f"twelve 4000 x 3000 pictures at 4000 x 2500: module memory {grown >> 20} MiB over the run without them; "
          f"{b.js('orvexPage.picturesDecoded')} decoded; longest frame gap while one is decoded {gap:.0f} ms, while "
          f"one is decoded and made a texture {upload:.0f} ms (before: {before:.0f} ms)")
    # Two reduced pictures (the next one and the one under way) of 4000 x 3000 x 3 bytes and the
    # reduction's rows; the twelve kept would take six times that.
    check("module memory with twelve large pictures", grown <= 2 * 4000 * 3000 * 3 + (16 << 20), True)
    # Bounded by the page's own pace just before, so a loaded machine's slow frames don't count.
    check("no frame gap of 500 ms (or twice the gap before) while a large picture comes",
          gap < max(500, 2 * before), True)
    b.send("Emulation.clearDeviceMetricsOverride")
    b.open(base)

    # A hidden page steps no generation and draws no frame for 5 s.
    b.js("""window.wallpaperPropertyListener.applyUserProperties({lights: {value: 3}, speed: {value: 25}}), true""")
    time.sleep(0.5)
    before = b.js("orvexPage.info()")
    b.js("""Object.defineProperty(document, 'hidden', {configurable: true, get: () => true});
        document.dispatchEvent(new Event('visibilitychange')); true""")
    time.sleep(5)
    after = b.js("orvexPage.info()")
    check("hidden page", [after["steps"] - before["steps"] <= 1, after["frames"] - before["frames"] <= 1], [True, True])
    b.js("delete document.hidden; document.dispatchEvent(new Event('visibilitychange')); true")
    # Field 250 lit by three lights, drawn in software (SwiftShader): a few frames a second.
    time.sleep(1.5)
    moving = b.js("orvexPage.info()")
    check("visible again", moving["frames"] >= after["frames"] + 2, True)

    # The wallpaper programs pause it, and their properties change style and rule.
    for pause, resume in [("wallpaperPropertyListener.setPaused(true)", "wallpaperPropertyListener.setPaused(false)"),
                          ("livelyWallpaperPlaybackChanged('{\"IsPaused\":true}')",
                           "livelyWallpaperPlaybackChanged('{\"IsPaused\":false}')")]:
        b.js(pause + ", true")
        time.sleep(0.2)
        frames = b.js("orvexPage.info().frames")
        time.sleep(1)
        check("paused by " + pause, b.js("orvexPage.info().frames"), frames)
        b.js(resume + ", true")
    # A rule of one's own runs in place of the Rule property's; one that doesn't read changes nothing.
    b.js("wallpaperPropertyListener.applyUserProperties({style: {value: 0}, rule: {value: 7}, "
         "ruletext: {value: ' 345/2/4 '}}), true")
    b.js("livelyPropertyListener('family', 2); livelyPropertyListener('fieldsize', 5000); "
         "livelyPropertyListener('speed', 'fast'); livelyPropertyListener('ruletext', 'B9'), true")
    time.sleep(0.6)
    info = b.js("orvexPage.info()")
    check("listener settings", [info["drawStyle"], info["rule"], info["family"], info["fieldSize"], info["speed"],
                                info["ruleText"]], [1025, 7, 2, 1000, 25, "B2/S345/C4"])

    # A lost context: no frames while it is gone; once restored, the rebuilt renderer draws the field.
    b.js("window.lose = document.getElementById('field').getContext('webgl2').getExtension('WEBGL_lose_context');"
         "lose.loseContext(), true")
    time.sleep(0.5)
    lost = b.js("orvexPage.info()")
    time.sleep(1)
    check("no frames while the context is lost", b.js("orvexPage.info().frames"), lost["frames"])
    b.js("lose.restoreContext(), true")
    time.sleep(2)
    lit = b.js("""(() => { const c = document.getElementById('field'), gl = c.getContext('webgl2');
        const px = new Uint8Array(c.width * c.height * 4);
        gl.readPixels(0, 0, c.width, c.height, gl.RGBA, gl.UNSIGNED_BYTE, px);
        let n = 0; for (let i = 0; i < px.length; i += 4) n += (px[i] | px[i + 1] | px[i + 2]) ? 1 : 0; return n; })()""")
    check("drawn after the restore", [b.js("orvexPage.info().frames") > lost["frames"], lit > 0], [True, True])

    # The step at field 1000 (all Random_Points, Conway's Life), for the record.
    b.js("livelyPropertyListener('family', 0); livelyPropertyListener('rule', 4), true")
    ms = b.js("orvexPage.timeSteps(50)")
    print(f"wasm step at field 1000: {ms:.3f} ms per generation")
    shutil.rmtree(tmp, ignore_errors=True)


def file_checks(b, site):
    """The page opened from its folder, as the wallpaper programs may open it, with their
    access to local files: it draws, and a folder property's pictures are listed and shown."""
    b.open("file://" + os.path.join(site, "index.html"))
    b.wait("orvexPage.info().frames >= 1")
    check("opened from a file", [b.js("document.getElementById('message').hidden"), b.js("orvexPage.runs")],
          [True, 1])
    tmp = tempfile.mkdtemp(prefix="orvex-web-folder-")
    files = [os.path.join(tmp, n) for n in ("Sea #1.png", "Sky.png")]
    for k, path in enumerate(files):
        with open(path, "wb") as f:
            f.write(make_png(64 + 32 * k, 48))
    b.js("wallpaperPropertyListener.applyUserProperties({pictures: {value: true}, cycling: {value: true}}), "
         f"wallpaperPropertyListener.userDirectoryFilesAddedOrChanged('picturefolder', {json.dumps(files)}), true")
    b.wait("orvexPage.info().picturesShown >= 1 && orvexPage.pictureWanted() === ''")
    info = b.js("orvexPage.info()")
    check("a folder's pictures listed and shown", [b.js("orvexPage.pictureNames()"), info["pictures"], info["picture"],
          b.js("orvexPage.picturesDecoded"), b.js("orvexPage.runs"), b.js("document.getElementById('message').hidden")],
          [["Sea #1.png", "Sky.png"], 1, "Sea #1.png", 2, 2, True])
    b.js(f"wallpaperPropertyListener.userDirectoryFilesRemoved('picturefolder', {json.dumps(files)}), true")
    b.wait("orvexPage.runs === 3")
    check("the samples back when the folder's files are gone",
          ["Sunset.bmp" in b.js("orvexPage.pictureNames()"), b.js("orvexPage.info().pictures")], [True, 1])
    shutil.rmtree(tmp, ignore_errors=True)


def main():
    site, group = os.path.abspath(sys.argv[1]), sys.argv[2]
    server = serve(site)
    base = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    b = Browser("--disable-webgl") if group == "no-webgl" else \
        Browser("--allow-file-access-from-files") if group == "file" else Browser()
    try:
        if group == "no-webgl":
            b.open(base)
            check("no WebGL 2 message", b.js("!document.getElementById('message').hidden && "
                                             "document.getElementById('message').textContent.includes('WebGL 2')"),
                  True)
        elif group == "file":
            file_checks(b, site)
        elif group == "pixels":
            pixel_checks(b, base, sys.argv[3], site)
        else:
            page_checks(b, base)
    finally:
        b.close()
        server.shutdown()
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
