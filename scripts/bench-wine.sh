#!/usr/bin/env bash
# Times OK in the real Paiview.exe under Wine on logs of 10,000 and 100,000 half-games:
# until "Loading succeeded." shows, and until the list is full after it is answered.
# Usage: scripts/bench-wine.sh [RUNS]   (default 3 runs per size; medians are printed)
#   PAIVIEW_WIN32_BUILD: the Windows build folder (default build/win32, the win32 preset's)
#   PAIVIEW_WINEPREFIX: the Wine prefix (default build/wine-robust)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
runs=${1:-3}
win32=${PAIVIEW_WIN32_BUILD:-build/win32}
export PAIVIEW_WINEPREFIX=${PAIVIEW_WINEPREFIX:-$top/build/wine-robust}
out=$top/build/bench-wine
mkdir -p "$out"

scripts/deps.sh win32
{ [ -f "$win32/build.ninja" ] || cmake --preset win32 -B "$win32"; } >"$out/build.log" 2>&1
cmake --build "$win32" -j2 --target Paiview >>"$out/build.log" 2>&1 || { tail -n 30 "$out/build.log"; exit 1; }
i686-w64-mingw32-g++ -std=c++17 -O2 -finput-charset=UTF-8 -fexec-charset=CP932 -I"$top" \
    -static -static-libgcc -static-libstdc++ -o "$out/LoadTimer.exe" \
    bench/wine/LoadTimer.cpp samples/generator/ScoreLogGenerator.cpp

. scripts/wine-env.sh
export out runs win32top="$top/$win32"
[ "${win32#/}" != "$win32" ] && win32top=$win32
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    scripts/wine-prefix.sh
    exe=$(winepath -w "$win32top/Paiview.exe")
    logs=$(winepath -w "$out")
    rc=0
    for n in 10000 100000; do
        wine "$out/LoadTimer.exe" "$exe" "$n" "$runs" "$logs" || rc=1
    done
    wineserver -k 2>/dev/null || true
    exit $rc' 2> >(grep -v -e "setlocale" -e "X connection" >&2)
