#!/usr/bin/env bash
# Builds both programs and every test (warnings are errors), then runs the tests under Wine on a
# private Xvfb display, in a fresh Wine prefix inside the build folder. Extra arguments go to the
# ctest run of the full suite.
#
# The full suite runs on the build this host can run (scripts/lib/arch.sh: the 32-bit one where the
# host runs 32-bit programs, else the 64-bit one; QV_ARCH forces one). Where the host runs both and
# nothing is forced, the 64-bit build's unit tests run too. The other build's package, imports and
# the bytes of a second clean build of its release are always checked, as that needs no Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# shellcheck source=lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"
# shellcheck source=lib/test-drives.sh
source "$root/scripts/lib/test-drives.sh"
qv_choose_arch
other="$(qv_other_arch "$QV_ARCH")"
if [ -z "$QV_ARCH_FORCED" ] && [ "$QV_ARCH" = i686 ]; then
    other_tests='^(unit|installer|package|imports|imports-probe|repeatable)$'
    plan="the full suite on the i686 (32-bit) build and the unit and installer tests on the x86_64 (64-bit) build"
else
    other_tests='^(package|imports|imports-probe|repeatable)$'
    plan="the full suite on the $QV_ARCH build; the $other build is compiled and its package, imports and repeatable bytes checked, but not run"
fi
banner="Testing $plan: $QV_ARCH_WHY."
echo "$banner"

for arch in $qv_arches; do
    echo "Building the $arch build in $(qv_build_dir "$arch") ..."
    qv_configure "$arch" -DQV_WERROR=ON -DQV_BUILD_TESTS=ON
    qv_build "$arch"
done

log="$(mktemp)"
export QV_PRIVATE_DISPLAY=1
trap 'wine_env_stop; test_drives_stop; rm -f "$log"' EXIT
status=0
run_ctest() { # arch [ctest options...]: runs and records the counts
    local arch="$1"
    shift
    echo "== ctest in the $arch build"
    if ! ctest --test-dir "$(qv_build_dir "$arch")" --output-on-failure "$@" 2>&1 | tee -a "$log"; then
        status=1
    fi
}

wine_env_start "$QV_ARCH" wineprefix-test fresh
# Optional: small scratch drives Q: and R: for the drive tests (skipped when mounting is refused).
test_drives_start "$(qv_build_dir "$QV_ARCH")"
run_ctest "$QV_ARCH" "$@"
test_drives_stop
wine_env_stop

if [[ "$other_tests" == *unit* ]]; then
    wine_env_start "$other" wineprefix-test fresh
    run_ctest "$other" -R "$other_tests"
    wine_env_stop
else
    run_ctest "$other" -R "$other_tests"
fi

# One closing line for both runs: ctest's own lines say "N tests failed out of M".
read -r passed failed < <(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)$/\1 \2/p' "$log" |
    awk '{failed += $1; total += $2} END {print total - failed, failed + 0}')
echo "$banner"
echo "Tests: $passed passed, $failed failed"
exit "$status"
