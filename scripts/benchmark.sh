#!/usr/bin/env bash
# Builds and runs the scan benchmark under Wine, on a virtual display when Xvfb is there.
# Its tree of 200,000 files is generated once into the benchmark prefix's temporary folder
# (build/wine-bench/drive_c/users/$USER/Temp/tidyhold-bench-tree) and reused while its shape and
# the factory masks stay the same, for 30 days. Arguments go to the benchmark:
#   --rounds N (3)  --slices N (10 parts per round; 1: each variant walks the whole tree at once)
#   --months N (the factory age test)  --report-rows N (50000)
# Each round also times TidyholdCmd.exe's scan of the whole tree, in a process of its own.
# "scripts/benchmark.sh settings [--masks N] [--rounds N]" times the wizard's start and close with a
# config.xml of 10,000 more junk-file masks instead; "scripts/benchmark.sh folders [--folders N]
# [--rounds N]" times the folder page's expansion of a folder of 20,000 sub-folders; "scripts/benchmark.sh
# log [--records N] [--lines N] [--rounds N]" times opening the log viewer on 10,000 records and on one
# record of 150,000 lines, and a search in that record, against the bare reading and find;
# "scripts/benchmark.sh cleaning [--files N] [--rounds N]" times the cleaning run's backup and
# removal passes over 20,000 files against bare loops of the same calls.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
source scripts/wine_env.sh

stage=build/bench-run
mkdir -p "$stage"
cp build/mingw/bench/scan_benchmark.exe build/mingw/bench/config_benchmark.exe \
    build/mingw/bench/folder_benchmark.exe build/mingw/bench/log_benchmark.exe \
    build/mingw/bench/cleaning_benchmark.exe build/mingw/components/log/JotbookLog.dll build/mingw/TidyholdCmd.exe \
    res/Tidyhold.language res/config.xml "$stage/"
program=scan_benchmark.exe
case "${1:-}" in
settings) program=config_benchmark.exe; shift ;;
folders) program=folder_benchmark.exe; shift ;;
log) program=log_benchmark.exe; shift ;;
cleaning) program=cleaning_benchmark.exe; shift ;;
esac

xvfb=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$stage/xdg-data"
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
if command -v Xvfb >/dev/null; then
    export WINEPREFIX=$PWD/build/wine-bench
    [ -f "$WINEPREFIX/system.reg" ] || new_wine_prefix "$WINEPREFIX"
    number=90
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$number
    sleep 1
else
    echo "Xvfb is missing: the pages run on Wine's null display driver" >&2
    export WINEPREFIX=$PWD/build/wine-bench-null
    [ -f "$WINEPREFIX/system.reg" ] || new_wine_prefix "$WINEPREFIX" null
fi
trap cleanup EXIT
# The recycle bin under Wine is the desktop's trash: the benchmark's go into a folder of its own.
export XDG_DATA_HOME=$PWD/$stage/xdg-data
rm -rf "$XDG_DATA_HOME"
mkdir -p "$XDG_DATA_HOME"  # without it Wine has no trash and deletes for good
# Other processes on the machine move the figures: the load tells how quiet it was.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
WINEDEBUG=-all wine "$stage/$program" "$@"
echo "Load average before the run: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
