#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix (made on first use), under
# Xvfb when there is no display. Exits with the program's exit code.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh" || exit 1
"$top/scripts/wine-prefix.sh" || exit 1
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
# Wine's own background processes (services, device drivers) are started by the
# first program and inherit its output. Sent straight to a pipe, they would keep a
# test runner waiting for its end long after the program exited; a file does not.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
exit $rc
