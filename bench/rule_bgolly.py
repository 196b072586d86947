#!/usr/bin/env python3
"""One step of a rule at 1000 x 1000 on a torus: orvex simulate against Golly's
bgolly on the same random soup (a third of the cells live), in one run.

Each program runs some generations and none; the difference over their number
is the time of a step, without start-up and reading the soup. orvex runs STEPS,
bgolly STEPS too with QuickLife and STEPS / 100 with its Generations algorithm,
which is a hundred times slower.

    bench/rule_bgolly.py build/linux-release/tools/orvex/orvex [STEPS]
"""
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "scripts"))
from golly_io import write_grid, write_rle  # noqa: E402

N = 1000
RULES = [  # (orvex's --rule, --family, Golly's rule, Golly's algorithm)
    ("4", "0", "B3/S23", None),
    ("B3/S23", "0", "B3/S23", None),
    ("B36/S23", "0", "B36/S23", None),
    ("B2-a/S12", "0", "B2-a/S12", None),
    ("1", "1", "23/23/8", "Generations"),
    ("23/23/8", "1", "23/23/8", "Generations"),
    ("12/2-a/4", "1", "12/2-a/4", "Generations"),
]


def seconds(cmd, runs=3):
    best = None
    for _ in range(runs):
        t = time.perf_counter()
        subprocess.run(cmd, check=True, capture_output=True)
        took = time.perf_counter() - t
        best = took if best is None else min(best, took)
    return best


def main():
    orvex, steps = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    rng = random.Random(1)
    soup = [[rng.random() < 1 / 3 for _ in range(N)] for _ in range(N)]
    with tempfile.TemporaryDirectory() as tmp:
        grid = os.path.join(tmp, "soup.txt")
        write_grid(grid, soup)
        print("| rule | orvex ms/step | bgolly ms/step |")
        print("|---|---|---|")
        for ours, family, golly, algo in RULES:
            rle = os.path.join(tmp, "soup.rle")
            write_rle(rle, soup, golly, 2 if algo is None else 3)
            mine = [orvex, "simulate", "--grid", grid, "--wrap", "--family", family, "--rule", ours, "--steps"]
            theirs = ["bgolly", *(["-a", algo] if algo else []), "-q", "-q", "-m"]
            o = (seconds(mine + [str(steps)]) - seconds(mine + ["0"])) / steps * 1000
            gsteps = steps if algo is None else max(1, steps // 100)
            g = (seconds(theirs + [str(gsteps), rle]) - seconds(theirs + ["0", rle])) / gsteps * 1000
            name = ours if not ours.isdigit() else ("Conway's Life" if family == "0" else "BelZhab") + " (catalogue)"
            print("| %s | %.3f | %.3f |" % (name, o, g))


if __name__ == "__main__":
    main()
