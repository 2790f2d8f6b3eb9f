#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) into
# build-fuzz/ and runs each for SECONDS seconds, one after the other on one
# core. Fails on the first finding; the input that caused it is kept in
# build-fuzz/findings/. The corpus of each target grows in
# build-fuzz/corpus/<target> between runs and starts from the committed
# test files.
#   scripts/fuzz.sh SECONDS [TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "SECONDS must be a whole number" >&2; exit 2; }

"$top/scripts/install-deps.sh"

dir="$top/build-fuzz"
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLORAN_FUZZ=ON -DVELLORAN_TESTS=OFF)
[[ -n "${CI:-}" ]] && opts+=(-DVELLORAN_WERROR=ON)
CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"

fixtures="$top/tests/fixtures"
# The committed files that seed each target's corpus.
seeds_of() {
  case "$1" in
    fuzz_id3v1) echo "$fixtures"/foundation/*.mp3 "$fixtures"/mpeg/*.mp3 "$fixtures"/apeflac/*.ape ;;
    fuzz_id3v2) echo "$fixtures"/foundation/*.mp3 "$fixtures"/mpeg/*.mp3 "$fixtures"/apeflac/id3.flac ;;
    fuzz_mpeg_audio) echo "$fixtures"/foundation/*.mp3 "$fixtures"/mpeg/*.mp[123] ;;
    fuzz_mpeg_plus) echo "$fixtures"/apeflac/*.mpc ;;
    fuzz_apev2 | fuzz_monkey) echo "$fixtures"/apeflac/*.ape "$fixtures"/apeflac/*.mpc ;;
    fuzz_flac) echo "$fixtures"/apeflac/*.flac ;;
    fuzz_aac) echo "$fixtures"/apeflac/*.aac ;;
    fuzz_wma_info | fuzz_asf_store) echo "$fixtures"/wma/* ;;
    fuzz_ogg_read | fuzz_ogg_rewrite) echo "$fixtures"/ogg/*.ogg ;;
    fuzz_template) echo "$top"/Templates/*.htm ;;
    fuzz_load_file) find "$fixtures" -type f \( -name '*.mp?' -o -name '*.ogg' -o -name '*.wm?' -o -name '*.asf' \
                       -o -name '*.ape' -o -name '*.mpc' -o -name '*.aac' -o -name '*.flac' \) ;;
  esac
  # Inputs that once failed stay in every matching corpus.
  [[ -d "$fixtures/regressions" ]] && find "$fixtures/regressions" -type f -name "$1.*" || true
}

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for bin in "$dir"/bin/fuzz_*; do targets+=("$(basename "$bin")"); done
fi

# The targets' private folders go to memory where the machine has it: the
# rewriting targets replace a file for every input.
shm=/dev/shm
[[ -d "$shm" && -w "$shm" ]] || shm="$dir"
TMPDIR=$(mktemp -d "$shm/velloran-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
mkdir -p "$dir/findings" "$dir/logs"

for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  seeds="$dir/seeds/$target"
  mkdir -p "$corpus"
  rm -rf "$seeds"
  mkdir -p "$seeds"
  for f in $(seeds_of "$target"); do cp "$f" "$seeds/"; done
  # No layout file is committed: the seed is one as the program writes it,
  # for the 19 columns of the tracklist.
  if [[ "$target" == fuzz_column_layout ]]; then
    { printf 'HEADER-V-001\r\n'
      for i in $(seq 0 18); do printf 'Column %d\r\n%d\r\n%d\r\n-1\r\n-2147483643\r\n%d\r\n' "$i" "$i" $((60 + i)) $((i % 2)); done
    } >"$seeds/list_main.hdr"
  fi
  log="$dir/logs/$target.log"
  # -timeout: an input that takes 10 s is a hang. -malloc_limit_mb: no input
  # of at most 64 KiB may ask for 256 MiB at once. One process, one core.
  if ! "$dir/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$dir/findings/$target-" \
      "$corpus" "$seeds" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "FINDING in $target: see $log and $dir/findings/" >&2
    exit 1
  fi
  # The last status line: executions, coverage and speed.
  status=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  echo "$target: $status"
done
