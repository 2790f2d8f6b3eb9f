#!/usr/bin/env bash
# Takes the picture of the report wizard for the README: the wizard over the
# sample album with the album template previewed, run under xvfb-run, saved
# as docs/dialog.png (or the path given as first argument).
#   scripts/screenshot-dialog.sh [OUTPUT.png] [TEMPLATE]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/docs/dialog.png}")
template=${2:-album.htm}

"$top/scripts/install-deps.sh"
dir="$top/build"
cmake -S "$top" -B "$dir" -G Ninja -DVELLORAN_SHOTS=ON >&2
cmake --build "$dir" -j 2 --target velloran-wizard-shot >&2

mkdir -p "$(dirname "$out")"
# The preview's browser engine runs without GPU, and without its sandbox
# when run as root.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
[[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QT_QPA_PLATFORM=xcb
mapfile -t tracks < <(find "$top/samples" -maxdepth 1 -type f ! -name '*.sh' | sort)
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$dir/bin/velloran-wizard-shot" "$out" "$template" "${tracks[@]}"
echo "$out"
