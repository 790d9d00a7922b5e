# Sourced: the project's own Wine prefix with the Japanese ANSI code page.
# PAIVIEW_WINEARCH: win32 (the default) or win64, for the x86_64 build on machines that
# cannot run 32-bit programs. A prefix keeps the architecture it was made with: each
# has its own default folder, and one made for the other is refused.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=${PAIVIEW_WINEARCH:-win32}
case $WINEARCH in
    win32) export WINEPREFIX="${PAIVIEW_WINEPREFIX:-$top/build/wine}" ;;
    win64)
        export WINEPREFIX="${PAIVIEW_WINEPREFIX:-$top/build/wine64}"
        # Debian's `wine` (and wineboot, winepath through it) takes the 32-bit loader
        # whenever wine32 is installed: put the 64-bit one first.
        case ":$PATH:" in *":$top/scripts/wine64:"*) ;; *) export PATH="$top/scripts/wine64:$PATH" ;; esac
        ;;
    *) echo "wine-env.sh: PAIVIEW_WINEARCH must be win32 or win64, not '$WINEARCH'" >&2; return 2 ;;
esac
if [ -f "$WINEPREFIX/system.reg" ] && ! grep -qx "#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
    echo "wine-env.sh: $WINEPREFIX is not a $WINEARCH prefix; remove it or choose another" >&2
    return 1
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
