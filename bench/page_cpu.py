#!/usr/bin/env python3
"""Frames, steps and CPU seconds of headless Chromium (all its processes) showing
the page for a while, at the default settings and at speed 25 with three lights.

usage: bench/page_cpu.py SITE_DIR [SECONDS] [SITE_DIR ...]   (SITE_DIR: build/web/site)
Several sites (say, before and after a change) are measured one after the other in one run.

Beside it, the Linux saver on the same machine:
  orvex-hack --root --trace [--speed 25 --lights 3 --style quads --size 100]
counts its frames and steps in its trace ("frame", "step" lines)."""
import os
import subprocess
import sys
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


def main():
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
