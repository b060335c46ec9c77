#!/usr/bin/env bash
# Builds Quorvale.exe and its screenshot driver, opens every window (each page of the page
# controls and the tools' message boxes too) under Wine on a private Xvfb, in a Wine prefix of its
# own inside the build folder, and saves one PNG per window to docs/screenshots/, plus the main
# window at 144 DPI (150 %) as main-window-144dpi.png.
# The build the host runs is used (scripts/lib/arch.sh; QV_ARCH forces one).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# shellcheck source=lib/wine-env.sh
source "$root/scripts/lib/wine-env.sh"
qv_host_build "Screenshots of" -DQV_BUILD_TESTS=ON Quorvale package_zip quorvale_screenshots
build="$QV_HOST_BUILD"

export QV_PRIVATE_DISPLAY=1
trap wine_env_stop EXIT
wine_env_start "$QV_ARCH" wineprefix-screenshots
export QUORVALE_EXE="$build/Quorvale.exe"
export QUORVALE_PACKAGE_DIR="$build/package/Quorvale-$(qv_version)-$(qv_platform "$QV_ARCH")"

pictures="$build/screenshots-bmp"
out="$root/docs/screenshots"
rm -rf "$pictures"
mkdir -p "$pictures" "$out"
driver="$build/tests/quorvale_screenshots.exe"
desktop='HKCU\Control Panel\Desktop'

# Wine's Tahoma and Marlett (Debian's fonts-wine) in this prefix only: the dialog font and the
# title-bar buttons look as on Windows.
for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    ln -sf "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/$font"
done
# With no window manager on the Xvfb, Wine draws the title bars itself only when told to.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
# Wine reads the DPI when a process starts: no restart of the Wine server is needed between runs.
wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
wine "$driver" "$(winepath -w "$pictures")" </dev/null
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wine "$driver" "$(winepath -w "$pictures")" main-window-144dpi </dev/null
wine reg delete "$desktop" /v LogPixels /f >/dev/null

for picture in "$pictures"/*.bmp; do
    convert "$picture" "$out/$(basename "$picture" .bmp).png"
done
echo "Screenshots: $out"
ls "$out"
