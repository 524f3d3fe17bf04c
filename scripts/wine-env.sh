# Sourced by the scripts that run Windows programs: one private prefix shared
# by the tests and the demo, quiet Wine.
#
# The product is the 32-bit tarvelin.exe, tested in a 32-bit prefix. Some
# kernels cannot execute 32-bit code at all (IA-32 emulation switched off);
# there Wine's 32-bit loader fails with "Exec format error", so the tests run
# the 64-bit build of the same sources in a 64-bit prefix instead.
tarvelin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${TARVELIN_WINE_BITS:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        TARVELIN_WINE_BITS=32
    else
        TARVELIN_WINE_BITS=64
    fi
fi
export TARVELIN_WINE_BITS
if [ "$TARVELIN_WINE_BITS" = 32 ]; then
    export WINEARCH=win32
    export TARVELIN_WINE=/usr/lib/wine/wine
    export TARVELIN_WINDOWS_PRESET=windows
else
    export WINEARCH=win64
    export TARVELIN_WINE=/usr/lib/wine/wine64
    export TARVELIN_WINDOWS_PRESET=windows64
fi
export TARVELIN_WINDOWS_BUILD=$tarvelin_root/build/$TARVELIN_WINDOWS_PRESET
export WINEPREFIX=${TARVELIN_WINEPREFIX:-$tarvelin_root/build/wineprefix-$WINEARCH}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Starts this prefix's Wine server and its background services ahead of the
# programs, kept running, with their output sent nowhere. Otherwise the
# services start with the first program and keep its output open, and
# whoever waits for the end of that output (ctest) waits for them.
tarvelin_start_wineserver() {
    WINEDEBUG=-all /usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
    "$TARVELIN_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}
