#!/usr/bin/env bash
# Without a display the program must say so in one line and fail, not abort; any other
# start-up failure of the toolkit is passed on in the toolkit's own words.
set -uo pipefail
program=$1
failures=0
passed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run NAME EXPECTED-LINES PATTERN ENV...: the program fails in an orderly way and says PATTERN.
run() {
  local name=$1 lines=$2 pattern=$3
  shift 3
  local errors="$work/errors" status=0
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" 2>"$errors" || status=$?
  local count
  count=$(grep -vc '^QStandardPaths' "$errors")
  if [ "$status" -ne 0 ] && [ "$status" -lt 128 ] && { [ "$lines" = any ] || [ "$count" -eq "$lines" ]; } &&
     grep -q -- "$pattern" "$errors"; then
    echo "ok: $name"; passed=$((passed + 1))
  else
    echo "FAILED: $name: status $status, stderr:"; cat "$errors"; failures=$((failures + 1))
  fi
}

english=(LANGUAGE= LC_ALL= LC_MESSAGES= LANG=C.UTF-8)
run "DISPLAY not set" 1 '^kovconfig: cannot open a display: DISPLAY is not set$' -u DISPLAY "${english[@]}"
# A socket path in a fresh folder: a display that cannot exist, whatever else runs here.
run "a display that does not exist" 1 "^kovconfig: cannot open the display \"$work/none:0\"$" DISPLAY="$work/none:0" \
  "${english[@]}"
run "in Polish" 1 "^kovconfig: nie można otworzyć ekranu „$work/none:0”$" DISPLAY="$work/none:0" LANGUAGE= LC_ALL= \
  LC_MESSAGES= LANG=pl_PL.UTF-8
run "a platform plugin that does not exist" any 'Could not find the Qt platform plugin "nonesuch"' \
  DISPLAY="$work/none:0" QT_QPA_PLATFORM=nonesuch
grep -q 'Available platform plugins are' "$work/errors" || { echo "FAILED: Qt's list of plugins is missing"; failures=$((failures + 1)); }
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
