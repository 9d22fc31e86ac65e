#!/usr/bin/env bash
# Drives kovconfig.exe under Wine in a virtual X server with key presses from outside, in the
# Wine prefix that the "wine" test fixture prepared ($WINEPREFIX).
# Usage: end_to_end.sh KOVCONFIG.EXE DEFAULT_KOV_INI
set -euo pipefail
program=$(realpath "$1")
expected_lf=$(realpath "$2")

source "$(dirname "$(realpath "$0")")/../end_to_end_helpers.sh"
in_virtual_x "$0" "$@"

restart_wine_here

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The file as Windows has it: the sample with "\r\n" line ends.
sed 's/$/\r/' "$expected_lf" > "$work/expected"
launch=(wine "$program")

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
  start_dialog "$work/about" || return 1
  # Alt+Space opens the system menu; Up from its first item wraps round to the last.
  xdotool key --delay 200 alt+space Up Return
  local about
  about=$(find_window "^About Config - Kov$")
  xdotool key --delay 200 Escape Escape
  wait_for_end && [ -n "$about" ]
}
check about_seen
check test ! -e "$work/about/kov.ini"

name="a read-only kov.ini stays as it was, with a message, and the dialog stays open"
mkdir "$work/readonly"
printf '[/CONFIG_CATEGORY_USER]\r\n"mine"=dword:00000001\r\n' > "$work/readonly/kov.ini"
cp "$work/readonly/kov.ini" "$work/readonly.before"
chmod 444 "$work/readonly/kov.ini"
read_only_refused() {
  start_dialog "$work/readonly" || return 1
  xdotool key Return
  sleep 2
  # The message has the dialog's title: two such windows now, and the program goes on.
  local count
  count=$(xdotool search --onlyvisible --name "^Configuration for game Kov" | wc -l)
  xdotool key --delay 300 Return Escape
  wait_for_end && [ "$count" -ge 2 ]
}
check read_only_refused
check cmp "$work/readonly/kov.ini" "$work/readonly.before"

finish
