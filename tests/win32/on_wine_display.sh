#!/usr/bin/env bash
# Runs a Windows test program that shows windows on the virtual X server of the test run, which
# Wine's desktop was started on (the "wine" fixture, wine_prefix.sh).
# Usage: on_wine_display.sh PROGRAM.EXE [ARGUMENT...]
set -euo pipefail
number=$(cat "$WINEPREFIX/.kov-display" 2>/dev/null) || { echo "no display: the wine fixture did not run"; exit 1; }
export DISPLAY=":$number"
exec "$@"
