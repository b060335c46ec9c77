#!/usr/bin/env bash
# Compares the wipe engine with coreutils' shred on the same disk in the same run:
#   1. one 256 MiB file: Quorvale "DoD" against `shred -n 3` (goal: at most 1.2x shred's time)
#   2. 5,000 files of 4 KiB: Quorvale's folder wipe with "DoD" against `shred -n 3 -u` (goal: at most 2x)
# Both tools flush every pass to the disk (shred syncs after each pass). Times are wall-clock
# times of the whole command, Wine's start included. Prints each time and the ratio.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# The build the host runs (scripts/arch.sh; QV_ARCH forces one).
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
qv_host_build "Measuring" -DQV_BUILD_TESTS=ON WipeBench >/dev/null
build="$QV_HOST_BUILD"

export QV_PRIVATE_DISPLAY=1
data="$build/bench-data"
cleanup() { rm -rf "$data"; wine_env_stop; }
trap cleanup EXIT
wine_env_start "$QV_ARCH" wineprefix-bench >/dev/null
mkdir -p "$data"
exe="$build/bench/WipeBench.exe"
win() { echo "Z:${1//\//\\}"; }

seconds() { # command... -> elapsed seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 </dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

ratio() { echo "scale=2; $1 / $2" | bc -l; }

make_file() { head -c $((256 * 1024 * 1024)) /dev/urandom >"$1"; sync; }
make_tree() { # folder [sub-folders]: 5,000 files of 4 KiB, spread over the sub-folders
    local i parts="${2:-1}" dir
    for i in $(seq 1 5000); do
        dir="$1/part$((i % parts))"
        mkdir -p "$dir"
        head -c 4096 /dev/urandom >"$dir/f$i.dat"
    done
    sync
}

echo "One 256 MiB file, 3 passes:"
make_file "$data/q.bin"
q=$(seconds wine "$exe" file "$(win "$data/q.bin")" DoD)
make_file "$data/s.bin"
s=$(seconds shred -n 3 "$data/s.bin")
[ ! -e "$data/q.bin" ] || { echo "Quorvale left the file behind" >&2; exit 1; }
printf '  Quorvale DoD   %6.2f s\n  shred -n 3     %6.2f s\n  ratio          %s (goal <= 1.2)\n' "$q" "$s" "$(ratio "$q" "$s")"

echo "5,000 files of 4 KiB, 3 passes each:"
make_tree "$data/qtree"
q=$(seconds wine "$exe" tree "$(win "$data/qtree")" DoD)
make_tree "$data/stree"
s=$(seconds sh -c "find '$data/stree' -type f -exec shred -n 3 -u {} +")
[ ! -e "$data/qtree" ] || { echo "Quorvale left the tree behind" >&2; exit 1; }
printf '  Quorvale DoD   %6.2f s\n  shred -n 3 -u  %6.2f s\n  ratio          %s (goal <= 2)\n' "$q" "$s" "$(ratio "$q" "$s")"

# Under Wine every lookup of a name that does not exist (the one-character name a wiped file is
# renamed to) reads the whole folder, as Wine must look for the name in any letter case; Windows'
# own file systems find it in an index. The same files in five folders show that share.
echo "The same 5,000 files spread over 5 folders:"
make_tree "$data/qtree" 5
q=$(seconds wine "$exe" tree "$(win "$data/qtree")" DoD)
make_tree "$data/stree" 5
s=$(seconds sh -c "find '$data/stree' -type f -exec shred -n 3 -u {} +")
printf '  Quorvale DoD   %6.2f s\n  shred -n 3 -u  %6.2f s\n  ratio          %s\n' "$q" "$s" "$(ratio "$q" "$s")"
