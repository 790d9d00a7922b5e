#!/usr/bin/env bash
# Builds and runs the benchmarks (Google Benchmark), then prints one table of medians
# and ratios against baselines measured in the same run, and writes results.csv and
# load-time.png beside the raw JSON in the build folder. Then it times the paiview
# commands on the 100,000 half-game log against a process that only loads it
# (scripts/bench-commands.sh) and writes commands.csv; commands not built are skipped.
# Last, the page's module under Node against the native stats (scripts/bench-web.sh), and
# the page in Chromium on the largest log (scripts/bench-page.py).
# Usage: scripts/bench.sh [extra benchmark flags, e.g. --benchmark_filter=Load]
#   PAIVIEW_BENCH_BUILD: build directory (default build/bench, the bench preset's).
#   PAIVIEW_BENCH_RUNS: timed runs of each command (default 5; the median is kept).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PAIVIEW_BENCH_BUILD:-build/bench}

scripts/deps.sh bench
mkdir -p "$build"
{ cmake --preset bench -B "$build" && cmake --build "$build" -j2 --target paiview_bench paiview_cli scorecheck; } \
    >"$build/bench-build.log" 2>&1 || { tail -n 30 "$build/bench-build.log"; exit 1; }

echo "bench: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(date -u +%Y-%m-%d)"
"$build/bench/paiview_bench" --benchmark_out="$build/raw.json" --benchmark_out_format=json \
    "$@" >"$build/bench-run.log" 2>&1 || { tail -n 30 "$build/bench-run.log"; exit 1; }
# Debian's python3 has matplotlib (python3-matplotlib); another python3 on PATH may not.
py=/usr/bin/python3
[ -x "$py" ] || py=python3

# The command rows, on the largest log (written by the benchmark program on first use).
log=$build/bench/logs/scorelog-100000.txt
[ -f "$log" ] || "$build/bench/paiview_bench" --benchmark_filter='BM_LineCountBaseline/100000' >/dev/null
scripts/bench-commands.sh "$build" "$log" "$build/commands" "${PAIVIEW_BENCH_RUNS:-5}"

# The page's rows: stats of the 10,000 half-game log under Node against native, and its size.
log10k=$build/bench/logs/scorelog-10000.txt
[ -f "$log10k" ] || "$build/bench/paiview_bench" --benchmark_filter='BM_LineCountBaseline/10000' >/dev/null
scripts/bench-web.sh "$build" "$log10k" "$build/web" "${PAIVIEW_BENCH_RUNS:-5}"
# The page in Chromium on the largest log: its first rows, and its answers meanwhile.
"$py" scripts/bench-page.py "$build/paiview" build/web/paiview.html "$log" "$build/web/page.csv"

"$py" scripts/bench-report.py "$build/raw.json" "$build/results.csv" "$build/load-time.png" \
    --commands "$build/commands" "$build/commands.csv"
echo "bench: wrote $build/results.csv, $build/commands.csv, $build/web/web.csv, $build/web/page.csv and $build/load-time.png"
