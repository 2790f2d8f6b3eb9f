#!/usr/bin/env bash
# Builds the window benchmark in build-bench/ (Release), makes the corpus
# (bench/make-corpus.sh) and runs it: adding COUNT files through the window
# against one velloran-report --json pass over them (medians and ratio),
# sorting 100 000 rows by Title, and the window's resident size with 100 000
# rows. Not part of ./test.sh.
#
#   bench/run-app.sh [COUNT] [RUNS]      (defaults: 10000 files, 5 runs)
set -euo pipefail
source "$(dirname "$0")/common.sh"
bench_prepare "${1:-10000}" "${2:-5}" velloran-report velloran-app-bench

QT_QPA_PLATFORM=offscreen "$build/bin/velloran-app-bench" "$corpus" "$build/bin/velloran-report" "$runs"
