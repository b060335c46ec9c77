#!/usr/bin/env bash
# Builds Quorvale and every test (warnings are errors), then runs the tests under Wine on a
# private Xvfb display, in a fresh Wine prefix inside the build folder. Extra arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
build="${QV_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DQV_WERROR=ON -DQV_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
export QV_PRIVATE_DISPLAY=1
trap wine_env_stop EXIT
wine_env_start "$build" wineprefix-test fresh

# Optional: small scratch drives Q: and R: for the drive tests (skipped when mounting is refused).
# shellcheck source=test-drives.sh
source "$root/scripts/test-drives.sh"
trap 'wine_env_stop; test_drives_stop' EXIT
test_drives_start "$build"

ctest --test-dir "$build" --output-on-failure "$@"
