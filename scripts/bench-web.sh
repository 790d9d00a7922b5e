#!/usr/bin/env bash
# The page's rows of make bench: `paiview stats` of a log under Node (the page's own module,
# run by web/node-run.js on in-memory files as the page runs it) against the native command,
# one right after the other in the same hyperfine run, and the size of the page. Builds
# the web preset first. Writes OUT/web_stats.json (hyperfine) and OUT/web.csv.
# Usage: scripts/bench-web.sh NATIVE_BUILD_DIR LOG OUT_DIR [RUNS]
set -euo pipefail
native=$1 log=$2 out=$3 runs=${4:-5}
web=build/web
mkdir -p "$out"
{ cmake --preset web && cmake --build --preset web; } >"$out/web-build.log" 2>&1 ||
    { tail -n 30 "$out/web-build.log"; exit 1; }
hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$out/web_stats.json" \
    -n native "$native/paiview stats $log" \
    -n node "node web/node-run.js $web/paiview.js stats $log" >/dev/null

python3 - "$out/web_stats.json" "$web/paiview.html" "$out/web.csv" "$log" <<'PY'
import csv, json, os, statistics, sys
runs, page, out, log = sys.argv[1:]
median = {r["command"]: statistics.median(r["times"]) for r in json.load(open(runs))["results"]}
size = os.path.getsize(page)
rows = [("web stats (Node / native)", f"{median['node']:.3f} s", f"{median['native']:.3f} s",
         median["node"] / median["native"], 3.0),
        ("web page size", f"{size} bytes", "3 MiB", size / (3 * 1024 * 1024), 1.0)]
print(f"bench: web rows on {os.path.basename(log)}")
print(f"{'Row':28} {'Measured':>14} {'Baseline':>14} {'Ratio':>6} {'Limit':>6}")
for name, got, base, ratio, limit in rows:
    print(f"{name:28} {got:>14} {base:>14} {ratio:6.2f} {limit:6.1f}  "
          + ("met" if ratio <= limit else "NOT MET"))
with open(out, "w", newline="") as f:
    w = csv.writer(f)
    w.writerow(["row", "measured", "baseline", "ratio", "limit"])
    for name, got, base, ratio, limit in rows:
        w.writerow([name, got, base, round(ratio, 3), limit])
PY
