#!/usr/bin/env bash
# Times what users do, through the real program from the click to the final message box, against
# the coreutils tool that does the same work, on the same drive in the same run:
#   temp item, 5,000 files of 4 KiB in 5 folders, DoD   against  shred -n 3 -u on each file
#   temp item, the same files in one folder              against  the same
#   temp item, 25,000 files in 25 folders (temp25k)      against  the same, and five times the
#                                                        5,000-file time; with the peak memory
#   File Shredder, one 256 MiB file, DoD                 against  shred -n 3, and three fsynced dd passes
#   Drive Washer, a 256 MiB drive                        against  dd bs=512000 conv=fsync filling it
# Each is the best of QV_BENCH_RUNS runs (3; single runs vary by a fifth here). The engine alone
# (WipeBench, no window, no log) is timed beside each, so the window's share shows.
# The work lies on loop-mounted ext2 images when the host allows mounting, else in the build folder
# (and the washer, which needs a drive of its own, is skipped); the output says which. Needs root
# for mounting. Prints one line per figure and the ratios.
#   bench/program.sh --ram   the images lie in a tmpfs: the disk is out of the picture, and what is
#                            left is the program's own cost against dd's
# QV_BENCH_CASES chooses the cases (temp, shredder, washer by default; temp25k, about 15 minutes,
# only when named).
set -euo pipefail
# shellcheck source=bench-env.sh
source "$(dirname "$0")/bench-env.sh" ProgramBench WipeBench
runs="${QV_BENCH_RUNS:-3}"
cases="${QV_BENCH_CASES:-temp shredder washer}"
ram=""
[ "${1:-}" != --ram ] || ram=yes
wanted() { [[ " $cases " == *" $1 "* ]]; }

work="$build/bench-work"
washdrive="$build/bench-wash"
images="$build/bench-images"
mounted=()
cleanup() {
    wine_env_stop
    rm -f "${WINEPREFIX:-/nonexistent}/dosdevices/w:"
    local dir
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
    done
    rm -rf "$images" "$work" "$peaks"
}
trap cleanup EXIT
mkdir -p "$work" "$washdrive" "$images"
if [ -n "$ram" ]; then
    mount -t tmpfs -o size=2000m qv-bench-ram "$images" || {
        echo "--ram: mounting a tmpfs was refused." >&2
        exit 1
    }
    mounted+=("$images")
fi

mount_ext2() { # image size, mount point -> true when mounted
    truncate -s "$2" "$images/$1" && mkfs.ext2 -q -F "$images/$1" >/dev/null 2>&1 &&
        mount -o loop "$images/$1" "$3" 2>/dev/null && mounted+=("$3")
}
if mount_ext2 work.img 1600M "$work"; then
    place="a loop-mounted ext2 image ($work)${ram:+ whose image lies in RAM (tmpfs)}"
else
    place="the build folder ($work; mounting a loop image was refused)"
fi
wash=yes
mount_ext2 wash.img 256M "$washdrive" || wash=""
echo "Working on $place."

export QV_PRIVATE_DISPLAY=1
wine_env_start "$QV_ARCH" wineprefix-bench >/dev/null
[ -z "$wash" ] || ln -sfn "$washdrive" "$WINEPREFIX/dosdevices/w:"
win() { echo "Z:${1//\//\\}"; }

now() { date +%s.%N; }
elapsed() { echo "$(now) - $1" | bc -l; }
best() { printf '%s\n' "$@" | sort -g | head -1; }
ratio() { echo "scale=2; $1 / $2" | bc -l; }

# Runs ProgramBench's case with the settings given as NAME=VALUE words; echoes its seconds. A peak
# memory it prints is added to the file $peaks.
peaks="$build/bench-peaks"
program() {
    local case="$1" out
    shift
    out="$(mktemp)"
    (
        export "$@" QUORVALE_EXE="$build/Quorvale.exe"
        wine "$build/bench/ProgramBench.exe" --gtest_filter="ProgramBench.$case" >"$out" 2>&1 </dev/null
    ) || true
    if ! grep -q '^\[  PASSED  \] 1 test' "$out"; then
        cat "$out" >&2
        rm -f "$out"
        return 1
    fi
    sed -n "s/^seconds //p" "$out" | tr -d "\r"
    sed -n "s/^peak-memory-mb //p" "$out" | tr -d "\r" >>"$peaks"
    rm -f "$out"
}

# WipeBench's own time of the wipe alone, in seconds.
engine() {
    local out
    out="$(mktemp)"
    wine "$build/bench/WipeBench.exe" "$@" >"$out" 2>&1 </dev/null
    echo "scale=3; $(tail -1 "$out" | tr -d '\r') / 1000" | bc -l
    rm -f "$out"
}

make_tree() { # folder parts files: that many files of 4 KiB spread over the sub-folders
    local i per=$(($3 / $2))
    rm -rf "$1"
    for i in $(seq 1 "$2"); do
        mkdir -p "$1/part$i"
        head -c $((per * 4096)) /dev/urandom | (cd "$1/part$i" && split -b 4096 -a 4 -d - f)
    done
    sync
}
make_file() { head -c $((256 * 1024 * 1024)) /dev/urandom >"$1"; sync; }
# Three passes over the file as dd writes them, each flushed to the disk.
dd_passes() {
    local pass
    for pass in 1 2 3; do
        dd if=/dev/zero of="$1" bs=1M count=256 conv=notrunc,fsync 2>/dev/null
    done
}

report() { # label quorvale reference-label reference [goal]
    printf '  %-32s %7.2f s   %-22s %7.2f s   ratio %s%s\n' "$1" "$2" "$3" "$4" "$(ratio "$2" "$4")" "${5:+ (goal <= $5)}"
}

temp_case() { # parts label goal files
    local q=() e=() s=() run
    rm -f "$peaks"
    for run in $(seq 1 "$runs"); do
        make_tree "$work/temp" "$1" "$4"
        q+=("$(program TempItem QV_BENCH_TEMP="$(win "$work/temp")")")
        make_tree "$work/temp" "$1" "$4"
        e+=("$(engine tree "$(win "$work/temp")" DoD)")
        make_tree "$work/temp" "$1" "$4"
        local start
        start=$(now)
        find "$work/temp" -type f -exec shred -n 3 -u {} +
        s+=("$(elapsed "$start")")
    done
    echo "Temp item, $(echo "$4" | sed -e :a -e 's/\B[0-9]\{3\}\>/,&/;ta') files of 4 KiB in $2, DoD (best of $runs):"
    report "Quorvale, click to final box" "$(best "${q[@]}")" "shred -n 3 -u" "$(best "${s[@]}")" "$3"
    report "engine alone (no window)" "$(best "${e[@]}")" "shred -n 3 -u" "$(best "${s[@]}")"
    temp_best="$(best "${q[@]}")"
}

# The goal holds on a disk; in RAM, where a flush costs nothing, each file's trips to the Wine
# server are most of what is left, and shred makes none.
if [ -n "$ram" ]; then temp_goal=""; else temp_goal=0.7; fi
if wanted temp || wanted temp25k; then
temp_case 5 "5 folders" "$temp_goal" 5000
five="$temp_best"
fi
if wanted temp; then
temp_case 1 "one folder" "" 5000
echo "  one folder against five: $(ratio "$temp_best" "$five")x; the difference," \
    "$(echo "$temp_best - $five" | bc -l | xargs printf '%.2f') s, is Wine's case-blind search of a" \
    "1,000- against a 5,000-file folder for each file's free one-character rename target."
fi
if wanted temp25k; then
temp_case 25 "25 folders" "$temp_goal" 25000
echo "  25,000 against five times 5,000 files: $(ratio "$temp_best" "$(echo "5 * $five" | bc -l)") (goal <= 1.15);" \
    "peak memory $(sort -g "$peaks" | tail -1) MB, the most of the runs (goal < 40)"
fi

if [ -n "$ram" ]; then shred_goal=1.3; else shred_goal=1.1; fi
if wanted shredder; then

q=() e=() s=() d=()
for run in $(seq 1 "$runs"); do
    make_file "$work/big.bin"
    q+=("$(program Shredder QV_BENCH_FILE="$(win "$work/big.bin")")")
    make_file "$work/big.bin"
    e+=("$(engine file "$(win "$work/big.bin")" DoD)")
    make_file "$work/big.bin"
    start=$(now)
    shred -n 3 "$work/big.bin"
    s+=("$(elapsed "$start")")
    # From a file just made, as every other tool here: over the file shred has just written, the
    # same passes take about a third less time.
    make_file "$work/big.bin"
    start=$(now)
    dd_passes "$work/big.bin"
    d+=("$(elapsed "$start")")
    rm -f "$work/big.bin"
done
echo "File Shredder, one 256 MiB file, DoD (best of $runs):"
report "Quorvale, click to final box" "$(best "${q[@]}")" "shred -n 3" "$(best "${s[@]}")" 0.7
report "Quorvale, click to final box" "$(best "${q[@]}")" "3 fsynced dd passes" "$(best "${d[@]}")" "$shred_goal"
report "engine alone (no window)" "$(best "${e[@]}")" "3 fsynced dd passes" "$(best "${d[@]}")"
fi
wanted washer || exit 0

if [ -z "$wash" ]; then
    echo "Drive Washer: skipped, mounting a 256 MiB image as its drive was refused."
    exit 0
fi
dd_fill() { # seconds dd takes to fill the drive, flush it and delete the fill
    local start
    start=$(now)
    dd if=/dev/zero of="$washdrive/ddfill" bs=512000 conv=fsync 2>/dev/null || true
    sync # dd stops at the full drive before its own flush
    rm -f "$washdrive/ddfill"
    elapsed "$start"
}
# The image is sparse: its first fill also allocates its blocks on the host's drive. One untimed
# fill does that for all.
dd_fill >/dev/null
q=() e=() d=() tools=(q e d)
for run in $(seq 1 "$runs"); do
    # The tools take turns at going first, so that none always meets what the work before left
    # the host's drive to do; and each starts after a sync.
    for turn in 0 1 2; do
        sync
        case "${tools[(run - 1 + turn) % 3]}" in
        q) q+=("$(program Washer QV_BENCH_DRIVE=W)") ;;
        e) e+=("$(engine fill 'W:\')") ;;
        d) d+=("$(dd_fill)") ;;
        esac
    done
done
echo "Drive Washer, a 256 MiB ext2 drive (best of $runs):"
report "Quorvale, click to final box" "$(best "${q[@]}")" "dd bs=512000 fill" "$(best "${d[@]}")" 1.05
report "engine alone (no window)" "$(best "${e[@]}")" "dd bs=512000 fill" "$(best "${d[@]}")"
