#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and this machine lacks.
# Usage: scripts/deps.sh [core|win32|fuzz|bench|web|all]   (default: all)
# The command's libraries are in core; the clients that read its output back
# (the sqlite3 shell, Chromium) are in client.
set -euo pipefail
what=${1:-all}

core=(cmake ninja-build g++ clang python3 googletest libgtest-dev
      libcli11-dev rapidjson-dev libsqlite3-dev)
client=(sqlite3 chromium fonts-ipafont-gothic)
# The x86_64 compilers and 64-bit Wine run the Windows suites where 32-bit programs
# cannot run (scripts/test.sh).
win32=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth imagemagick fonts-ipafont-gothic fonts-wine
       binutils-mingw-w64-i686 wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
fuzz=(clang-14 libclang-rt-14-dev)
bench=(libbenchmark-dev python3-matplotlib hyperfine)
# The page (web preset): Emscripten builds the command for WebAssembly; Node runs it
# for the comparison tests and the benchmark, Chromium (client) opens the page.
web=(emscripten nodejs)

case $what in
    core) want=("${core[@]}") ;;
    win32) want=("${core[@]}" "${win32[@]}") ;;
    fuzz) want=("${core[@]}" "${fuzz[@]}") ;;
    bench) want=("${core[@]}" "${client[@]}" "${bench[@]}" "${web[@]}") ;;
    web) want=("${core[@]}" "${client[@]}" "${web[@]}") ;;
    all) want=("${core[@]}" "${client[@]}" "${win32[@]}" "${fuzz[@]}" "${web[@]}") ;;
    *) echo "deps.sh: unknown set '$what'" >&2; exit 2 ;;
esac

# Wine turns Japanese file names into Unix ones through the ja_JP.UTF-8 locale.
need_locale=0
case $what in win32 | all) locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || need_locale=1 ;; esac
[ $need_locale -eq 1 ] && want+=(locales)

missing=()
for pkg in "${want[@]}"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
make_locale() {
    [ $need_locale -eq 1 ] || return 0
    [ "$(id -u)" -eq 0 ] || { echo "deps.sh: run as root to generate ja_JP.UTF-8" >&2; return 1; }
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}
if [ ${#missing[@]} -eq 0 ]; then
    make_locale
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "deps.sh: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync fails the update now and then: try again, and in
# the end install from whatever lists did arrive.
for try in 1 2 3; do
    apt-get update -q && break
    echo "deps.sh: apt-get update failed (try $try of 3)" >&2
    sleep $((try * 10))
done
install() { apt-get install -y -q --no-install-recommends "$@"; }
# 32-bit Wine comes last and alone: when the i386 lists cannot be had, the rest still
# installs and the Windows suites run on the x86_64 build under 64-bit Wine.
plain=() i386=()
for pkg in "${missing[@]}"; do
    case $pkg in *:i386) i386+=("$pkg") ;; *) plain+=("$pkg") ;; esac
done
[ ${#plain[@]} -eq 0 ] || install "${plain[@]}"
if [ ${#i386[@]} -gt 0 ] && ! install "${i386[@]}"; then
    echo "deps.sh: ${i386[*]} could not be installed; the Windows build runs under 64-bit Wine" >&2
fi
make_locale
