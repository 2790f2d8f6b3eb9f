#!/usr/bin/env bash
# Configures and builds into a build folder: build/ by default, or
# build-sanitize/ with --sanitize (AddressSanitizer + UBSan).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

dir="$top/build"
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${1:-}" == "--sanitize" ]]; then
  dir="$top/build-sanitize"
  opts=(-DCMAKE_BUILD_TYPE=Debug -DVELLORAN_SANITIZE=ON)
fi
# Warnings fail the build in CI.
[[ -n "${CI:-}" ]] && opts+=(-DVELLORAN_WERROR=ON)

cmake -S "$top" -B "$dir" -G Ninja "${opts[@]}" >&2
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"
