#!/usr/bin/env bash
# The .deb of the Linux saver (built by scripts/test-all.sh from the linux-release
# preset) holds the program, its XML, man page, desktop entry and sample patterns
# where Debian's XScreenSaver and desktops look for them, and the program finds
# the samples from where it is installed; the man page is compressed as Debian
# wants it, and there is a copyright file. Exit 77: no package built.
set -uo pipefail
deb=$(ls "$1"/orvex-screensaver_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "SKIPPED: no package in $1 (cmake --build --preset linux-release --target package)"; exit 77; }
listing=$(dpkg-deb -c "$deb")
files=$(awk '{print $6}' <<<"$listing")
status=0
for want in ./usr/libexec/xscreensaver/orvex-hack ./usr/share/xscreensaver/config/orvex-hack.xml \
    ./usr/share/man/man6/orvex-hack.6x.gz ./usr/share/applications/screensavers/orvex-hack.desktop \
    ./usr/share/doc/orvex-screensaver/copyright ./usr/share/doc/orvex-screensaver/changelog.gz; do
  grep -qx -- "$want" <<<"$files" || { echo "FAILED: $want is not in $deb"; status=1; }
done
[ "$(grep -Ec '^./usr/share/orvex/Patterns2d/.*\.(lif|rle|cells)$' <<<"$files")" -eq "$(ls "$2"/*.lif "$2"/*.rle "$2"/*.cells | wc -l)" ] \
  || { echo "FAILED: not every sample pattern"; status=1; }
grep -q '^-rwxr-xr-x .*/orvex-hack$' <<<"$listing" || { echo "FAILED: the program is not executable"; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
{ grep -q libgl1 <<<"$depends" && grep -q libx11 <<<"$depends"; } || { echo "FAILED: Depends: $depends"; status=1; }
[ "$(dpkg-deb -f "$deb" Recommends)" = "xscreensaver | xsecurelock" ] || { echo "FAILED: Recommends"; status=1; }
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
grep -qx "Exec=/usr/libexec/xscreensaver/orvex-hack -root" "$root/usr/share/applications/screensavers/orvex-hack.desktop" \
  || { echo "FAILED: the desktop entry does not start the installed program"; status=1; }
[ "$(od -An -tx1 -j3 -N6 "$root/usr/share/man/man6/orvex-hack.6x.gz" | tr -d ' ')" = 000000000002 ] \
  || { echo "FAILED: the man page is not made by gzip -9n (want flags 0, time 0, extra flags 2)"; status=1; }
mkdir "$root/config"
XDG_CONFIG_HOME="$root/config" "$root/usr/libexec/xscreensaver/orvex-hack" --print-settings --pattern Acorn \
  | grep -qx "pattern = 10" || { echo "FAILED: the installed program does not find the sample patterns"; status=1; }
[ $status -eq 0 ] && echo "$deb: $(wc -l <<<"$files") entries, Depends: $depends"
exit $status
