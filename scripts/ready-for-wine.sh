# Sourced by the demo and the benchmarks, from the project's root: the
# packages, the builds they use (no sanitizer build), the Wine prefix and a
# running Wine server.
scripts/install-deps.sh
TARVELIN_SKIP_SANITIZE=1 scripts/build.sh
. scripts/wine-env.sh
scripts/setup-wine-prefix.sh
tarvelin_start_wineserver
