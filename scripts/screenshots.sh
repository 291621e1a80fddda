#!/usr/bin/env bash
# Renders every wizard page and dialog with the factory settings on a virtual display: in English
# into docs/*.png, in German into docs/de/*.png, and in English at 144 and 192 DPI into
# docs/144dpi/*.png and docs/192dpi/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
source scripts/wine_env.sh

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'for p in build/wine-run build/wine-run-144 build/wine-run-192; do WINEPREFIX=$PWD/$p wineserver -k >/dev/null 2>&1 || true; done; kill $xvfb 2>/dev/null || true' EXIT
sleep 1

# shoot LANGUAGE-FILE OUTPUT-FOLDER DPI
shoot() {
    local language=$1 docs=$2 dpi=$3
    local stage=build/shots/$(basename "$docs")
    rm -rf "$stage" && mkdir -p "$stage/out" "$docs"
    cp build/mingw/tests/page_shots.exe build/mingw/tests/version_sample.exe build/mingw/components/log/JotbookLog.dll res/config.xml "$stage/"
    cp "$language" "$stage/Tidyhold.language"
    cp "$language" "$stage/page_shots.language"  # the log component reads the file named after its host
    export WINEPREFIX=$PWD/build/wine-run
    [ "$dpi" = 96 ] || WINEPREFIX=$PWD/build/wine-run-$dpi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        new_wine_prefix "$WINEPREFIX"
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        wineserver -w
    fi
    # Registered as an installation registers it, so the pictures show a cleaning that was recorded.
    wine regsvr32 /s "$(winepath -w "$stage/JotbookLog.dll")" >/dev/null 2>&1
    wineserver -w
    DISPLAY=$display wine "$stage/page_shots.exe" 'Z:'"$(realpath "$stage/out" | tr / '\\')" >/dev/null
    wineserver -w
    for bmp in "$stage"/out/*.bmp; do
        # No time stamps: a picture that did not change keeps its bytes.
        convert "$bmp" -define png:exclude-chunks=date,time "$docs/$(basename "${bmp%.bmp}").png"
    done
    ls "$docs"/*.png
}

shoot res/Tidyhold.language docs 96
shoot res/Tidyhold.de.language docs/de 96
shoot res/Tidyhold.language docs/144dpi 144
shoot res/Tidyhold.language docs/192dpi 192
