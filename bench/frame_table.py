#!/usr/bin/env python3
"""The frame table: OpenGL 1.1 (kept buffers) against the OpenGL ES 3.0
renderer at field 1000 (dense Life), every style with 0 and 3 lights, a redraw
and a step plus frame, each the least CPU time of a few repetitions, with the
bytes each uploads per step. Given a second frame_bench (--before OLD), both
are run in turns in the one run and each figure reads "before → after".

  bench/frame_table.py build/linux-release/bench/frame_bench [repetitions] [--before OLD_FRAME_BENCH]
"""
import json
import os
import subprocess
import sys

STYLES = ["Points", "Triangles", "Lines", "Quads"]
FILTER = "BM_Gles3Frame|BM_Frame/style:./family:0/size:1000/dense:1/kept:1/step:./lights:(0|3)/"


def run(bench, repetitions, best):
    env = dict(os.environ, LP_NUM_THREADS="0")
    out = subprocess.run([bench, "--benchmark_format=json", "--benchmark_repetitions=1",
                          "--benchmark_filter=" + FILTER], env=env, check=True, capture_output=True, text=True).stdout
    for r in json.loads(out)["benchmarks"]:
        if r.get("run_type") != "iteration":
            continue
        fields = dict(part.split(":", 1) for part in r["run_name"].split("/")[1:] if ":" in part)
        way = "es" if r["run_name"].startswith("BM_Gles3Frame") else "gl11"
        key = (way, int(fields["style"]), int(fields["lights"]), int(fields["step"]))
        if key not in best or r["cpu_time"] < best[key][0]:
            best[key] = (r["cpu_time"], r.get("bytes", 0.0))


def main():
    args = sys.argv[1:]
    before = None
    if "--before" in args:
        i = args.index("--before")
        before = args[i + 1]
        del args[i:i + 2]
    bench = args[0]
    repetitions = int(args[1]) if len(args) > 1 else 3
    new, old = {}, {}
    for _ in range(repetitions):  # in turns, so that both see the same load
        run(bench, repetitions, new)
        if before:
            run(before, repetitions, old)

    def ms(t):  # a frame that copies a kept picture takes well under a millisecond
        return f"{t:.1f}" if t >= 1 else f"{t:.3f}"

    def cell(way, style, lights, step, what):
        n = new.get((way, style, lights, step), (float("nan"), 0.0))[what]
        text = f"{ms(n)} ms" if what == 0 else f"{n / 1e6:.2f} MB"
        if before:
            o = old.get((way, style, lights, step), (float("nan"), 0.0))[what]
            text = (f"{ms(o)} → " if what == 0 else f"{o / 1e6:.2f} → ") + text
        return text

    print("| style | lights | GL 1.1 redraw | ES redraw | GL 1.1 step | ES step | GL 1.1 bytes/step | ES bytes/step |")
    print("|---|---|---|---|---|---|---|---|")
    for style, name in enumerate(STYLES):
        for lights in (0, 3):
            print(f"| {name} | {lights} | {cell('gl11', style, lights, 0, 0)} | {cell('es', style, lights, 0, 0)} | "
                  f"{cell('gl11', style, lights, 1, 0)} | {cell('es', style, lights, 1, 0)} | "
                  f"{cell('gl11', style, lights, 1, 1)} | {cell('es', style, lights, 1, 1)} |")


if __name__ == "__main__":
    main()
