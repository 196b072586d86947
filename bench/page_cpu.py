#!/usr/bin/env python3
"""Frames, steps and CPU seconds of headless Chromium (all its processes) showing
the page for a while, at the default settings and at speed 25 with three lights.

usage: bench/page_cpu.py SITE_DIR [SECONDS] [SITE_DIR ...]   (SITE_DIR: build/web/site)
       bench/page_cpu.py --breakdown SITE_DIR [SECONDS]
Several sites (say, before and after a change) are measured one after the other in one run.
--breakdown takes SwiftShader's time a frame apart instead: a WebGL 2 canvas that is only
cleared every frame (what showing a frame costs whatever is drawn), and field 1000 at speed
25 in each style, with and without lights, and in a window of a quarter of the pixels.

Beside it, the Linux saver on the same machine:
  orvex-hack --root --trace [--speed 25 --lights 3 --style quads --size 100]
counts its frames and steps in its trace ("frame", "step" lines)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "host", "web"))
import page_test  # noqa: E402  (the DevTools driver and the local server)

SETTINGS = [
    ("default settings", ""),
    ("speed 25, three lights, quads", "#s=1022,1028,0,0,0,25,100,0,0,1048,0,0,0,1049,10,Random_Points,--none--,0"),
    ("speed 25, three lights, quads, field 1000",
     "#s=1022,1028,0,0,0,25,1000,0,0,1048,0,0,0,1049,10,Random_Points,--none--,0"),
]


def cpu_seconds(root, only=None):
    """User and system time of root and every process below it; with only, of
    those whose command line holds that text."""
    children = {}
    for line in subprocess.run(["ps", "-e", "-o", "pid=,ppid="], capture_output=True, text=True).stdout.splitlines():
        pid, ppid = map(int, line.split())
        children.setdefault(ppid, []).append(pid)
    pids, ticks = [root], 0
    for pid in pids:
        pids += children.get(pid, [])
        try:
            if only:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    if only.encode() not in f.read():
                        continue
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return ticks / os.sysconf("SC_CLK_TCK")


# A canvas of the page's attributes, cleared every frame and nothing else.
CLEAR_ONLY = """<!doctype html><body style="margin:0"><div id="message"></div>
<canvas id="c" style="width:100vw;height:100vh;display:block"></canvas><script>
const c = document.getElementById('c'); c.width = innerWidth; c.height = innerHeight;
const gl = c.getContext('webgl2', {alpha: false, antialias: false, depth: true, preserveDrawingBuffer: true});
let frames = 0;
(function frame() { gl.clearColor(frames % 10 / 10, 0.2, 0.3, 1); gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
  ++frames; requestAnimationFrame(frame); })();
window.orvexPage = {ready: true, info: () => ({frames, steps: 0, live: 0}), pictureWanted: () => null};
</script>"""


def field_1000(style, lights):
    return f"#s=1022,{style},0,0,0,25,1000,0,0,{lights},0,0,0,1049,10,Random_Points,--none--,0&seed=7"


def breakdown(site, seconds):
    clear_site = tempfile.mkdtemp()
    with open(os.path.join(clear_site, "index.html"), "w") as f:
        f.write(CLEAR_ONLY)
    cases = [("1280,800", "a canvas cleared, nothing drawn", clear_site, ""),
             ("1280,800", "field 1000, quads, three lights", site, field_1000(1028, 1048)),
             ("1280,800", "field 1000, quads, no lights", site, field_1000(1028, 1045)),
             ("1280,800", "field 1000, points, no lights", site, field_1000(1025, 1045)),
             ("1280,800", "field 1000, diamonds, no lights", site, field_1000(1026, 1045)),
             ("1280,800", "field 1000, lines, no lights", site, field_1000(1027, 1045)),
             ("640,400", "field 1000, quads, three lights", site, field_1000(1028, 1048))]
    for size, name, folder, link in cases:
        server = page_test.serve(folder)
        browser = page_test.Browser("--window-size=" + size)
        try:
            browser.open(f"http://127.0.0.1:{server.server_address[1]}/index.html" + link)
            time.sleep(3)
            pid = browser.proc.pid
            before, gpu_before = browser.js("orvexPage.info()"), cpu_seconds(pid, "--type=gpu-process")
            time.sleep(seconds)
            after, gpu_after = browser.js("orvexPage.info()"), cpu_seconds(pid, "--type=gpu-process")
            frames = after["frames"] - before["frames"]
            print(f"{size.replace(',', ' x ')}, {name}: {frames} frames, {after['live']} live, GPU process "
                  f"{gpu_after - gpu_before:.1f} s = {1000 * (gpu_after - gpu_before) / max(frames, 1):.0f} ms a frame",
                  flush=True)
        finally:
            browser.close()
            server.shutdown()
    shutil.rmtree(clear_site)


def main():
    if sys.argv[1] == "--breakdown":
        breakdown(sys.argv[2], float(sys.argv[3]) if len(sys.argv) > 3 else 12.0)
        return
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    for site in [sys.argv[1]] + sys.argv[3:]:
        print(site, flush=True)
        measure(site, seconds)


def measure(site, seconds):
    server = page_test.serve(site)
    base = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    browser = page_test.Browser("--window-size=1280,800")
    try:
        for name, link in SETTINGS:
            browser.open(base + link)
            time.sleep(2)
            pid = browser.proc.pid
            before, at = browser.js("orvexPage.info()"), time.time()
            cpu_before, gpu_before = cpu_seconds(pid), cpu_seconds(pid, "--type=gpu-process")
            time.sleep(seconds)
            after, cpu_after, gpu_after = browser.js("orvexPage.info()"), cpu_seconds(pid), cpu_seconds(
                pid, "--type=gpu-process")
            frames = after["frames"] - before["frames"]
            # The page's own step, timed inside the module: what a frame costs besides the drawing.
            step_ms = browser.js("orvexPage.timeSteps(5)")
            print(f"page, {name}: {frames} frames, {after['steps'] - before['steps']} "
                  f"steps, CPU {cpu_after - cpu_before:.1f} s in {time.time() - at:.1f} s, of which the GPU "
                  f"process (SwiftShader) {gpu_after - gpu_before:.1f} s = "
                  f"{1000 * (gpu_after - gpu_before) / max(frames, 1):.0f} ms a frame; a step {step_ms:.1f} ms",
                  flush=True)
    finally:
        browser.close()
        server.shutdown()


if __name__ == "__main__":
    main()
