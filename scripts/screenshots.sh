#!/usr/bin/env bash
# Renders every wizard page with the factory settings on a virtual display, into docs/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
source scripts/wine_env.sh

stage=build/shots
rm -rf "$stage" && mkdir -p "$stage/out"
cp build/mingw/tests/page_shots.exe build/mingw/tests/version_sample.exe build/mingw/components/log/JotbookLog.dll res/Tidyhold.language res/config.xml "$stage/"
export WINEPREFIX=$PWD/build/wine-run
[ -f "$WINEPREFIX/system.reg" ] || new_wine_prefix "$WINEPREFIX"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display wine "$stage/page_shots.exe" 'Z:'"$(realpath "$stage/out" | tr / '\\')" >/dev/null
for bmp in "$stage"/out/*.bmp; do
    convert "$bmp" "docs/$(basename "${bmp%.bmp}").png"
done
ls docs/*.png
