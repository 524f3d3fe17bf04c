#!/usr/bin/env bash
# Creates the private Wine prefix once: Japanese fonts standing in for
# the ones the dialog asks for. COM port links are made by whoever runs a board.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

if [ -f "$WINEPREFIX/.tarvelin-ready" ]; then
    exit 0
fi
mkdir -p "$WINEPREFIX"
"$TARVELIN_WINE" wineboot -i >/dev/null 2>&1
fonts_reg=$(mktemp --suffix=.reg)
trap 'rm -f "$fonts_reg"' EXIT
cat >"$fonts_reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAGothic"
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"
"MS Gothic"="IPAGothic"
"Tahoma"="IPAGothic"
REG
"$TARVELIN_WINE" regedit "$fonts_reg" >/dev/null 2>&1
/usr/lib/wine/wineserver -w
touch "$WINEPREFIX/.tarvelin-ready"
