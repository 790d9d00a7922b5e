#!/usr/bin/env bash
# Builds the libFuzzer targets, runs every saved regression input once, then fuzzes
# each target for a while. Prints one line per target starting "fuzz: "; exits
# non-zero when any input crashed.
# Usage: scripts/fuzz.sh [--short] [--seconds N] [--no-build] [TARGET]
#   TARGET: fuzz_load, fuzz_search or fuzz_pipeline (default: all three).
#   --short: about 20 s per target (the test run); default 300 s.
#   PAIVIEW_FUZZ_BUILD: build directory (default build/fuzz, the fuzz preset's).
set -uo pipefail
cd "$(dirname "$0")/.."
top=$PWD

seconds=300
build_it=1
targets=(fuzz_load fuzz_search fuzz_pipeline)
while [ $# -gt 0 ]; do
    case $1 in
        --short) seconds=20 ;;
        --seconds) seconds=${2:?--seconds needs a number}; shift ;;
        --no-build) build_it=0 ;;
        fuzz_load | fuzz_search | fuzz_pipeline) targets=("$1") ;;
        *) echo "usage: scripts/fuzz.sh [--short] [--seconds N] [--no-build] [fuzz_load|fuzz_search|fuzz_pipeline]" >&2
           exit 2 ;;
    esac
    shift
done

build=${PAIVIEW_FUZZ_BUILD:-build/fuzz}
logs=$top/build/fuzz-logs
mkdir -p "$logs"

if [ $build_it -eq 1 ]; then
    scripts/deps.sh fuzz || exit 1
    if ! { cmake --preset fuzz -B "$build" && cmake --build "$build" -j2 --target "${targets[@]}"; } \
        >"$logs/build.log" 2>&1; then
        echo "fuzz: build failed, see $logs/build.log" >&2
        tail -n 30 "$logs/build.log" >&2
        exit 1
    fi
fi

seeds_of() {
    case $1 in
        fuzz_load) echo fuzz/corpus/load ;;
        fuzz_search) echo fuzz/corpus/search ;;
        fuzz_pipeline) echo fuzz/corpus/pipeline ;;
    esac
}
# The pipeline writes a report of every input: logs up to the sample's size keep it quick.
max_len_of() { case $1 in fuzz_load) echo 65536 ;; fuzz_search) echo 1024 ;; fuzz_pipeline) echo 32768 ;; esac; }
# The pipeline reaches tens of thousands of features: libFuzzer's entropic schedule then
# spends most of each run weighing them (a quarter of the executions).
schedule_of() { case $1 in fuzz_pipeline) echo -entropic=0 ;; *) echo -entropic=1 ;; esac; }

status=0
for target in "${targets[@]}"; do
    exe=$build/fuzz/$target
    work=$top/build/fuzz-corpus/$target
    artifacts=$top/build/fuzz-artifacts/$target
    log=$logs/$target.log
    mkdir -p "$work" "$artifacts"
    marker=$(mktemp)
    crashes=0

    # Inputs that once broke something are run first, each once.
    regressions=(fuzz/regressions/$target/*)
    if [ -e "${regressions[0]}" ]; then
        if ! "$exe" -artifact_prefix="$artifacts/" "${regressions[@]}" >"$logs/$target-regressions.log" 2>&1; then
            echo "fuzz: $target: a regression input fails, see $logs/$target-regressions.log"
            crashes=1
        fi
    fi

    # The markers of the lines; for the pipeline also the words its facts read.
    dict=$logs/$target.dict
    cat fuzz/scorelog.dict >"$dict"
    if [ "$target" = fuzz_pipeline ]; then
        cat fuzz/pipeline.dict >>"$dict"
    fi

    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len="$(max_len_of "$target")" -dict="$dict" "$(schedule_of "$target")" \
        -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$work" "$(seeds_of "$target")" >"$log" 2>&1
    rc=$?

    execs=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | awk '{print $2}' | tail -n 1)
    cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -n 1)
    new_artifacts=$(find "$artifacts" -type f -newer "$marker")
    found=$(printf '%s' "$new_artifacts" | grep -c . || true)
    rm -f "$marker"
    crashes=$((crashes + found))
    if [ $rc -ne 0 ] && [ "$found" -eq 0 ]; then
        crashes=$((crashes + 1)) # a failure that left no artifact (build or start-up)
    fi
    echo "fuzz: $target: ${execs:-0} executions in ${seconds} s, ${cov:-no coverage}, crashes $crashes"
    if [ $crashes -ne 0 ]; then
        status=1
        printf '%s\n' "$new_artifacts" | grep . | head -n 5 | sed 's/^/fuzz:   artifact /'
        grep -E 'ERROR|invariant broken|SUMMARY' "$log" | head -n 5 | sed 's/^/fuzz:   /'
    fi
done
exit $status
