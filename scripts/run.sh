#!/usr/bin/env bash
# Builds the saver and runs it full screen under Wine on the current X display
# (press a key or move the mouse to end it). Without a display it runs the
# automaton in the terminal instead and renders one frame to orvex-frame.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${ORVEX_JOBS:-2}

cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$jobs" --target orvex
orvex="$root/build/linux-release/tools/orvex/orvex"

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display (DISPLAY is unset): running the automaton without a window."
  "$orvex" simulate --seed 0 --rule 4 --size 200 --steps 300 --reset 1 --stats
  "$orvex" render --width 800 --height 600 --steps 100 --out "$root/orvex-frame.png"
  echo "One frame of the saver: $root/orvex-frame.png"
  exit 0
fi

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target orvex_scr
# The saver's folders in a Wine prefix of its own: the sample patterns beside the
# (absent) settings file, so the saver starts with its default settings.
export WINEPREFIX="$root/build/wineprefix-run"
"$root/scripts/wine-run" wineboot --init >/dev/null 2>&1 || true
maker="$WINEPREFIX/drive_c/Program Files/Halvorn ScreenSavers"
mkdir -p "$maker/Patterns2d" "$maker/Pictures"
cp "$root"/data/Patterns2d/*.lif "$maker/Patterns2d/"
echo "Starting orvex.scr full screen on $DISPLAY; press a key or move the mouse to end it."
exec "$root/scripts/wine-run" "$root/build/windows/host/win32/orvex.scr" /s
