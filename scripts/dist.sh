#!/usr/bin/env bash
# make dist: the players' download, built from clean build folders.
#   build/dist/paiview-VERSION-windows.zip   one folder paiview-VERSION/ with Paiview.exe,
#                                             paiview-cli.exe, paiview.html, readme.txt, LICENSE.txt
#   build/dist/SHA256SUMS
# The same commit gives the same bytes: every time stamp is the last commit's
# (SOURCE_DATE_EPOCH), the executables carry no link time and no path of this machine.
# Usage: scripts/dist.sh [OUT [WORK]]   (defaults build/dist and build/dist-work; WORK is
# emptied first, and holds the i686 build and the page's build)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
out=${1:-build/dist}
work=${2:-build/dist-work}
mkdir -p "$out" "$work"
out=$(cd "$out" && pwd)
work=$(cd "$work" && pwd)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct 2>/dev/null) || {
        echo "dist.sh: no git history here: set SOURCE_DATE_EPOCH" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH

# Clean folders every time: nothing of an earlier build can reach the zip.
rm -rf "${work:?}"/win32 "$work"/web
# The viewer and the console build for 32-bit Windows, as players run them.
cmake --preset win32 -B "$work/win32" -DPAIVIEW_RELEASE=ON >"$work/win32.configure.log"
cmake --build "$work/win32" -j2 --target Paiview paiview_cli
# The page (make web): the build preset's Node path, which a plain --build does not set.
export NODE_PATH=/usr/share/nodejs
cmake --preset web -B "$work/web" -DPAIVIEW_RELEASE=ON >"$work/web.configure.log"
cmake --build "$work/web" -j2 --target paiview_page

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/win32/CMakeCache.txt")
rm -f "$out"/paiview-*-windows.zip "$out"/SHA256SUMS
python3 scripts/dist.py --version "$version" --epoch "$SOURCE_DATE_EPOCH" --out "$out" \
    "$work/win32/Paiview.exe" "$work/win32/paiview-cli.exe" "$work/web/paiview.html"
