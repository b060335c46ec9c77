# shellcheck shell=bash
# Sourced by the benches with the targets they need: installs what is missing, builds those targets
# in the build this host runs, and sets root (the source tree) and build (that build's folder).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
# shellcheck source=../scripts/lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"
qv_host_build "Measuring" -DQV_BUILD_TESTS=ON "$@" >/dev/null
build="$QV_HOST_BUILD"
