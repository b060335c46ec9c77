#!/usr/bin/env bash
# Builds Quorvale.exe and starts it under Wine: the 32-bit program where the host runs 32-bit
# programs, else the 64-bit one (scripts/lib/arch.sh; QV_ARCH forces one). With a display ($DISPLAY) it
# simply runs there. Without one it starts a private Xvfb, waits for the main window, saves a
# screenshot of it to build/<arch>/screenshots/main-window.png (printed), then closes the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# shellcheck source=lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"
qv_host_build "Running" "" Quorvale
build="$QV_HOST_BUILD"

had_display="${DISPLAY:-}"
trap wine_env_stop EXIT
wine_env_start "$QV_ARCH" wineprefix-run

if [ -n "$had_display" ]; then
    wine "$build/Quorvale.exe" "$@"
    exit 0
fi

wine "$build/Quorvale.exe" "$@" &
for _ in $(seq 1 100); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"Quorvale": \("quorvale.exe"/ && $0 !~ / 1x1\+/ {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.2
done
if [ -z "${id:-}" ]; then
    echo "The main window did not appear." >&2
    exit 1
fi
sleep 1
mkdir -p "$build/screenshots"
shot="$build/screenshots/main-window.png"
xwd -silent -id "$id" | convert xwd:- "$shot"
echo "Screenshot of the main window: $shot"
