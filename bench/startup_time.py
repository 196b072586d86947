#!/usr/bin/env python3
"""Whole-process time of an orvex command: median wall time of 10 runs (after 3
warm-up runs) and the mean CPU time they took.

  bench/startup_time.py build/linux-release/tools/orvex/orvex --help
  bench/startup_time.py build/linux-release/tools/orvex/orvex simulate --steps 0 --size 1000
"""
import resource
import statistics
import subprocess
import sys
import time

command = sys.argv[1:]
if not command:
    sys.exit(__doc__)
for _ in range(3):
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
before = resource.getrusage(resource.RUSAGE_CHILDREN)
walls = []
for _ in range(10):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    walls.append((time.perf_counter() - start) * 1000)
after = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = (after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime) * 100
print(f"{' '.join(command)}: wall median {statistics.median(walls):.1f} ms "
      f"(best {min(walls):.1f}), CPU {cpu:.1f} ms a run")
