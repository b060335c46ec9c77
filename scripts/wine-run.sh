#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest. Wine's own helper processes (services, explorer)
# would inherit ctest's output pipe and keep it open for good, so the program's output goes
# through a file that is copied out once the program itself has ended.
out="$(mktemp)"
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
