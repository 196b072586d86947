#!/bin/bash
# The Windows programs as they are shipped.
#
#   windows_binaries.sh flags   OBJDUMP SCR SETUP signed|unsigned
#       orvex.scr and the setup program keep address randomisation with high
#       entropy and no-execute data (objdump -p), and carry a signature only
#       when the build was given a certificate.
#   windows_binaries.sh signing OBJDUMP SCR SIGN_SCRIPT MAKENSIS NSIS_ARGS...
#       With a throw-away self-signed certificate: signs a copy of orvex.scr as
#       the build would, makes a setup program the way the build does with the
#       certificate, keeping the uninstaller that goes into it, and checks each
#       of the three signatures with osslsigncode, trusting that certificate,
#       and the uninstaller's flags too.
set -euo pipefail
mode=$1 objdump=$2 scr=$3
shift 3
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

check_flags() {  # DYNAMIC_BASE 0x40, HIGH_ENTROPY_VA 0x20, NX_COMPAT 0x100
    local value
    value=$("$objdump" -p "$1" | awk '$1 == "DllCharacteristics" { print $2 }')
    if [ -z "$value" ] || (((0x$value & 0x160) != 0x160)); then
        fail "$(basename "$1"): DllCharacteristics ${value:-missing}, wants 0x160 set"
    else
        echo "ok: $(basename "$1"): DllCharacteristics 0x$value"
    fi
}

if [ "$mode" = flags ]; then
    setup=$1 signed=$2
    for f in "$scr" "$setup"; do
        check_flags "$f"
        if [ "$signed" = unsigned ] && osslsigncode extract-signature -in "$f" -out "$f.sig-$$" >/dev/null 2>&1; then
            rm -f "$f.sig-$$"
            fail "$(basename "$f") is signed, with no certificate given"
        fi
    done
    exit $((failures > 0))
fi

sign_script=$1 makensis=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=Orvex test signer" \
    -addext "extendedKeyUsage=codeSigning" 2>/dev/null
printf 'throw-away\n' >pass.txt
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout file:pass.txt
sign=(sh "$sign_script" "$(command -v osslsigncode)" "$work/cert.p12" "$work/pass.txt" "")

cp "$scr" orvex.scr
"${sign[@]}" orvex.scr
# Signs what makensis finalises, keeping a copy of the uninstaller.
cat >finalize.sh <<SH
set -e
$(printf '%q ' "${sign[@]}") "\$1"
[ "\$1" = "$work/setup.exe" ] || cp "\$1" "$work/uninstaller.exe"
SH
"$makensis" -DOUTFILE="$work/setup.exe" -DSIGN="sh \"$work/finalize.sh\"" "$@" >makensis.log || {
    cat makensis.log
    exit 1
}
for f in orvex.scr uninstaller.exe setup.exe; do
    if [ ! -f "$f" ]; then
        fail "$f was not made"
    elif osslsigncode verify -CAfile cert.pem -in "$f" >verify.log 2>&1 && grep -q "Signature verification: ok" verify.log; then
        echo "ok: $f signed, verified"
    else
        cat verify.log
        fail "$f: signature not verified"
    fi
done
[ -f uninstaller.exe ] && check_flags uninstaller.exe
exit $((failures > 0))
