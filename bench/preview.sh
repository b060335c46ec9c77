#!/usr/bin/env bash
# Times the Preview window on a large Internet cache, as a user meets it: from the click on
# "Preview ..." in the erase-items dialog (only the IE cache item on) to the totals under the full
# list. The cache holds QV_BENCH_ENTRIES entries (50,000) of 1 KiB, committed through WinINet as a
# browser would. Against it, in the same run: "dir /s" listing the cache's files in Wine's cmd (a
# tool doing the same listing; its time includes cmd's start), and WinINet's own walk of the cache
# (the least any preview can take). Also prints the longest the window took to answer a message
# while it was finding: the window must stay responsive.
set -euo pipefail
# shellcheck source=bench-env.sh
source "$(dirname "$0")/bench-env.sh" ProgramBench QvTestHelper
count="${QV_BENCH_ENTRIES:-50000}"
trap wine_env_stop EXIT

export QV_PRIVATE_DISPLAY=1
wine_env_start "$QV_ARCH" wineprefix-bench >/dev/null
# A cache of exactly the entries below: the ones of earlier runs go first.
cache="$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\INetCache"
wine_env_stop
find "$WINEPREFIX/drive_c/users" -maxdepth 8 -type d \( -name Content.IE5 -o -name INetCache \) -prune \
    -exec rm -rf {} + 2>/dev/null || true
wine_env_start "$QV_ARCH" wineprefix-bench >/dev/null

now() { date +%s.%N; }
start=$(now)
# The helper commits them in batches, so a failure shows which entry failed.
for first in $(seq 0 10000 $((count - 1))); do
    batch=$((count - first < 10000 ? count - first : 10000))
    wine "$build/tests/QvTestHelper.exe" cache-entries "http://bench.test/$first/" "$batch" 1024 >/dev/null </dev/null
done
echo "Made $count cache entries of 1 KiB in $(echo "$(now) - $start" | bc -l | xargs printf '%.1f') s."

out="$(mktemp)"
QUORVALE_EXE="$build/Quorvale.exe" wine "$build/bench/ProgramBench.exe" --gtest_filter=ProgramBench.Preview >"$out" 2>&1 </dev/null || true
if ! grep -q '^\[  PASSED  \] 1 test' "$out"; then
    cat "$out" >&2
    exit 1
fi
value() { sed -n "s/^$1 //p" "$out" | tr -d '\r'; }
start=$(now)
wine cmd /c dir /s /a-d "$cache" >/dev/null 2>&1 </dev/null
dir=$(echo "$(now) - $start" | bc -l)

echo "Preview of a cache of $(value entries) entries ($(value rows) rows listed):"
echo "  $(value totals)"
printf '  %-32s %7.2f s   %-22s %7.2f s   ratio %s (goal: within seconds)\n' "Quorvale, click to full list" \
    "$(value seconds)" "dir /s of the cache" "$dir" "$(echo "scale=2; $(value seconds) / $dir" | bc -l)"
printf '  %-32s %7.2f s   ratio %s\n' "WinINet's walk alone" "$(value walk-seconds)" \
    "$(echo "scale=2; $(value seconds) / $(value walk-seconds)" | bc -l)"
printf '  %-32s %7.3f s (goal: well under 1 s)\n' "longest answer while finding" "$(value longest-answer)"
rm -f "$out"
