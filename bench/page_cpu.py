#!/usr/bin/env python3
"""Frames, steps and CPU seconds of headless Chromium (all its processes) showing
the page for a while, at the default settings and at speed 25 with three lights.

usage: bench/page_cpu.py SITE_DIR [SECONDS]   (SITE_DIR: build/web/site)

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
]


def cpu_seconds(root):
    """User and system time of root and every process below it."""
    children = {}
    for line in subprocess.run(["ps", "-e", "-o", "pid=,ppid="], capture_output=True, text=True).stdout.splitlines():
        pid, ppid = map(int, line.split())
        children.setdefault(ppid, []).append(pid)
    pids, ticks = [root], 0
    for pid in pids:
        pids += children.get(pid, [])
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return ticks / os.sysconf("SC_CLK_TCK")


def main():
    site, seconds = sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    server = page_test.serve(site)
    base = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    browser = page_test.Browser("--window-size=1280,800")
    try:
        for name, link in SETTINGS:
            browser.open(base + link)
            time.sleep(2)
            before, cpu_before, at = browser.js("orvexPage.info()"), cpu_seconds(browser.proc.pid), time.time()
            time.sleep(seconds)
            after, cpu_after = browser.js("orvexPage.info()"), cpu_seconds(browser.proc.pid)
            print(f"page, {name}: {after['frames'] - before['frames']} frames, {after['steps'] - before['steps']} "
                  f"steps, CPU {cpu_after - cpu_before:.1f} s in {time.time() - at:.1f} s")
    finally:
        browser.close()
        server.shutdown()


if __name__ == "__main__":
    main()
