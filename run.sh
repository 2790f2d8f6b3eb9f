#!/usr/bin/env bash
# Installs what is missing, builds and runs Velloran. Arguments are passed on.
# Where a display exists this starts the window; otherwise it runs the
# command-line reader, by default over the sample files.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

"$top/scripts/install-deps.sh"
dir=$("$top/scripts/build.sh" | tail -n 1)

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec "$dir/bin/velloran" "$@"
fi

if [[ $# -eq 0 ]]; then
  set -- --json "$top/samples"
fi
exec "$dir/bin/velloran-report" "$@"
