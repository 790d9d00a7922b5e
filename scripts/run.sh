#!/usr/bin/env bash
# `make run`: builds Paiview.exe and starts it under Wine on the bundled sample log.
# With a display, the program simply starts. Without one, it runs under Xvfb and is
# worked as a user would work it (load, select, hand history, search, About), with a
# screenshot of each view in build/screenshots/.
# PAIVIEW_BUILD_DIR and PAIVIEW_WINEPREFIX choose another build folder and prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
[ "${1:-}" = "--under-xvfb" ] || scripts/deps.sh all
# Without 32-bit Wine (the machine cannot run 32-bit programs, or its i386 packages
# could not be installed) the x86_64 build runs under 64-bit Wine.
preset=win32
if ! { timeout 20 /lib/ld-linux.so.2 --version && dpkg -s wine32:i386; } >/dev/null 2>&1; then
    preset=win64
    export PAIVIEW_WINEARCH=win64
fi
build=${PAIVIEW_BUILD_DIR:-$top/build/$preset}
shots=$top/build/screenshots
desktop="/desktop=paiview,1024x768"

# Runs inside Xvfb: starts the driver, photographs each view it announces.
if [ "${1:-}" = "--under-xvfb" ]; then
    . scripts/wine-env.sh 2>/dev/null
    wine explorer "$desktop" "$build/tests/shot_driver.exe" "$build/Paiview.exe" \
        "$(winepath -w "$shots")" >/dev/null 2>&1 &
    deadline=$((SECONDS + 180))
    while [ ! -f "$shots/result.txt" ]; do
        if [ $SECONDS -ge $deadline ]; then
            echo "run.sh: the driver did not finish within 180 s" >&2
            wineserver -k || true
            exit 1
        fi
        for ready in "$shots"/*.ready; do
            [ -e "$ready" ] || continue
            name=$(basename "$ready" .ready)
            # Written by a Windows program: its line ends in CR LF.
            read -r x y w h < <(tr -d '\r' <"$ready")
            [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
            [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
            import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$name.png"
            rm -f "$ready"
            touch "$shots/$name.done"
            echo "$shots/$name.png"
        done
        sleep 0.2
    done
    timeout 20 wineserver -w || wineserver -k || true
    result=$(tr -d '\r' <"$shots/result.txt")
    [ "$result" = "ok" ] || { echo "run.sh: $result" >&2; exit 1; }
    exit 0
fi

cmake --preset $preset -B "$build" >/dev/null
cmake --build "$build" -j2 --target Paiview shot_driver

. scripts/wine-env.sh 2>/dev/null
scripts/wine-prefix.sh

# The first run gets the bundled sample as its score file, so that OK loads at once;
# the headless run always shows the sample.
key='HKLM\Software\Tamarind Labs\Paiview'
if [ -z "${DISPLAY:-}" ] || ! wine reg query "$key" /v ScoreFile >/dev/null 2>&1; then
    sample=$top/samples/tonpuso.txt
    [ -f "$sample" ] || { echo "run.sh: $sample is missing" >&2; exit 1; }
    wine reg add "$key" /v ScoreFile /t REG_SZ /d "$(winepath -w "$sample")" /f >/dev/null
fi

if [ -n "${DISPLAY:-}" ]; then
    exec wine explorer "$desktop" "$build/Paiview.exe"
fi

rm -rf "$shots"
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 1024x768x24" "$top/scripts/run.sh" --under-xvfb
