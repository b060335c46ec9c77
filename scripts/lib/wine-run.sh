#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest: wine-run.sh <arch> <program> [arguments...], with
# the loader of that build (the toolchain file names the arch). Wine's own helper processes
# (services, explorer) would inherit ctest's output pipe and keep it open for good, so the
# program's output goes through a file that is copied out once the program itself has ended.
# shellcheck source=arch.sh
source "$(dirname "$0")/arch.sh"
qv_use_wine "$1"
shift
out="$(mktemp)"
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
