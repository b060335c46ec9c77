#!/usr/bin/env bash
# Compares the drive washer with dd on the same 256 MiB tmpfs drive in the same run (goal: the
# wash takes at most 1.3x dd's time):
#   dd      fills the drive with blocks of 512,000 bytes (conv=fsync), then the file is removed;
#   washer  Quorvale.exe's drive washer washes the drive mapped as W:, timed from the click on
#           "Start Cleaning" until the drive has its free space back (fill files written, flushed
#           and deleted), watched from outside the program.
# Each is run five times; the best time of each counts. Needs root (mount). Prints the times and
# the ratio.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# The build the host runs (scripts/arch.sh; QV_ARCH forces one).
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
qv_host_build "Measuring" -DQV_BUILD_TESTS=ON quorvale_e2e_tests >/dev/null
build="$QV_HOST_BUILD"

drive="$build/bench-wash-drive"
mkdir -p "$drive"
mount -t tmpfs -o size=256m qv-bench-wash "$drive" || { echo "mounting a tmpfs was refused" >&2; exit 1; }

export QV_PRIVATE_DISPLAY=1
cleanup() {
    wine_env_stop
    rm -f "$WINEPREFIX/dosdevices/w:"
    umount "$drive" 2>/dev/null || true
}
trap cleanup EXIT
wine_env_start "$QV_ARCH" wineprefix-bench-wash >/dev/null
ln -sfn "$drive" "$WINEPREFIX/dosdevices/w:"

best() { printf '%s\n' "$@" | sort -g | head -1; }

dd_times=()
for run in 1 2 3 4 5; do
    start=$(date +%s.%N)
    dd if=/dev/zero of="$drive/ddfill" bs=512000 conv=fsync 2>/dev/null || true
    rm -f "$drive/ddfill"
    end=$(date +%s.%N)
    dd_times+=("$(echo "$end - $start" | bc -l)")
done

wash_times=()
for run in 1 2 3 4 5; do
    out=$(QUORVALE_EXE="$build/Quorvale.exe" QV_BENCH_DRIVE=W wine "$build/tests/quorvale_e2e_tests.exe" \
        --gtest_also_run_disabled_tests --gtest_filter='DriveWasherBench.DISABLED_WashOneDrive' 2>/dev/null)
    wash_times+=("$(echo "$out" | sed -n 's/^wash-seconds \([0-9.]*\).*/\1/p')")
    echo "$out" | grep -q '^\[  PASSED  \]' || { echo "$out" >&2; exit 1; }
done

d=$(best "${dd_times[@]}")
w=$(best "${wash_times[@]}")
printf 'Filling a 256 MiB tmpfs drive with blocks of 512,000 bytes (best of 5):\n'
printf '  dd bs=512000    %6.3f s   (%s)\n' "$d" "${dd_times[*]}"
printf '  Drive Washer    %6.3f s   (%s)\n' "$w" "${wash_times[*]}"
printf '  ratio           %s (goal <= 1.3)\n' "$(echo "scale=2; $w / $d" | bc -l)"
