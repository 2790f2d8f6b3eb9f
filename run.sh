#!/usr/bin/env bash
# Installs what is missing, builds and runs Velloran. Arguments are passed on.
# Until the window program exists this runs the command-line reader, by
# default over the sample files.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

"$top/scripts/install-deps.sh"
dir=$("$top/scripts/build.sh" | tail -n 1)

if [[ $# -eq 0 ]]; then
  set -- --json "$top/samples"
fi
exec "$dir/bin/velloran-report" "$@"
