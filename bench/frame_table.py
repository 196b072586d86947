#!/usr/bin/env python3
"""The frame table: OpenGL 1.1 (kept buffers) against the OpenGL ES 3.0
renderer at field 1000 (dense Life), every style with 0 and 3 lights, a redraw
and a step plus frame, each the least CPU time of a few repetitions in one run
of frame_bench, with the bytes each uploads per step.

  bench/frame_table.py build/linux-release/bench/frame_bench [repetitions]
"""
import json
import os
import subprocess
import sys

STYLES = ["Points", "Triangles", "Lines", "Quads"]


def main():
    bench = sys.argv[1]
    repetitions = sys.argv[2] if len(sys.argv) > 2 else "3"
    env = dict(os.environ, LP_NUM_THREADS="0")
    out = subprocess.run(
        [bench, "--benchmark_format=json", "--benchmark_repetitions=" + repetitions,
         "--benchmark_filter=BM_Gles3Frame|BM_Frame/style:./family:0/size:1000/dense:1/kept:1/step:./lights:(0|3)/"],
        env=env, check=True, capture_output=True, text=True).stdout
    best = {}
    for run in json.loads(out)["benchmarks"]:
        if run.get("run_type") != "iteration":
            continue
        fields = dict(part.split(":", 1) for part in run["run_name"].split("/")[1:] if ":" in part)
        way = "es" if run["run_name"].startswith("BM_Gles3Frame") else "gl11"
        key = (way, int(fields["style"]), int(fields["lights"]), int(fields["step"]))
        ms = run["cpu_time"]
        if key not in best or ms < best[key][0]:
            best[key] = (ms, run.get("bytes", 0.0))
    print("| style | lights | GL 1.1 redraw | ES redraw | GL 1.1 step | ES step | GL 1.1 bytes/step | ES bytes/step |")
    print("|---|---|---|---|---|---|---|---|")
    for style, name in enumerate(STYLES):
        for lights in (0, 3):
            g = lambda way, step: best.get((way, style, lights, step), (float("nan"), 0.0))
            print(f"| {name} | {lights} | {g('gl11', 0)[0]:.1f} ms | {g('es', 0)[0]:.1f} ms | "
                  f"{g('gl11', 1)[0]:.1f} ms | {g('es', 1)[0]:.1f} ms | "
                  f"{g('gl11', 1)[1] / 1e6:.2f} MB | {g('es', 1)[1] / 1e6:.2f} MB |")


if __name__ == "__main__":
    main()
