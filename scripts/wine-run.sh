#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix: wine-run.sh PROGRAM [ARGS...]
set -euo pipefail
here=$(dirname "$0")
. "$here/wine-env.sh"
"$here/setup-wine-prefix.sh"
# The Japanese ANSI code page (932), as on the users' machines; Wine takes it
# from the locale name even where that locale is not installed.
# (Set for Wine alone: the shell would warn that it has no such locale.)
exec env LC_ALL=ja_JP.UTF-8 "$TARVELIN_WINE" "$@"
