#!/usr/bin/env bash
# Signs copies of the built programs (and installers) with scripts/sign.sh and a throw-away
# certificate authority made here with openssl, and verifies each signature against that authority
# with osslsigncode; a second authority must not verify them. Without a certificate sign.sh must
# leave every file byte for byte as it was.
# Usage: check-signing.sh <sign.sh> <file or build folder>... (a folder adds the installers in it)
set -euo pipefail
sign="$1"
shift
files=()
for given in "$@"; do
    if [ -d "$given" ]; then
        while IFS= read -r installer; do
            files+=("$installer")
        done < <(find "$given" -maxdepth 1 -name 'Quorvale-*-setup.exe' | sort)
    else
        files+=("$given")
    fi
done
set -- "${files[@]}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unset QV_SIGN_CERT QV_SIGN_KEY QV_SIGN_PASS QV_SIGN_TIMESTAMP_URL

status=0
fail() {
    echo "$*" >&2
    status=1
}

copies=()
for file in "$@"; do
    [ -f "$file" ] || { echo "no file at $file" >&2; exit 1; }
    copy="$work/$(basename "$file")"
    cp "$file" "$copy"
    copies+=("$copy")
done

# No certificate: nothing changes, and sign.sh says so.
said="$(bash "$sign" "${copies[@]}" 2>&1)" || fail "sign.sh without a certificate failed: $said"
grep -q "not signing" <<<"$said" || fail "sign.sh without a certificate did not say it is not signing: $said"
for file in "$@"; do
    cmp -s "$file" "$work/$(basename "$file")" || fail "sign.sh without a certificate changed $(basename "$file")"
done

# A throw-away authority and a code-signing certificate from it; a second authority that signed nothing.
authority() {
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/$1.key" -out "$work/$1.pem" -days 30 \
        -subj "/CN=Quorvale test authority $1" -addext basicConstraints=critical,CA:TRUE \
        -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
authority ca
authority other
openssl req -newkey rsa:2048 -nodes -keyout "$work/signer.key" -out "$work/signer.csr" \
    -subj "/CN=Quorvale test signer" 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning \
    >"$work/signer.ext"
openssl x509 -req -in "$work/signer.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
    -out "$work/signer.pem" -days 30 -extfile "$work/signer.ext" 2>/dev/null

export QV_SIGN_CERT="$work/signer.pem" QV_SIGN_KEY="$work/signer.key"
bash "$sign" "${copies[@]}" >/dev/null 2>&1 || fail "sign.sh with a certificate failed"
# Signing again (a package step run twice) replaces the signature instead of adding one.
bash "$sign" "${copies[0]}" >/dev/null 2>&1 || fail "signing ${copies[0]} again failed"
for copy in "${copies[@]}"; do
    name="$(basename "$copy")"
    if ! report="$(osslsigncode verify -CAfile "$work/ca.pem" -in "$copy" 2>&1)"; then
        fail "$name: the signature does not verify against the authority that issued it: $report"
        continue
    fi
    grep -q "Number of verified signatures: 1" <<<"$report" || fail "$name: not exactly one signature"
    grep -q "Text description: Quorvale" <<<"$report" || fail "$name: the signature is not described as Quorvale"
    grep -q "Message digest algorithm  : SHA256" <<<"$report" || fail "$name: not a SHA-256 signature"
    if osslsigncode verify -CAfile "$work/other.pem" -in "$copy" >/dev/null 2>&1; then
        fail "$name: verified against an authority that did not sign it"
    fi
    echo "$name: signed and verified"
done

# A key that cannot be read fails the signing and leaves the file alone.
cp "$1" "$work/unsigned"
if QV_SIGN_KEY="$work/missing.key" bash "$sign" "$work/unsigned" >/dev/null 2>&1; then
    fail "sign.sh succeeded with a key that does not exist"
fi
cmp -s "$1" "$work/unsigned" || fail "a failed signing changed the file"
exit $status
