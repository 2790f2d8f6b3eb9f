#!/usr/bin/env bash
# Installs what is missing, builds and runs Velloran. Arguments are passed on
# to the command-line tool velloran-report (see ./run.sh --help).
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

"$top/scripts/install-deps.sh"
dir=$("$top/scripts/build.sh" | tail -n 1)

# No arguments and no display: the album report of the sample tracks,
# written into build/report/ with its cover picture; prints the page's path.
if [[ $# -eq 0 && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  mkdir -p "$dir/report"
  cd "$dir/report"
  exec "$dir/bin/velloran-report" --template album.htm "$top/samples"
fi

exec "$dir/bin/velloran-report" "$@"
