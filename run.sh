#!/usr/bin/env bash
# Installs what is missing, builds and runs Velloran. Arguments are passed on.
# Where a display exists this starts the window; without one they go to the
# command-line tool velloran-report (see ./run.sh --help).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

"$top/scripts/install-deps.sh"
dir=$("$top/scripts/build.sh" | tail -n 1)

# A display: the window, which adds the files and folders named.
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$dir/bin/velloran" "$@"
fi

# No arguments and no display: the album report of the sample tracks,
# written into build/report/ with its cover picture; prints the page's path.
if [[ $# -eq 0 && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  mkdir -p "$dir/report"
  cd "$dir/report"
  exec "$dir/bin/velloran-report" --template album.htm "$top/samples"
fi

exec "$dir/bin/velloran-report" "$@"
