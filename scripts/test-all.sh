#!/usr/bin/env bash
# Builds every preset and runs every test: native (ASan/UBSan), Windows under Wine on a
# private Xvfb display, and each fuzz target for a bounded time.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${ORVEX_JOBS:-2}
fuzz_seconds=${ORVEX_FUZZ_SECONDS:-30}
log=$(mktemp -d)
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$log"; }
trap cleanup EXIT

step() { echo; echo "=== $*"; }
die() { echo "test-all: $*" >&2; exit 1; }

for preset in linux windows fuzz linux-release; do
  step "configure and build: $preset"
  cmake --preset "$preset" >"$log/cfg-$preset" 2>&1 || { cat "$log/cfg-$preset"; die "configure $preset failed"; }
  cmake --build --preset "$preset" -j "$jobs" || die "build $preset failed"
done

passed=0 failed=0
count() {  # adds ctest's "N tests failed out of M" to the totals
  local line f t
  line=$(grep -E "tests? failed out of" "$1" | tail -n 1)
  [ -n "$line" ] || { failed=$((failed + 1)); return; }
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
  passed=$((passed + t - f)); failed=$((failed + f))
}

step "native tests"
ctest --preset linux 2>&1 | tee "$log/ctest-linux"
count "$log/ctest-linux"

step "Windows tests under Wine"
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$log/xvfb" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
ctest --preset windows 2>&1 | tee "$log/ctest-windows"
count "$log/ctest-windows"
"$root/scripts/wine-run" wineserver -k >/dev/null 2>&1 || true
kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""

step "fuzz targets, ${fuzz_seconds}s each"
for fuzzer in "$root"/build/fuzz/fuzz/*_fuzz; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" _fuzz)
  work="$log/corpus-$name"
  mkdir -p "$work"
  if "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$work" "$root/fuzz/corpus/$name" \
      >"$log/fuzz-$name" 2>&1; then
    echo "fuzz $name: ok ($(grep -m1 -E 'stat::number_of_executed_units' "$log/fuzz-$name" | awk '{print $2}') runs)"
    passed=$((passed + 1))
  else
    tail -n 40 "$log/fuzz-$name"
    echo "fuzz $name: FAILED"
    failed=$((failed + 1))
  fi
done

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
