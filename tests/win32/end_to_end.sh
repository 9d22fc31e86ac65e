#!/usr/bin/env bash
# Drives kovconfig.exe under Wine in a virtual X server with key presses from outside, in the
# Wine prefix that the "wine" test fixture prepared ($WINEPREFIX).
# Usage: end_to_end.sh KOVCONFIG.EXE DEFAULT_KOV_INI
set -euo pipefail
program=$(realpath "$1")
expected_lf=$(realpath "$2")

if [ -z "${KOV_E2E_IN_X:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)"; exit 1; }
  KOV_E2E_IN_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# Wine's desktop, started by the fixture with no display, cannot show windows here: start
# Wine's services again on this display.
wineserver -k 2>/dev/null || true
wineserver -p </dev/null >/dev/null 2>&1
wineboot </dev/null >/dev/null 2>&1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The file as Windows has it: the sample with "\r\n" line ends.
sed 's/$/\r/' "$expected_lf" > "$work/expected"
failures=0
passed=0

# find_window PATTERN: the id of a visible window whose name matches, waiting up to 30 s.
find_window() {
  local window=""
  for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  echo "$window"
}

# Starts the dialog in folder $1 and sends the keys that follow; the program must end.
run_dialog() {
  local folder=$1
  shift
  (cd "$folder" && exec wine "$program" 2>>"$work/wine.log") &
  local pid=$!
  local window
  window=$(find_window "^Configuration for game Kov")
  [ -n "$window" ] || { echo "no dialog"; kill "$pid"; return 1; }
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 0.5
  xdotool key --delay 150 "$@"
  timeout 30 tail --pid="$pid" -f /dev/null || { kill "$pid"; echo "the dialog did not close"; return 1; }
  wait "$pid" || { echo "exit status $?"; return 1; }
}

check() {
  if "$@"; then echo "ok: $name"; passed=$((passed + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

name="Return in an empty folder writes the sample with CR LF, byte for byte"
mkdir "$work/return"
check run_dialog "$work/return" Return
check cmp "$work/return/kov.ini" "$work/expected"

name="Escape writes nothing"
mkdir "$work/escape"
check run_dialog "$work/escape" Escape
check test ! -e "$work/escape/kov.ini"

name="a sound card chosen with the keyboard is stored"
mkdir "$work/card"
# OK, Cancel, then the sound-card list: Down picks "None"; Return presses OK.
check run_dialog "$work/card" Tab Tab Down Return
check grep -q '^"driver type"=dword:00000000' "$work/card/kov.ini"

name="the system menu's last item opens the About box"
mkdir "$work/about"
about_seen() {
  (cd "$work/about" && exec wine "$program") &
  local pid=$! window about
  window=$(find_window "^Configuration for game Kov")
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 0.5
  # Alt+Space opens the system menu; Up from its first item wraps round to the last.
  xdotool key --delay 200 alt+space Up Return
  about=$(find_window "^About Config - Kov$")
  xdotool key --delay 200 Escape Escape
  timeout 30 tail --pid="$pid" -f /dev/null || kill "$pid"
  [ -n "$about" ]
}
check about_seen
check test ! -e "$work/about/kov.ini"

name="a read-only kov.ini stays as it was, with a message, and the dialog stays open"
mkdir "$work/readonly"
printf '[/CONFIG_CATEGORY_USER]\r\n"mine"=dword:00000001\r\n' > "$work/readonly/kov.ini"
cp "$work/readonly/kov.ini" "$work/readonly.before"
chmod 444 "$work/readonly/kov.ini"
read_only_refused() {
  (cd "$work/readonly" && exec wine "$program") &
  local pid=$! window
  window=$(find_window "^Configuration for game Kov")
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 0.5
  xdotool key Return
  sleep 2
  # The message has the dialog's title: two such windows now, and the program goes on.
  local count
  count=$(xdotool search --onlyvisible --name "^Configuration for game Kov" | wc -l)
  xdotool key --delay 300 Return Escape
  timeout 30 tail --pid="$pid" -f /dev/null || kill "$pid"
  [ "$count" -ge 2 ]
}
check read_only_refused
check cmp "$work/readonly/kov.ini" "$work/readonly.before"

[ "$failures" -eq 0 ] || { echo "Wine said:"; tail -n 30 "$work/wine.log"; }
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
