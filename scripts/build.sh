#!/usr/bin/env bash
# Configures and builds what the tests and the demo use: the native build
# (and its sanitizer and fuzzer build unless TARVELIN_SKIP_SANITIZE=1), the
# 32-bit product and, where this machine needs it, the 64-bit twin.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
jobs=$(nproc)
presets=(native windows)
[ "${TARVELIN_SKIP_SANITIZE:-}" = 1 ] || presets+=(native-sanitize)
[ "$TARVELIN_WINDOWS_PRESET" = windows ] || presets+=("$TARVELIN_WINDOWS_PRESET")
for preset in "${presets[@]}" "$@"; do
    [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs" >/dev/null
done
