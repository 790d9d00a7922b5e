#!/usr/bin/env bash
# Times the paiview commands on one log against a process that only loads the same
# file (samples/scorecheck: GameLibrary::load), so both sides pay the process start
# and the reading of the file. hyperfine runs each pair in turn; its JSON goes to OUT.
# Usage: scripts/bench-commands.sh BUILD_DIR LOG OUT_DIR [RUNS]
set -euo pipefail
build=$1 log=$2 out=$3 runs=${4:-5}
pv=$build/paiview
load="$build/scorecheck $log"
work=$out/work
rm -rf "$out"
mkdir -p "$work"

has() { "$pv" "$1" --help >/dev/null 2>&1; }
skip() { echo "bench: skipped $1: $2" | tee -a "$out/skipped.txt"; }
pair() { # name, command [, hyperfine options]: the command against the plain load
    local name=$1 command=$2
    shift 2
    hyperfine -N --style none --warmup 1 --runs "$runs" "$@" --export-json "$out/$name.json" \
        -n load "$load" -n "$name" "$command" >/dev/null
}

if has check; then pair check "$pv check $log"; else skip check "not built"; fi
if has list; then pair list_csv "$pv list --format csv $log"; else skip list_csv "not built"; fi
if has stats; then pair stats "$pv stats $log"; else skip stats "not built"; fi
if has report; then
    pair report "$pv report $log -o $work/report.html"
    stat -c '%s' "$work/report.html" >"$out/report_bytes.txt"
else
    skip report "not built"
fi
if has export; then
    pair export_csv "$pv export --format csv -o $work/csv $log" --prepare "rm -rf $work/csv"
    pair export_json "$pv export --format json -o $work/export.json $log"
    if "$pv" export --format sqlite -o "$work/probe.db" "$log" >/dev/null 2>&1; then
        # What a user would otherwise do: the sqlite3 shell's .import of the CSV export.
        rm -rf "$work/csv" && "$pv" export --format csv -o "$work/csv" "$log"
        for table in games seats hands deltas; do
            echo ".import --csv $work/csv/$table.csv $table"
        done >"$work/import.sql"
        hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$out/export_sqlite.json" \
            --prepare "rm -f $work/import.db" -n sqlite3_import "sqlite3 $work/import.db '.read $work/import.sql'" \
            --prepare "rm -f $work/export.db" -n export_sqlite "$pv export --format sqlite -o $work/export.db $log" \
            >/dev/null
    else
        skip export_sqlite "this build has no SQLite export"
    fi
else
    skip export "not built"
fi
rm -rf "$work"
