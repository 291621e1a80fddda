#!/usr/bin/env bash
# Runs a test exe in a throwaway Wine prefix whose screen has the given DPI (set before the exe
# starts: Wine reads it once per prefix start).
# Usage: at_dpi.sh DPI EXE [ARGUMENTS...]
set -uo pipefail
dpi=$1 exe=$2
shift 2
source "$(dirname "$0")/../scripts/wine_env.sh"

export WINEPREFIX XDG_DATA_HOME
WINEPREFIX=$(mktemp -d /tmp/tidyhold-dpi.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
new_wine_prefix "$WINEPREFIX" null
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
XDG_DATA_HOME=$WINEPREFIX/xdg-data
mkdir -p "$XDG_DATA_HOME"
TIDYHOLD_TEST_DPI=$dpi wine "$exe" "$@"
