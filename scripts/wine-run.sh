#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix (made on first use), under
# Xvfb when there is no display. Exits with the program's exit code.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
"$top/scripts/wine-prefix.sh"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
