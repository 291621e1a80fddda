#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in a throwaway Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
source scripts/wine_env.sh

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tidyhold-wine.XXXXXX)
trap 'WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
new_wine_prefix "$WINEPREFIX" null
# The recycle bin under Wine is the desktop's trash: the tests' go into the throwaway prefix.
export XDG_DATA_HOME=$WINEPREFIX/xdg-data
# Without the folder Wine has no trash, and its shell deletes for good what it was asked to recycle.
mkdir -p "$XDG_DATA_HOME"
ctest --preset mingw "$@"
