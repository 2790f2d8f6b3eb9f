#!/usr/bin/env bash
# Renders the album report of samples/ in headless Chromium and saves the
# picture as docs/report-album.png (or the path given as first argument).
# Needs a built tree (./scripts/build.sh) and the Debian chromium package.
#   scripts/screenshot-report.sh [OUTPUT.png] [TEMPLATE]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/docs/report-album.png}")
template=${2:-album.htm}

dir=$("$top/scripts/build.sh" | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

page=$("$dir/bin/velloran-report" --template "$template" -o "$work/report.htm" "$top/samples")
mkdir -p "$(dirname "$out")"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --hide-scrollbars --window-size=1000,900 \
  --screenshot="$out" "file://$page" 2>/dev/null
echo "$out"
