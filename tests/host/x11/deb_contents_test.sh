#!/usr/bin/env bash
# The .deb of the Linux saver (built by scripts/test-all.sh from the linux-release
# preset) holds the program, its XML, man page, desktop entry and sample patterns
# where Debian's XScreenSaver and desktops look for them. Exit 77: no package built.
set -uo pipefail
deb=$(ls "$1"/orvex-screensaver_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "SKIPPED: no package in $1 (cmake --build --preset linux-release --target package)"; exit 77; }
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
status=0
for want in ./usr/libexec/xscreensaver/orvex-hack ./usr/share/xscreensaver/config/orvex-hack.xml \
    ./usr/share/man/man6/orvex-hack.6x ./usr/share/applications/screensavers/orvex-hack.desktop \
    ./usr/share/orvex/Patterns2d/Acorn.lif; do
  grep -qx -- "$want" <<<"$files" || { echo "FAILED: $want is not in $deb"; status=1; }
done
[ "$(grep -c '\.lif$' <<<"$files")" -eq "$(ls "$2"/*.lif | wc -l)" ] || { echo "FAILED: not every sample pattern"; status=1; }
dpkg-deb -c "$deb" | grep -q 'rwxr-xr-x.*orvex-hack$' || { echo "FAILED: the program is not executable"; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libgl1 <<<"$depends" && grep -q libx11 <<<"$depends" || { echo "FAILED: Depends: $depends"; status=1; }
grep -q "^Exec=/usr/libexec/xscreensaver/orvex-hack -root" <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/screensavers/orvex-hack.desktop) \
  || { echo "FAILED: the desktop entry does not start the installed program"; status=1; }
[ $status -eq 0 ] && echo "$deb: $(wc -l <<<"$files") entries, Depends: $depends"
exit $status
