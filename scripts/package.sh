#!/usr/bin/env bash
# Builds the two release packages, Quorvale-<version>-win32.zip (the 32-bit programs) and
# Quorvale-<version>-win64.zip (the 64-bit ones), each with its programs, help.chm, the first-run
# Options.ini and the sample plug-ins, and prints their paths and contents. Needs no Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# shellcheck source=lib/arch.sh
source "$root/scripts/lib/arch.sh"
for arch in $qv_arches; do
    qv_configure "$arch"
    qv_build "$arch" --target package_zip
done
for arch in $qv_arches; do
    zip="$(ls "$(qv_build_dir "$arch")"/Quorvale-*-"$(qv_platform "$arch")".zip)"
    echo "Release package ($arch): $zip"
    cmake -E tar tf "$zip"
done
