#!/usr/bin/env bash
# paiview-cli.exe under Wine: check on the sample in CP932 and in UTF-8 under a Japanese
# file name, list with a Japanese opponent, and logs dropped onto it. Standard output
# goes to a file and is compared as bytes: it must be UTF-8 whatever the code page.
# Prints gtest-style lines, which scripts/test.sh counts.
# Usage: cli_smoke.sh path/to/paiview-cli.exe
set -uo pipefail
exe=${1:?usage: cli_smoke.sh paiview-cli.exe}
. "$(dirname "$0")/../../scripts/wine-env.sh" || exit 1
"$top/scripts/wine-prefix.sh" || exit 1
# Wine has no browser, and a message box would wait for a click (cli/DropCommand.h).
export PAIVIEW_NO_DESKTOP=1
sample=$top/samples/tonpuso.txt
tmp=$(mktemp -d)
trap 'chattr -i "$tmp/locked" 2>/dev/null; chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
# Output to files, never a pipe: Wine's background processes would hold a pipe open.
# Fails, saying the exit code, unless the program exits 0.
cli() {
    timeout 120 wine "$exe" "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
    rc=$?
    [ $rc -eq 0 ] || echo "exit $rc"
    return $rc
}

passed=0
failed=0
current=
begin() { current=$1; echo "[ RUN      ] CliWine.$current"; }
fail() {
    echo "$*"
    echo "--- stdout:"; head -c 2000 "$tmp/out"; echo "--- stderr:"; head -c 2000 "$tmp/err"
    echo "[  FAILED  ] CliWine.$current"
    failed=$((failed + 1))
}
ok() { echo "[       OK ] CliWine.$current"; passed=$((passed + 1)); }
utf8() { iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1; }

expected_check="OK: 16 half-games, 170 hands (3 aborted)"
opponent=ソーズ使い # ソ ends in the byte 0x5C, a backslash in ASCII
# One list row per half-game that seats her.
opponent_games=$(iconv -f CP932 -t UTF-8 "$sample" | grep -E '^  \[1\]' | grep -c "$opponent")

echo "[==========] Running CliWine tests."
begin CheckCp932
if ! cli check "$(winpath "$sample")"; then fail "paiview-cli.exe failed"
elif ! printf '%s\n' "$expected_check" | cmp -s - "$tmp/out"; then fail "wrong output"
else ok; fi

begin CheckUtf8UnderJapaneseName
iconv -f CP932 -t UTF-8 "$sample" >"$tmp/東風荘の牌譜.txt"
if ! cli check "$(winpath "$tmp/東風荘の牌譜.txt")"; then fail "paiview-cli.exe failed"
elif ! printf '%s\n' "$expected_check" | cmp -s - "$tmp/out"; then fail "wrong output"
else ok; fi

begin ListWithJapaneseOpponent
if ! cli list "$(winpath "$sample")" --with "$opponent"; then fail "paiview-cli.exe failed"
elif ! utf8 "$tmp/out"; then fail "output is not UTF-8"
elif [ "$(grep -c "$opponent" "$tmp/out")" -ne "$opponent_games" ]; then
    fail "expected $opponent_games rows with $opponent"
elif grep -q $'\r' "$tmp/out"; then fail "CR in the output: not written in binary"
else ok; fi

mkdir -p "$tmp/drop" "$tmp/locked"
cp "$sample" "$tmp/drop/牌譜 2003.txt"
cp "$sample" "$tmp/drop/second.txt"
begin DropWritesReportBesideTheFirstLog
report="$tmp/drop/牌譜 2003.report.html"
if ! cli "$(winpath "$tmp/drop/牌譜 2003.txt")" "$(winpath "$tmp/drop/second.txt")"; then fail "paiview-cli.exe failed"
elif [ ! -s "$report" ]; then fail "no $report"
elif ! utf8 "$report" || ! grep -q 'lang="ja"' "$report"; then fail "not a UTF-8 page in Japanese"
elif ! grep -q 'report.html' "$tmp/out"; then fail "the report's path was not printed"
elif [ -e "$tmp/drop/second.report.html" ]; then fail "a second report: logs dropped together are merged"
else ok; fi

begin DropIntoDocumentsWhenTheFolderTakesNoFile
cp "$sample" "$tmp/locked/locked.txt"
# Root writes anywhere, except into an immutable folder.
chattr +i "$tmp/locked" 2>/dev/null || chmod a-w "$tmp/locked"
if ! cli "$(winpath "$tmp/locked/locked.txt")"; then fail "paiview-cli.exe failed"
else
    written=$(timeout 60 winepath -u "$(tr -d '\r\n' <"$tmp/out")" 2>/dev/null)
    if [ -e "$tmp/locked/locked.report.html" ]; then fail "written into the locked folder"
    elif [[ $written != */Documents/locked.report.html ]] || [ ! -s "$written" ]; then
        fail "not in Documents: '$written'"
    else ok; fi
    rm -f "$written"
fi

begin DropOfABrokenLogWritesNothing
head -n 5 "$sample" >"$tmp/drop/broken.txt"
cli "$(winpath "$tmp/drop/broken.txt")"
if [ $rc -ne 1 ]; then fail "exit $rc, not 1"
elif ! grep -q 'line' "$tmp/err"; then fail "the reason does not name the line"
elif [ -e "$tmp/drop/broken.report.html" ]; then fail "a report of a broken log"
else ok; fi

echo "[==========] $((passed + failed)) tests ran."
[ $passed -gt 0 ] && echo "[  PASSED  ] $passed tests."
[ $failed -gt 0 ] && echo "[  FAILED  ] $failed tests."
[ $failed -eq 0 ]
