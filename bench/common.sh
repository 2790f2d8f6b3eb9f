# Shared start of the benchmark scripts; sourced, not run. Sets top, count,
# runs, corpus and build from the script's arguments [COUNT] [RUNS]
# (defaults 10000 files, 5 runs), builds the given targets in build-bench/
# (Release, no tests) and makes the corpus of copied fixtures. The corpus is
# kept in $VELLORAN_CORPUS_DIR (default /tmp/velloran-corpus) under one
# folder per COUNT, and shared by every benchmark.
#
#   bench_prepare COUNT RUNS TARGET...
bench_prepare() {
  top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  count=${1:-10000}
  runs=${2:-5}
  shift 2
  corpus="${VELLORAN_CORPUS_DIR:-/tmp/velloran-corpus}/$count"
  build="$top/build-bench"
  local targets=()
  for target in "$@"; do targets+=(--target "$target"); done
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLORAN_TESTS=OFF -DVELLORAN_BENCH=ON >/dev/null
  cmake --build "$build" -j 2 "${targets[@]}" >/dev/null
  "$top/bench/make-corpus.sh" "$corpus" "$count"
}
