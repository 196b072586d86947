#!/bin/sh
# Signs a Windows program in place with osslsigncode (Authenticode, SHA-256).
#
#   sign-pe.sh OSSLSIGNCODE PKCS12 PASSWORD_FILE TIMESTAMP_URL FILE
#
# PASSWORD_FILE and TIMESTAMP_URL may be empty: no password, no time stamp.
# With SOURCE_DATE_EPOCH set, that is the signing time the signature states.
set -eu
tool=$1 pkcs12=$2 password_file=$3 url=$4 file=$5
set -- sign -pkcs12 "$pkcs12" -h sha256 -n "Orvex ScreenSaver"
[ -n "$password_file" ] && set -- "$@" -readpass "$password_file"
[ -n "$url" ] && set -- "$@" -t "$url"
[ -n "${SOURCE_DATE_EPOCH:-}" ] && set -- "$@" -time "$SOURCE_DATE_EPOCH"
rm -f "$file.signed"
"$tool" "$@" -in "$file" -out "$file.signed" >/dev/null
mv -f "$file.signed" "$file"
