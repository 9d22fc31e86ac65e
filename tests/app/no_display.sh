#!/usr/bin/env bash
# Without a display the program must say so in one line and fail, not abort.
set -uo pipefail
program=$1
failures=0
for display in "" ":97"; do
  errors=$(mktemp)
  if [ -z "$display" ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>"$errors"
  else
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$program" 2>"$errors"
  fi
  status=$?
  lines=$(grep -vc '^QStandardPaths' "$errors")
  if [ "$status" -ne 0 ] && [ "$status" -lt 128 ] && [ "$lines" -eq 1 ] && grep -q '^kovconfig: cannot open' "$errors"; then
    echo "ok: DISPLAY='$display'"
  else
    echo "FAILED: DISPLAY='$display': status $status, stderr:"; cat "$errors"
    failures=$((failures + 1))
  fi
  rm -f "$errors"
done
echo "$(( 2 - failures )) passed, $failures failed"
[ "$failures" -eq 0 ]
