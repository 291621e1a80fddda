#!/usr/bin/env bash
# Configures and builds the program, its components and its tests (MinGW-w64, preset "mingw").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
[ -f build/mingw/build.ninja ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw
