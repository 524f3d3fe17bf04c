#!/usr/bin/env bash
# A whole update against the wire limit (see update_wire.py); any arguments
# are passed on, e.g. --flash-write-ms 5 or --sizes 32.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ready-for-wine.sh
status=0
scripts/with-display.sh python3 bench/update_wire.py "$@" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
