#!/usr/bin/env bash
# Checks that Paiview.exe imports only from the system DLLs it is meant to use.
# Usage: scripts/check-imports.sh path/to/Paiview.exe
set -euo pipefail
exe=${1:?usage: check-imports.sh Paiview.exe}
# The first objdump that reads this exe: the i686 build's or the x86_64 one's.
objdump=
for o in i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump objdump; do
    if command -v "$o" >/dev/null && "$o" -f "$exe" >/dev/null 2>&1; then objdump=$o; break; fi
done
# The program's own needs, and msvcrt for mingw's static runtime; names compare
# without case, as Windows compares them.
allowed=" kernel32.dll user32.dll advapi32.dll comdlg32.dll msvcrt.dll "

echo "[==========] Running 1 test."
echo "[ RUN      ] ExeImports.OnlySystemDlls"
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
if [ -z "$imports" ]; then
    echo "$exe: no import table found"
    echo "[  FAILED  ] ExeImports.OnlySystemDlls"
    echo "[  FAILED  ] 1 test."
    exit 1
fi
bad=()
for dll in $imports; do
    case $allowed in
        *" ${dll,,} "*) ;;
        *) bad+=("$dll") ;;
    esac
done
echo "imports: $(echo $imports)"
if [ ${#bad[@]} -gt 0 ]; then
    echo "unexpected imports: ${bad[*]}"
    echo "[  FAILED  ] ExeImports.OnlySystemDlls"
    echo "[  FAILED  ] 1 test."
    exit 1
fi
echo "[       OK ] ExeImports.OnlySystemDlls"
echo "[==========] 1 test ran."
echo "[  PASSED  ] 1 test."
