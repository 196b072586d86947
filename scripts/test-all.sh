#!/usr/bin/env bash
# Builds every preset and runs every test: source formatting, native (ASan/UBSan),
# Windows under Wine on a private Xvfb display, each fuzz target for a bounded
# time, and the page (WebAssembly) in headless Chromium. Ends with one line
# "N passed, M failed" over all of them.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${ORVEX_JOBS:-2}
log=$(mktemp -d)
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$log"; }
trap cleanup EXIT

step() { echo; echo "=== $*"; }
die() { echo "test-all: $*" >&2; exit 1; }

for preset in linux windows fuzz linux-release web; do
  step "configure and build: $preset"
  cmake --preset "$preset" -DORVEX_FUZZ_SECONDS="${ORVEX_FUZZ_SECONDS:-30}" >"$log/cfg-$preset" 2>&1 ||
    { cat "$log/cfg-$preset"; die "configure $preset failed"; }
  cmake --build --preset "$preset" -j "$jobs" || die "build $preset failed"
done

step "Debian package of the Linux saver"
cmake --build --preset linux-release --target package >"$log/package" 2>&1 || { cat "$log/package"; die "package failed"; }
ls "$root"/build/linux-release/*.deb

passed=0 failed=0
count() {  # adds ctest's "N tests failed out of M" to the totals
  local line f t
  line=$(grep -E "tests? failed out of" "$1" | tail -n 1)
  [ -n "$line" ] || { failed=$((failed + 1)); return; }
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
  passed=$((passed + t - f)); failed=$((failed + f))
}

step "source formatting"
if bash "$root/scripts/check-format.sh"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

# One private X display for the Linux saver's tests and the Windows GUI tests.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$log/xvfb" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"

step "native tests (the Linux saver's on the private X display)"
ctest --preset linux 2>&1 | tee "$log/ctest-linux"
count "$log/ctest-linux"

step "Windows tests under Wine"
ctest --preset windows 2>&1 | tee "$log/ctest-windows"
count "$log/ctest-windows"
for prefix in "$root"/build/windows/wineprefix*; do
  [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
done
"$root/scripts/wine-run" wineserver -k >/dev/null 2>&1 || true
kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""
unset DISPLAY

step "fuzz targets"
ctest --preset fuzz 2>&1 | tee "$log/ctest-fuzz"
count "$log/ctest-fuzz"

step "the page in headless Chromium"
ctest --preset web 2>&1 | tee "$log/ctest-web"
count "$log/ctest-web"

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
