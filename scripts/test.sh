#!/usr/bin/env bash
# Every test: native unit tests (also under the sanitizers, with a bounded
# fuzzing run), the shipped .exe read from outside, and the Windows program
# under Wine (unit tests and its real windows on Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
. scripts/wine-env.sh
scripts/setup-wine-prefix.sh
tarvelin_start_wineserver

status=0
run_ctest() {
    local preset=$1; shift
    echo "== ctest $preset $*"
    ctest --preset "$preset" -j2 "$@" || status=1
}
run_ctest native
run_ctest native-sanitize
if [ "$TARVELIN_WINDOWS_PRESET" = windows ]; then
    scripts/with-display.sh bash -c 'scripts/wine-run.sh "$0" --start-desktop </dev/null >/dev/null 2>&1; ctest --preset windows -j2' \
        "$TARVELIN_WINDOWS_BUILD/tests/tarvelin_driver.exe" || status=1
else
    echo "(this kernel runs no 32-bit code: the Wine tests use the 64-bit build)"
    run_ctest windows -L product
    echo "== ctest $TARVELIN_WINDOWS_PRESET"
    scripts/with-display.sh bash -c 'scripts/wine-run.sh "$0" --start-desktop </dev/null >/dev/null 2>&1; ctest --preset "$1" -j2 -LE product' \
        "$TARVELIN_WINDOWS_BUILD/tests/tarvelin_driver.exe" "$TARVELIN_WINDOWS_PRESET" || status=1
fi
/usr/lib/wine/wineserver -k 2>/dev/null || true
if [ $status -eq 0 ]; then echo "all test suites passed"; else echo "some tests FAILED"; fi
exit $status
