#!/usr/bin/env bash
# Makes docs/images/linux-saver.png: orvex-hack in a window of its own on a private
# Xvfb display, after a few seconds of running.
#   scripts/linux-screenshot.sh [HACK] [SECONDS] [-- HACK OPTIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
hack=${1:-build/linux/host/x11/orvex-hack}
seconds=${2:-6}
shift $(( $# < 2 ? $# : 2 ))
[ "${1:-}" = "--" ] && shift
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(--family generation --rule bloomerang --style quads --color green
                                     --lights 2 --size 150 --speed 25 --pattern bigcircles)
out=docs/images/linux-saver.png
config=$(mktemp -d)
xvfb_pid="" hack_pid=""
cleanup() {
  [ -n "$hack_pid" ] && kill "$hack_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$config"
}
trap cleanup EXIT

display=${ORVEX_DISPLAY_NUMBER:-90}
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"

XDG_CONFIG_HOME=$config "$hack" -window "${options[@]}" &
hack_pid=$!
sleep "$seconds"
window=$(xwininfo -root -tree | awk '/"Orvex ScreenSaver v 2.0"/ {print $1; exit}')
[ -n "$window" ] || { echo "linux-screenshot: no saver window" >&2; exit 1; }
import -window "$window" "$out"
echo "wrote $out ($(identify -format '%wx%h' "$out"))"
