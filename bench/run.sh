#!/usr/bin/env bash
# Builds velloran-report and the loading benchmark in build-bench/ (Release),
# makes a corpus of copied fixtures (bench/make-corpus.sh) and times, in one
# run on a warm page cache, velloran-report --json over the corpus against
# the floor reader (open, first 4 KiB, last 128 bytes, close), with medians,
# spread, ratio and peak resident size. With strace installed it also counts
# the system calls of one MP3 load. Not part of ./test.sh.
#
#   bench/run.sh [COUNT] [RUNS]      (defaults: 10000 files, 5 runs)
#
# The corpus is kept in $VELLORAN_CORPUS_DIR (default /tmp/velloran-corpus)
# under one folder per COUNT, and reused by later runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
bench_prepare "${1:-10000}" "${2:-5}" velloran-report velloran-load-bench

report="$build/bin/velloran-report"
"$build/bin/velloran-load-bench" "$corpus" "$report" "$runs"

if command -v strace >/dev/null; then
  # System calls per MP3 load: one folder of 100 MP3 files less an empty
  # run, divided by 100.
  calls() { strace -f -c -o "$1" "$report" --json "${@:2}" >/dev/null 2>&1 || true; awk '$NF == "total" {print $(NF-2)}' "$1"; }
  trace=$(mktemp -d)
  trap 'rm -rf "$trace"' EXIT
  mkdir "$trace/empty"
  base=$(calls "$trace/base" "$trace/empty")
  mp3s=$(calls "$trace/mp3" "$corpus/album000")
  awk -v a="$mp3s" -v b="$base" 'BEGIN { printf "system calls per MP3 load: %.1f\n", (a - b) / 100 }'
  strace -f -o "$trace/one" "$report" --json "$corpus/album000/track00000.mp3" >/dev/null 2>&1 || true
  printf 'opens of the file in one MP3 load: %d\n' "$(grep -cE 'open(at)?\(.*track00000\.mp3' "$trace/one")"
fi
