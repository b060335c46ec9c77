#!/usr/bin/env bash
# Installs what building and testing Quorvale needs, from Debian's packages, then makes SQLite's
# amalgamation from Debian's source (scripts/lib/sqlite.sh). Idempotent: when everything is present it
# only checks.
set -euo pipefail

here="$(dirname "$0")"
# shellcheck source=lib/arch.sh
source "$here/lib/arch.sh"
# A QV_ARCH that names no build is said before anything is installed.
qv_check_arch_name

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
# The setup programs are made by makensis.
command -v makensis >/dev/null || need+=(nsis)
dpkg -s imagemagick >/dev/null 2>&1 || need+=(imagemagick)
# The ctest "format" checks the sources against .clang-format with Debian's clang-format.
command -v clang-format >/dev/null || need+=(clang-format)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
# Wine's 64-bit loader runs everywhere; its 32-bit one (wine32:i386) only where the kernel runs
# 32-bit programs, and is installed apart below.
[ -x /usr/lib/wine/wine64 ] && command -v wine >/dev/null || need+=(wine wine64)
# Wine's own Tahoma (the dialog font) and Marlett (the title-bar buttons), as on Windows.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
# What scripts/lib/sqlite.sh fetches SQLite's source with and makes its amalgamation with.
command -v dpkg-source >/dev/null || need+=(dpkg-dev)
command -v xz >/dev/null || need+=(xz-utils)
command -v tclsh >/dev/null || need+=(tcl)
command -v gcc >/dev/null || need+=(gcc)
command -v make >/dev/null || need+=(make)
# The test drive whose raw bytes the tests read is an ext2 image.
[ -x /usr/sbin/mkfs.ext2 ] || command -v mkfs.ext2 >/dev/null || need+=(e2fsprogs)
# The release zip is made by Info-ZIP's zip, which can leave out the times that differ between builds.
command -v zip >/dev/null || need+=(zip)
# scripts/sign.sh signs the programs with osslsigncode; its test makes a throw-away authority with openssl.
command -v osslsigncode >/dev/null || need+=(osslsigncode)
command -v openssl >/dev/null || need+=(openssl)

# shellcheck source=lib/retry.sh
source "$here/lib/retry.sh"
# shellcheck source=lib/wine32.sh
source "$here/lib/wine32.sh"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
apt_install() { $sudo apt-get install -y -q --no-install-recommends "$@" </dev/null; }
# An update that still fails leaves the lists it could not fetch as they were; the install then
# says whether what it needs could be found.
updated=""
apt_update() {
    retry $sudo apt-get update -q || echo "apt-get update failed; installing from the package lists there are." >&2
    updated=yes
}

if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}"
    apt_update
    retry apt_install "${need[@]}"
fi

# The 32-bit loader, where the kernel can start it. Without it the 64-bit build runs here (the
# scripts choose), so a failed install is said and the setup goes on; it is tried again a day later,
# not on every run, as a mirror that cannot serve it now will not within the hour.
failed32="$qv_build_root/deps/wine32-install-failed"
if ! dpkg -s wine32:i386 >/dev/null 2>&1 && qv_kernel_runs_32bit &&
    [ -z "$(find "$failed32" -mmin -1440 2>/dev/null)" ]; then
    echo "Installing: wine32:i386 (this host runs 32-bit programs)"
    # The lists need fetching again only when they lack i386's.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
        updated=""
    fi
    [ -n "$updated" ] || apt_update
    # Never removes anything to fit it in; aligns the versions of a lagging mirror (lib/wine32.sh).
    if qv_install_wine32; then
        rm -f "$failed32"
    else
        mkdir -p "$(dirname "$failed32")"
        touch "$failed32"
        echo "wine32:i386 could not be installed: the 64-bit build will run here instead of the" \
            "32-bit one. Delete $failed32 to try again before a day has passed." >&2
    fi
fi

"$here/lib/sqlite.sh"
