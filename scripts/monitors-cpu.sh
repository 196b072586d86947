#!/usr/bin/env bash
# CPU seconds of the full-screen saver under Wine over a while of running, on
# one monitor, on two monitors with one field spanning them, and on two with a
# field each: the saver, every other Wine process of the prefix (wineserver,
# the desktop) and the X server, counted from /proc.
#
#   scripts/monitors-cpu.sh [SECONDS] [DISPLAY]    (defaults: 20, :74)
#
# Starts its own Xvfb (1024 x 768 alone, or 1824 x 768 split by xrandr into
# 1024 x 768 + 800 x 600) and uses the prefix build/windows/wineprefix-cpu.
# The settings: the shipped ones without the picture.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
display=${2:-:74}
saver=build/windows/host/win32/orvex.scr
export WINEPREFIX=$PWD/build/windows/wineprefix-cpu WINEDEBUG=-all DISPLAY=$display
maker="$WINEPREFIX/drive_c/Program Files/Halvorn ScreenSavers"
tick=$(getconf CLK_TCK)

# utime + stime, in clock ticks, of the X server and of every process of the prefix.
ticks() {
    local total=0 pid fields
    for pid in "$xvfb" $(grep -l -s -a -z "^WINEPREFIX=$WINEPREFIX\$" /proc/[0-9]*/environ | cut -d/ -f3); do
        fields=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null) || continue
        set -- $fields
        total=$((total + ${12} + ${13}))
    done
    echo "$total"
}

run() {  # name screen per_monitor
    Xvfb "$display" -screen 0 "$2x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    sleep 2
    if [ "$2" = 1824x768 ]; then
        xrandr --setmonitor left 1024/256x768/192+0+0 screen >/dev/null
        xrandr --setmonitor right 800/200x600/150+1024+0 none >/dev/null
    fi
    scripts/wine-run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    scripts/wine-run reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
    mkdir -p "$maker"
    { head -n 11 data/ss_ca_02.ini; printf '0\r\n0\r\n'; sed -n '14,16p' data/ss_ca_02.ini; printf -- '--none--\r\n%s\r\n' "$3"; } \
        >"$maker/ss_ca_02.ini"
    scripts/wine-run "$saver" /s &
    local saver_pid=$!
    sleep 5  # start-up is not counted
    local before after
    before=$(ticks)
    sleep "$seconds"
    after=$(ticks)
    kill "$saver_pid" 2>/dev/null || true
    wait "$saver_pid" 2>/dev/null || true
    wineserver -k || true
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    awk -v n="$1" -v t=$((after - before)) -v hz="$tick" -v s="$seconds" \
        'BEGIN { printf "| %-34s | %6.2f | %5.1f %% |\n", n, t / hz, 100 * t / hz / s }'
}

echo "| $seconds s, Wine on llvmpipe | CPU s | of one core |"
echo "|---|---|---|"
run "one monitor 1024x768" 1024x768 0
run "two monitors, one field spanning" 1824x768 0
run "two monitors, a field on each" 1824x768 1
