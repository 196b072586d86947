#!/usr/bin/env python3
"""orvex simulate against bgolly on a 100 x 100 torus: the rules in each notation
a user may type, and random B/S, Generations and non-totalistic rules, from
random soups, after several step counts. Cells must agree one for one.

    golly_rules_test.py ORVEX BGOLLY SEED
"""
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
from golly_io import dump_cells, rle_cells, write_grid, write_rle  # noqa: E402

N = 100
LETTERS = {1: "ce", 2: "cekain", 3: "cekainyqjr", 4: "cekainyqjrtwz", 5: "cekainyqjr", 6: "cekain", 7: "ce"}
STEPS = (1, 9, 40)


def random_counts(rng, lowest, letters):
    """One count list: some counts whole, some (with letters) in part."""
    out = ""
    for n in range(lowest, 9):
        if rng.random() < 0.5:
            continue
        out += str(n)
        if letters and n in LETTERS and rng.random() < 0.5:
            chosen = "".join(l for l in LETTERS[n] if rng.random() < 0.4)
            if chosen:
                out += ("-" if rng.random() < 0.3 else "") + chosen
    return out


def cases(rng):
    """(our spelling, Golly's spelling, states) for each rule to run."""
    fixed = [
        ("B3/S23", "B3/S23", 2), ("b3/s23", "B3/S23", 2), ("B3S23", "B3/S23", 2), ("23/3", "B3/S23", 2),
        ("B36/S23", "B36/S23", 2), ("B3678/S34678", "B3678/S34678", 2),
        ("B2/S/C3", "/2/3", 3), ("B2/S/3", "/2/3", 3), ("/2/3", "/2/3", 3), ("345/2/4", "345/2/4", 4),
        ("B2-a/S12", "B2-a/S12", 2), ("B2ce3/S23-q", "B2ce3/S23-q", 2),
        ("B2-a/S12/C4", "12/2-a/4", 4), ("12/2-a/4", "12/2-a/4", 4),
    ]
    out = list(fixed)
    for k in range(18):
        letters = k % 3 == 2
        b, s = random_counts(rng, 1, letters), random_counts(rng, 0, letters)
        if k % 2 == 0:
            spelling = rng.choice(["B%s/S%s" % (b, s), "%s/%s" % (s, b), "b%ss%s" % (b, s)])
            out.append((spelling, "B%s/S%s" % (b, s), 2))
        else:
            c = rng.randint(3, 40)
            spelling = rng.choice(["B%s/S%s/C%d" % (b, s, c), "%s/%s/%d" % (s, b, c), "B%s/S%s/%d" % (b, s, c)])
            out.append((spelling, "%s/%s/%d" % (s, b, c), c))
    return out


def main():
    orvex, bgolly, seed = sys.argv[1], sys.argv[2], int(sys.argv[3])
    rng = random.Random(seed)
    failures, runs = [], 0
    with tempfile.TemporaryDirectory() as tmp:
        for ours, golly, states in cases(rng):
            soup = [[1 if rng.random() < rng.choice((0.2, 0.35, 0.5)) else 0 for _ in range(N)] for _ in range(N)]
            grid, rle = os.path.join(tmp, "soup.txt"), os.path.join(tmp, "soup.rle")
            write_grid(grid, soup)
            write_rle(rle, soup, golly, states)
            for steps in STEPS:
                runs += 1
                out = os.path.join(tmp, "golly.rle")
                algo = ["-a", "Generations"] if states > 2 else []
                subprocess.run([bgolly, *algo, "-m", str(steps), "-o", out, rle], check=True, capture_output=True)
                with open(out) as f:
                    theirs = rle_cells(f.read())
                dump = subprocess.run([orvex, "simulate", "--grid", grid, "--rule", ours, "--wrap", "--steps",
                                       str(steps), "--dump", "-"], check=True, capture_output=True, text=True).stdout
                mine = dump_cells(dump)
                # Golly writes from the top-left live cell; the torus is the same square.
                top = min((i for i, _ in mine), default=0)
                left = min((j for _, j in mine), default=0)
                shifted = {(i + top, j + left): s for (i, j), s in theirs.items()}
                if shifted != mine:
                    wrong = len(set(shifted.items()) ^ set(mine.items()))
                    failures.append("%s (Golly %s), %d steps: %d cells differ (%d live here, %d in Golly)" %
                                    (ours, golly, steps, wrong, len(mine), len(theirs)))
    print("%d runs of %d rules, seed %d: %d differ" % (runs, runs // len(STEPS), seed, len(failures)))
    for f in failures:
        print("  " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
