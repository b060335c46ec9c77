#!/usr/bin/env bash
# Builds the release package Quorvale-3.5-win32.zip (the two programs, help.chm, the first-run
# Options.ini and the sample plug-ins) and prints its path and contents.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
build="${QV_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
cmake --build "$build" --target package_zip -j"$(nproc)"
zip="$(ls "$build"/Quorvale-*-win32.zip)"
echo "Release package: $zip"
cmake -E tar tf "$zip"
