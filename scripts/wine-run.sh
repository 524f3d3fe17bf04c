#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix: wine-run.sh PROGRAM [ARGS...]
set -euo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
"$here/setup-wine-prefix.sh"
exec "$TARVELIN_WINE" "$@"
