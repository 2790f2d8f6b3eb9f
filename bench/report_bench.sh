#!/usr/bin/env bash
# Times, in one run on a warm page cache, the album report of a corpus of
# music files against one velloran-report --json pass over the same files,
# and prints both medians and their ratio. The report reads every file once,
# like the --json pass, and is meant to take at most twice as long.
# Not part of ./test.sh.
#
#   bench/report_bench.sh [COUNT] [RUNS]      (defaults: 10000 files, 5 runs)
#
# The corpus (bench/make-corpus.sh) is kept in $VELLORAN_CORPUS_DIR (default
# /tmp/velloran-corpus) under one folder per COUNT, shared with bench/run.sh.
set -euo pipefail
source "$(dirname "$0")/common.sh"
bench_prepare "${1:-10000}" "${2:-5}" velloran-report

report="$build/bin/velloran-report"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Both commands are timed in one hyperfine run, each after a warm-up run.
hyperfine --style basic --warmup 1 --runs "$runs" -N --export-json "$work/times.json" \
  -n "json pass" "'$report' --json '$corpus'" \
  -n "album report" "'$report' --template album.htm -o '$work/album.htm' '$corpus'"

rows=$(grep -c '<td class="num">' "$work/album.htm")
python3 - "$work/times.json" "$count" "$rows" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
json_pass, report = results["json pass"], results["album report"]
ratio = report["median"] / json_pass["median"]
print(f"files: {sys.argv[2]}, report rows: {sys.argv[3]}")
print(f"--json pass:  median {json_pass['median']:.3f} s (min {json_pass['min']:.3f}, max {json_pass['max']:.3f})")
print(f"album report: median {report['median']:.3f} s (min {report['min']:.3f}, max {report['max']:.3f})")
print(f"ratio report / --json: {ratio:.2f} ({'within' if ratio <= 2 else 'OVER'} the limit of 2)")
PY
