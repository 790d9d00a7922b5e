#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and this machine lacks.
# Usage: scripts/deps.sh [core|win32|fuzz|bench|all]   (default: all)
set -euo pipefail
what=${1:-all}

core=(cmake ninja-build g++ clang python3 googletest libgtest-dev)
win32=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth imagemagick fonts-ipafont-gothic fonts-wine
       binutils-mingw-w64-i686)
fuzz=(clang-14 libclang-rt-14-dev)
bench=(libbenchmark-dev python3-matplotlib)

case $what in
    core) want=("${core[@]}") ;;
    win32) want=("${core[@]}" "${win32[@]}") ;;
    fuzz) want=("${core[@]}" "${fuzz[@]}") ;;
    bench) want=("${core[@]}" "${bench[@]}") ;;
    all) want=("${core[@]}" "${win32[@]}" "${fuzz[@]}") ;;
    *) echo "deps.sh: unknown set '$what'" >&2; exit 2 ;;
esac

missing=()
for pkg in "${want[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "deps.sh: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
