#!/usr/bin/env bash
# Builds the window benchmark in build-bench/ (Release), makes the corpus
# (bench/make-corpus.sh) and runs it: adding COUNT files through the window
# against one velloran-report --json pass over them (medians and ratio),
# sorting 100 000 rows by Title, and the window's resident size with 100 000
# rows. Not part of ./test.sh.
#
#   bench/run-app.sh [COUNT] [RUNS]      (defaults: 10000 files, 5 runs)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-10000}
runs=${2:-5}
corpus="${VELLORAN_CORPUS_DIR:-/tmp/velloran-corpus}/$count"
build="$top/build-bench"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLORAN_TESTS=OFF -DVELLORAN_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target velloran-report velloran-app-bench >/dev/null
"$top/bench/make-corpus.sh" "$corpus" "$count"

QT_QPA_PLATFORM=offscreen "$build/bin/velloran-app-bench" "$corpus" "$build/bin/velloran-report" "$runs"
