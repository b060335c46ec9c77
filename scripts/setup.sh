#!/usr/bin/env bash
# Installs what building and testing Quorvale needs, from Debian's packages, then makes SQLite's
# amalgamation from Debian's source (scripts/sqlite.sh). Idempotent: when everything is present it
# only checks.
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
# Both cross compilers: the 32-bit program and the 64-bit one.
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xwd >/dev/null || need+=(x11-apps)
command -v xwininfo >/dev/null || need+=(x11-utils)
command -v xdotool >/dev/null || need+=(xdotool)
command -v chmcmd >/dev/null || need+=(fp-utils)
dpkg -s imagemagick >/dev/null 2>&1 || need+=(imagemagick)
# The ctest "format" checks the sources against .clang-format with Debian's clang-format.
command -v clang-format >/dev/null || need+=(clang-format)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
# Both Wine loaders: the 32-bit one runs only where the kernel runs 32-bit programs (scripts/arch.sh
# finds out), the 64-bit one everywhere.
[ -x /usr/lib/wine/wine64 ] && command -v wine >/dev/null || need+=(wine wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
# Wine's own Tahoma (the dialog font) and Marlett (the title-bar buttons), as on Windows.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
# What scripts/sqlite.sh fetches SQLite's source with and makes its amalgamation with.
command -v dpkg-source >/dev/null || need+=(dpkg-dev)
command -v xz >/dev/null || need+=(xz-utils)
command -v tclsh >/dev/null || need+=(tcl)
command -v gcc >/dev/null || need+=(gcc)
command -v make >/dev/null || need+=(make)

if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${need[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    # shellcheck source=retry.sh
    source "$(dirname "$0")/retry.sh"
    # An update that still fails leaves the lists it could not fetch as they were; the install
    # then says whether what it needs could be found.
    retry $sudo apt-get update -q || echo "apt-get update failed; installing from the package lists there are." >&2
    retry $sudo apt-get install -y -q --no-install-recommends "${need[@]}" </dev/null
fi

"$(dirname "$0")/sqlite.sh"
