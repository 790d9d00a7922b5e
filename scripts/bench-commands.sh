#!/usr/bin/env bash
# Times the paiview commands on one log against `paiview check` of the same file, so
# both sides pay the process start, the reading of the file and the parse of every
# half-game; hyperfine runs each pair in turn and its JSON goes to OUT. The SQLite
# export is held against the sqlite3 shell's .import of the CSV export into a database
# that already holds the export's own schema. Peak memory (GNU time's maximum resident
# size) of stats and each export goes to OUT/memory.txt.
# Usage: scripts/bench-commands.sh BUILD_DIR LOG OUT_DIR [RUNS]
set -euo pipefail
build=$1 log=$2 out=$3 runs=${4:-5}
pv=$build/paiview
check="$pv check $log"
work=$out/work
rm -rf "$out"
mkdir -p "$work"

has() { "$pv" "$1" --help >/dev/null 2>&1; }
skip() { echo "bench: skipped $1: $2" | tee -a "$out/skipped.txt"; }
pair() { # name, baseline name, baseline, command [, hyperfine options]
    local name=$1 base=$2 baseline=$3 command=$4
    shift 4
    hyperfine -N --style none --warmup 1 --runs "$runs" "$@" --export-json "$out/$name.json" \
        -n "$base" "$baseline" -n "$name" "$command" >/dev/null
}
memory() { # name, command: its peak resident size in KiB
    local name=$1
    shift
    /usr/bin/time -f "$name %M" -a -o "$out/memory.txt" "$@" >/dev/null 2>&1
}
stat -c '%s' "$log" >"$out/log_bytes.txt"

# check itself, against a process that only loads the file (GameLibrary::load).
pair check load "$build/scorecheck $log" "$check"
if has list; then pair list_csv check "$check" "$pv list --format csv $log"; else skip list_csv "not built"; fi
if has stats; then
    pair stats check "$check" "$pv stats $log"
    memory stats "$pv" stats "$log"
else
    skip stats "not built"
fi
if has report; then
    pair report check "$check" "$pv report $log -o $work/report.html" --prepare "rm -f $work/report.html"
    stat -c '%s' "$work/report.html" >"$out/report_bytes.txt"
else
    skip report "not built"
fi
if has export; then
    pair export_csv check "$check" "$pv export --format csv -o $work/csv $log" --prepare "rm -rf $work/csv"
    memory export_csv "$pv" export --format csv -o "$work/csv2" "$log"
    pair export_json check "$check" "$pv export --format json -o $work/export.json $log" \
        --prepare "rm -f $work/export.json"
    memory export_json "$pv" export --format json -o "$work/export2.json" "$log"
    rm -f "$work/export.json" "$work/export2.json"
    if "$pv" export --format sqlite -o "$work/probe.db" "$log" >/dev/null 2>&1; then
        # What a user would otherwise do: the sqlite3 shell's .import of the CSV export
        # into the export's own schema, its keys and indexes made first.
        sqlite3 "$work/probe.db" .schema >"$work/schema.sql"
        memory export_sqlite "$pv" export --format sqlite -o "$work/probe2.db" "$log"
        rm -f "$work/probe.db" "$work/probe2.db"
        {
            echo "BEGIN;"
            for table in $(sqlite3 "$work/empty.db" ".read $work/schema.sql" \
                "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY rowid"); do
                echo ".import --csv --skip 1 $work/csv/$table.csv $table"
            done
            echo "COMMIT;"
        } >"$work/import.sql"
        rm -f "$work/empty.db"
        hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$out/export_sqlite.json" \
            --prepare "rm -f $work/import.db" \
            -n sqlite3_import "sqlite3 $work/import.db '.read $work/schema.sql' '.read $work/import.sql'" \
            --prepare "rm -f $work/export.db" \
            -n export_sqlite "$pv export --format sqlite -o $work/export.db $log" >/dev/null
    else
        skip export_sqlite "this build has no SQLite export"
    fi
else
    skip export "not built"
fi
rm -rf "$work"
