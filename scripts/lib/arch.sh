# Sourced by every script that builds or starts Quorvale: the two builds from one tree and which
# of them this host can run under Wine.
#
# The 32-bit build (i686) is the primary program; the 64-bit build (x86_64) runs natively on
# 64-bit Windows. Each is built in a folder of its own, <build root>/i686 and <build root>/x86_64
# (the root is $QV_BUILD_DIR, else build/ in the source tree). Some hosts run no 32-bit Linux
# programs (the kernel's 32-bit emulation is off), and Wine's 32-bit loader is one; there the
# 64-bit build runs under Wine's 64-bit loader in a 64-bit prefix. QV_ARCH=i686 or QV_ARCH=x86_64
# forces one. Wine's loaders and server are called by their own paths: Debian's wrappers pick the
# 32-bit loader whenever it is installed, whether or not the host can run it.

qv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
qv_build_root="${QV_BUILD_DIR:-$qv_root/build}"
qv_arches="i686 x86_64"
qv_wine32=/usr/lib/wine/wine
qv_wine64=/usr/lib/wine/wine64

qv_build_dir() { echo "$qv_build_root/$1"; }

# The release package's platform name for a build.
qv_platform() { [ "$1" = x86_64 ] && echo win64 || echo win32; }

# The program's version, as CMakeLists.txt sets it once for everything ("3.5").
qv_version() { sed -n 's/^project(Quorvale VERSION \([0-9.]*\).*/\1/p' "$qv_root/CMakeLists.txt"; }

qv_other_arch() { [ "$1" = x86_64 ] && echo i686 || echo x86_64; }

qv_host_runs_32bit() { "$qv_wine32" --version >/dev/null 2>&1; }

# True when the kernel starts 32-bit x86 programs, Wine or not: runs a 96-byte 32-bit ELF program
# whose only instructions are exit(7).
qv_kernel_runs_32bit() {
    local probe status=0
    probe="$(mktemp)"
    printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00' \
        '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00' \
        '\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
        '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
        '\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    [ "$status" -eq 7 ]
}

# Fails with a message when QV_ARCH is set to a name that is no build.
qv_check_arch_name() {
    case "${QV_ARCH:-}" in
    "" | i686 | x86_64) ;;
    *)
        echo "QV_ARCH must be i686 or x86_64 (or unset, to choose by what this host runs), not '$QV_ARCH'." >&2
        return 2
        ;;
    esac
}

# Sets QV_ARCH (exported) to the build this host runs, QV_ARCH_WHY to a sentence saying why and
# QV_ARCH_FORCED to "yes" when QV_ARCH chose. Fails with a message when QV_ARCH asks for what the
# host cannot run.
qv_choose_arch() {
    QV_ARCH_FORCED=""
    qv_check_arch_name || return 1
    if [ -n "${QV_ARCH:-}" ]; then
        if [ "$QV_ARCH" = i686 ] && ! qv_host_runs_32bit; then
            echo "QV_ARCH=i686: Wine's 32-bit loader ($qv_wine32) does not start on this host, so the" \
                "32-bit build cannot run here." >&2
            return 1
        fi
        QV_ARCH_WHY="forced by QV_ARCH=$QV_ARCH"
        QV_ARCH_FORCED=yes
    elif qv_host_runs_32bit; then
        QV_ARCH=i686
        QV_ARCH_WHY="this host runs 32-bit programs"
    elif qv_kernel_runs_32bit; then
        QV_ARCH=x86_64
        QV_ARCH_WHY="Wine's 32-bit loader is missing here ($qv_wine32 does not start; the package wine32:i386 is not installed or broken), though the kernel runs 32-bit programs"
    else
        QV_ARCH=x86_64
        QV_ARCH_WHY="this host runs no 32-bit programs (the kernel's 32-bit emulation is off, so $qv_wine32 cannot start)"
    fi
    export QV_ARCH
}

# Points Wine at the loader for a build: QV_WINE (the loader), WINESERVER and, for the 64-bit build,
# a 64-bit prefix. The 32-bit build keeps Wine's default prefix kind (64-bit, with 32-bit support).
qv_use_wine() {
    case "$1" in
    x86_64)
        QV_WINE="$qv_wine64"
        export WINEARCH=win64 WINELOADER="$qv_wine64"
        ;;
    *)
        QV_WINE="$qv_wine32"
        unset WINEARCH WINELOADER
        ;;
    esac
    if [ -x /usr/lib/wine/wineserver64 ]; then
        export WINESERVER=/usr/lib/wine/wineserver64
    else
        export WINESERVER=/usr/lib/wine/wineserver32
    fi
    export QV_WINE
}

# Wine's commands for the build chosen by qv_use_wine.
wine() { "$QV_WINE" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
wineboot() { "$QV_WINE" wineboot "$@"; }
winepath() { "$QV_WINE" winepath "$@"; }

# Configures a build's folder: qv_configure <arch> [cmake options...]
qv_configure() {
    local arch="$1"
    shift
    cmake -S "$qv_root" -B "$(qv_build_dir "$arch")" -DCMAKE_TOOLCHAIN_FILE="$qv_root/cmake/mingw-w64-$arch.cmake" \
        -DQV_SQLITE_DIR="$qv_build_root/deps/sqlite" "$@" >/dev/null
}

# Builds in a build's folder: qv_build <arch> [cmake --build options...]
qv_build() {
    local arch="$1"
    shift
    cmake --build "$(qv_build_dir "$arch")" -j"$(nproc)" "$@"
}

# Chooses the build this host runs, says so and builds targets in it:
# qv_host_build "<what is done>" "<cmake options>" <target>... Sets QV_HOST_BUILD to its folder.
qv_host_build() {
    local what="$1" options="$2"
    shift 2
    qv_choose_arch
    echo "$what the $QV_ARCH build: $QV_ARCH_WHY." >&2
    # shellcheck disable=SC2086 # the options are words
    qv_configure "$QV_ARCH" $options
    qv_build "$QV_ARCH" --target "$@"
    QV_HOST_BUILD="$(qv_build_dir "$QV_ARCH")"
}
