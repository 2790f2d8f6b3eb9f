#!/usr/bin/env bash
# Installs what is missing, builds and runs Velloran. Arguments are passed on.
# Where a display exists this starts the window (arguments name files or
# folders to add). Without one it runs the command-line tool velloran-report:
# with no arguments it writes the album report of the sample tracks into
# build/report/ and prints the page's path (see ./run.sh --help).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

"$top/scripts/install-deps.sh"
dir=$("$top/scripts/build.sh" | tail -n 1)

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$dir/bin/velloran" "$@"
fi

if [[ $# -eq 0 ]]; then
  mkdir -p "$dir/report"
  cd "$dir/report"
  exec "$dir/bin/velloran-report" --template album.htm "$top/samples"
fi

exec "$dir/bin/velloran-report" "$@"
