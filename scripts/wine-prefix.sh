#!/usr/bin/env bash
# Makes the project's Wine prefix once: 32-bit, Japanese fonts for "ＭＳ Ｐゴシック"
# and for the Japanese system font of captions and menus ("MS UI Gothic"),
# no crash dialog (a crashing test must end, not wait for a click).
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.paiview-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
run() { if [ -z "${DISPLAY:-}" ]; then xvfb-run -a "$@"; else "$@"; fi; }
run wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
{
    printf '\xff\xfe'
    iconv -f utf-8 -t utf-16le <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐ明朝"="IPAPGothic"
"ＭＳ 明朝"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

REG
} > "$reg"
run wine regedit /S "$(winepath -w "$reg" 2>/dev/null || echo "$reg")" >/dev/null 2>&1 || true
rm -f "$reg"
wineserver -w || true
touch "$WINEPREFIX/.paiview-ready"
