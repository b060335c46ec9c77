#!/usr/bin/env bash
# Signs Windows programs (the two programs, the installers and the uninstaller) in place with
# osslsigncode: a SHA-256 Authenticode signature described as "Quorvale".
#   sign.sh <file>...
# Signs only when a certificate is given: QV_SIGN_CERT (the certificate, PEM or DER, with its chain)
# and QV_SIGN_KEY (its private key); QV_SIGN_PASS is the key's password, if it has one, and
# QV_SIGN_TIMESTAMP_URL an RFC 3161 time-stamp server, if one is wanted. Without a certificate it
# says so and leaves every file as it is, so builds without one still work. The certificate and key
# live outside the repository; nothing of them is ever committed.
# NSIS calls it for its installer and uninstaller as: !finalize 'sign.sh "%1"' and
# !uninstfinalize 'sign.sh "%1"'.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: sign.sh <file>..." >&2
    exit 2
fi
if [ -z "${QV_SIGN_CERT:-}" ] || [ -z "${QV_SIGN_KEY:-}" ]; then
    echo "sign.sh: QV_SIGN_CERT and QV_SIGN_KEY are not both set: not signing $*" >&2
    exit 0
fi
for given in "$QV_SIGN_CERT" "$QV_SIGN_KEY"; do
    if [ ! -r "$given" ]; then
        echo "sign.sh: cannot read $given" >&2
        exit 1
    fi
done
command -v osslsigncode >/dev/null || {
    echo "sign.sh: osslsigncode is not installed (scripts/setup.sh installs it)" >&2
    exit 1
}

options=(-certs "$QV_SIGN_CERT" -key "$QV_SIGN_KEY" -h sha256 -n Quorvale)
[ -n "${QV_SIGN_PASS:-}" ] && options+=(-pass "$QV_SIGN_PASS")
[ -n "${QV_SIGN_TIMESTAMP_URL:-}" ] && options+=(-ts "$QV_SIGN_TIMESTAMP_URL")

for file in "$@"; do
    signed="$file.signing"
    rm -f "$signed"
    # A file signed before (a rebuilt package step) is signed afresh, not given a second signature.
    if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1; then
        cat "$signed.log" >&2
        rm -f "$signed" "$signed.log"
        echo "sign.sh: signing $file failed" >&2
        exit 1
    fi
    rm -f "$signed.log"
    mv -f "$signed" "$file"
    echo "sign.sh: signed $file"
done
