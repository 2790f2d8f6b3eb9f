#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
#   ./test.sh             normal build in build/
#   ./test.sh --sanitize  AddressSanitizer + UBSan build in build-sanitize/
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

"$top/scripts/install-deps.sh"
dir=$("$top/scripts/build.sh" "$@" | tail -n 1)

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
