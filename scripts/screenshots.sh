#!/usr/bin/env bash
# Pictures of the configuration dialog and the About dialog under Wine, for the README:
#
#   scripts/screenshots.sh [DPI]      DPI 96 (default), 144 (150 %) or 192 (200 %)
#
# Builds orvex.scr and the dialog driver (windows preset), starts a private Xvfb
# on display :${ORVEX_SHOTS_DISPLAY:-97} and a private Wine prefix
# (build/windows/wineprefix-shots-DPI), fills the maker folder with the sample
# patterns, and writes docs/images/configure-dialog[-DPI].png and
# docs/images/about-dialog[-DPI].png (no suffix at 96).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dpi=${1:-96}
display=":${ORVEX_SHOTS_DISPLAY:-97}"
build=$root/build/windows
suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$dpi")

cmake --preset windows >/dev/null
cmake --build --preset windows --target orvex_scr dialog_driver >/dev/null

export WINEPREFIX=$build/wineprefix-shots-$dpi WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=$display
# A screen as large in inches at every DPI, so the dialog fits at 200 % too.
Xvfb "$display" -screen 0 $((1280 * dpi / 96))x$((1024 * dpi / 96))x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1

wine_run=$root/scripts/wine-run
"$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w

maker="$WINEPREFIX/drive_c/Program Files/Halvorn ScreenSavers"
rm -rf "$maker"
mkdir -p "$maker/Patterns2d" "$maker/Pictures"
cp "$root"/data/Patterns2d/*.lif "$maker/Patterns2d/"
# Generation family, rule BelZhab, quads, green, two lights, a reset every 45 s.
printf '%s\r\n' 1021 1028 1 1 0 12 300 0 0 1047 0 0 0 1051 45.000000 Random_Points --none-- \
    >"$maker/ss_ca_02.ini"

window_id() {  # the top-level X window titled $1
    xwininfo -root -tree | awk -v name="\"$1\":" '$2 == name || index($0, name) { print $1; exit }'
}
wait_window() {
    for _ in $(seq 100); do
        id=$(window_id "$1")
        [ -n "$id" ] && { sleep 3; echo "$id"; return; }
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    exit 1
}

mkdir -p "$root/docs/images"
"$wine_run" "$build/host/win32/orvex.scr" /c &
id=$(wait_window " Orvex ScreenSaver")
import -window "$id" "$root/docs/images/configure-dialog$suffix.png"
"$wine_run" "$build/tests/host/win32/dialog_driver.exe" post 1036
id=$(wait_window "About Orvex ScreenSaver")
import -window "$id" "$root/docs/images/about-dialog$suffix.png"
echo "docs/images/configure-dialog$suffix.png docs/images/about-dialog$suffix.png"
