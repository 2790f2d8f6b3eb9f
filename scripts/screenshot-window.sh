#!/usr/bin/env bash
# Takes docs/window.png: the main window under a virtual X server, with the
# sample tracks and a dozen test files added from the command line and one
# row (a file with picture and lyrics) focused by a real click and key press.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [[ "${1:-}" != --inside ]]; then
  "$top/scripts/install-deps.sh"
  dir=$("$top/scripts/build.sh" | tail -n 1)
  mkdir -p "$top/docs"
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$dir/bin/velloran" "$top/docs/window.png"
fi

program=$2
out=$3
fx="$top/tests/fixtures"
files=(
  "$top/samples"
  "$fx/wma/tagged.wma"
  "$fx/mpeg/eyed3_v24_utf8.mp3" "$fx/mpeg/id3v2_v23_latin1.mp3" "$fx/mpeg/bigcover_v24.mp3"
  "$fx/mpeg/layer2.mp2" "$fx/foundation/v1only.mp3" "$fx/apeflac/tagged.ape" "$fx/apeflac/v1000.mpc"
  "$fx/apeflac/id3.flac" "$fx/apeflac/tagged.aac" "$fx/ogg/long_lyrics.ogg" "$fx/wma/clip.wmv"
)
# The first sample track has the album's cover and lyrics.
focus_row=0

"$program" "${files[@]}" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

wid=$(xdotool search --sync --name "VLR Velloran" | head -n 1)
sleep 2
# Click the first row, then walk down to the row to show.
xdotool mousemove --window "$wid" 60 58 click 1
sleep 0.3
for ((i = 0; i < focus_row; i++)); do xdotool key Down; done
# Leave the pointer where no tool tip opens.
xdotool mousemove --window "$wid" 600 20
sleep 1.5
import -window "$wid" "$out"
echo "$out"
