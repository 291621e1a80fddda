#!/usr/bin/env bash
# Builds Tidyhold, lays out its program folder and starts the wizard under Wine.
# With no display, it runs on a virtual one and leaves a screenshot of the wizard.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
cmake --install build/mingw >/dev/null
source scripts/wine_env.sh

program=build/mingw/install/Tidyhold.exe
export WINEPREFIX=$PWD/build/wine-run
[ -f "$WINEPREFIX/system.reg" ] || new_wine_prefix "$WINEPREFIX"
# Wine finds COM classes only in HKEY_CLASSES_ROOT, so the log component is registered for the
# machine of this prefix (a per-user installer on Windows uses regsvr32 /n /i:user instead).
wine regsvr32 /s "$(winepath -w build/mingw/install/JotbookLog.dll)"
if [ -n "${DISPLAY:-}" ]; then
    exec wine "$program"
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
wine "$program" &
wizard=$!
shot=$PWD/build/tidyhold-wizard.png
for _ in $(seq 1 60); do
    sleep 0.5
    if xwininfo -root -tree 2>/dev/null | grep -q '"Tidyhold ('; then
        sleep 2
        import -window root -crop "$(xwininfo -root -tree | grep '"Tidyhold (' | head -n 1 |
            sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1x\2+\3+\4/')" "$shot"
        echo "No display: the wizard ran on the virtual display $display."
        echo "Screenshot of the wizard: $shot"
        exit 0
    fi
    kill -0 $wizard 2>/dev/null || break
done
echo "The wizard did not show a window." >&2
exit 1
