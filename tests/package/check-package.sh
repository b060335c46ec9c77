#!/usr/bin/env bash
# Unpacks the release zip and checks it holds exactly what a user needs, byte for byte the files
# the build made and the repository keeps: the two programs, the help file, the first-run
# Options.ini and every sample plug-in, and nothing else.
# Usage: check-package.sh <zip> <build folder> <source folder>
set -euo pipefail
zip="$1" build="$2" source="$3"
[ -f "$zip" ] || { echo "no package at $zip" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip")

expected="$(
    printf '%s\n' Quorvale.exe SellwickService.exe help.chm Options.ini
    (cd "$source/package" && find Plug-ins -type f -name '*.qv')
)"
actual="$(cd "$work" && find . -type f | sed 's|^\./||')"
if [ "$(sort <<<"$expected")" != "$(sort <<<"$actual")" ]; then
    echo "The package holds:" >&2
    sort <<<"$actual" >&2
    echo "but should hold:" >&2
    sort <<<"$expected" >&2
    exit 1
fi

status=0
same() {
    if ! cmp -s "$1" "$2"; then
        echo "$2 in the package differs from $1" >&2
        status=1
    fi
}
same "$build/Quorvale.exe" "$work/Quorvale.exe"
same "$build/SellwickService.exe" "$work/SellwickService.exe"
same "$build/help.chm" "$work/help.chm"
same "$source/package/Options.ini" "$work/Options.ini"
while IFS= read -r plugin; do
    same "$source/package/$plugin" "$work/$plugin"
done < <(cd "$source/package" && find Plug-ins -type f -name '*.qv')
[ "$(find "$work/Plug-ins" -name '*.qv' | wc -l)" -gt 0 ] || { echo "no sample plug-ins" >&2; status=1; }
[ "$status" = 0 ] && echo "$(basename "$zip"): $(wc -l <<<"$actual") files, as expected"
exit "$status"
