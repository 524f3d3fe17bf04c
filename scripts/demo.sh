#!/usr/bin/env bash
# The main job: a whole firmware update of the real tarvelin.exe under Wine
# against the virtual board, on the user's display or on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ready-for-wine.sh
status=0
scripts/with-display.sh python3 scripts/demo.py || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
