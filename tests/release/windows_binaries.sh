#!/bin/bash
# The Windows programs as shipped. PE flags wanted: DYNAMIC_BASE 0x40,
# HIGH_ENTROPY_VA 0x20, NX_COMPAT 0x100.
#   windows_binaries.sh flags OBJDUMP SCR SETUP signed|unsigned
#       orvex.scr and the setup program have them, and a signature only when
#       the build was given a certificate.
#   windows_binaries.sh signing OBJDUMP SCR SIGN_SCRIPT MAKENSIS NSIS_ARGS...
#       With a throw-away certificate: orvex.scr signed as the build signs it,
#       a setup program made as the build makes it (keeping the uninstaller it
#       packs), each signature verified trusting that certificate, and the
#       uninstaller's flags.
set -uo pipefail
mode=$1 objdump=$2 scr=$3 failures=0
shift 3
check() { if "${@:2}" >/dev/null 2>&1; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }
flags() { ((($(printf '%d' 0x$("$objdump" -p "$1" | awk '$1 == "DllCharacteristics" { print $2 }')) & 0x160) == 0x160)); }
not() { ! "$@"; }
if [ "$mode" = flags ]; then
    for f in "$scr" "$1"; do
        check "$(basename "$f") flags" flags "$f"
        [ "$2" = unsigned ] && check "$(basename "$f") unsigned" not osslsigncode extract-signature -in "$f" -out "$f.sig"
        rm -f "$f.sig"
    done
    exit $((failures > 0))
fi
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT && cd "$work" || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=Orvex test" 2>/dev/null
echo throw-away >pass && openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout file:pass
sign=$(printf '%q ' sh "$1" "$(command -v osslsigncode)" "$work/cert.p12" "$work/pass" "")
cp "$scr" orvex.scr && eval "$sign orvex.scr"
printf '%s "$1" && { [ "$1" = %s/setup.exe ] || cp "$1" %s/uninstaller.exe; }\n' "$sign" "$work" "$work" >finalize.sh
"$2" -DOUTFILE="$work/setup.exe" -DSIGN="sh $work/finalize.sh" "${@:3}" >makensis.log || cat makensis.log
for f in orvex.scr uninstaller.exe setup.exe; do
    check "$f signed" osslsigncode verify -CAfile cert.pem -in "$f"
done
check "uninstaller.exe flags" flags uninstaller.exe
exit $((failures > 0))
