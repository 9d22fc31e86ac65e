#!/usr/bin/env bash
# Drives kovconfig.exe under Wine with key presses from outside, each sent once the window it is
# meant for has the keyboard, in the Wine prefix and on the display that the "wine" test fixture
# prepared ($WINEPREFIX).
# Usage: end_to_end.sh KOVCONFIG.EXE KOVCONFIG_AS_XP.EXE DEFAULT_KOV_INI
set -euo pipefail
source "$(dirname "$(realpath "$0")")/../end_to_end_helpers.sh"
program=$(wine_program "$1" "$2")
expected_lf=$(realpath "$3")
on_wine_display

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The file as Windows has it: the sample with "\r\n" line ends.
sed 's/$/\r/' "$expected_lf" > "$work/expected"
launch=("${in_english[@]}" wine "$program")

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
check run_dialog "$work/card" "Tab Tab Down Return"
check grep -q '^"driver type"=dword:00000000' "$work/card/kov.ini"

name="the system menu's last item opens the About box"
mkdir "$work/about"
# The program's windows shown, the nameless ones (a menu) among them.
program_windows() { xdotool search --onlyvisible --class kovconfig.exe 2>/dev/null | grep -c . || true; }
about_seen() {
  start_dialog "$work/about" || return 1
  local before
  before=$(program_windows)
  # Alt+Space opens the system menu (a window of its own); Up from its first item wraps round
  # to the last. The dialog keeps the keyboard meanwhile.
  press dialog alt+space || { abandon; return 1; }
  for _ in $(seq 50); do [ "$(program_windows)" -gt "$before" ] && break; sleep 0.2; done
  [ "$(program_windows)" -gt "$before" ] || { echo "the system menu never came"; abandon; return 1; }
  xdotool key Up Return
  press "^About Config - Kov$" Escape || { abandon; return 1; }
  press dialog Escape && wait_for_end
}
check about_seen
check test ! -e "$work/about/kov.ini"

name="a read-only kov.ini stays as it was, with a message, and the dialog stays open"
mkdir "$work/readonly"
printf '[/CONFIG_CATEGORY_USER]\r\n"mine"=dword:00000001\r\n' > "$work/readonly/kov.ini"
cp "$work/readonly/kov.ini" "$work/readonly.before"
chmod 444 "$work/readonly/kov.ini"
read_only_refused() {
  # The message over the dialog, which stays open.
  run_dialog "$work/readonly" Return over:Return Escape
}
check read_only_refused
check cmp "$work/readonly/kov.ini" "$work/readonly.before"

name="lines that cannot be kept: OK asks; Escape keeps the file; the other answer saves without them"
mkdir "$work/dropped"
printf '; a note\r\n[/CONFIG_CATEGORY_USER]\r\n"mine"=dword:00000001\r\n' > "$work/dropped/kov.ini"
cp "$work/dropped/kov.ini" "$work/dropped.before"
asked() {
  start_dialog "$work/dropped" || return 1
  # The question, with Cancel the default.
  { press dialog Return && press over Escape && await dialog; } || { abandon; return 1; }
  cmp -s "$work/dropped/kov.ini" "$work/dropped.before" || { echo "the file changed"; abandon; return 1; }
  { press dialog Return && press over Tab Return; } || { abandon; return 1; }  # the other answer: Save
  wait_for_end
}
check asked
check grep -q '^"driver type"=dword:0001ffff' "$work/dropped/kov.ini"
lacks() { ! grep -q "$1" "$2"; }
check lacks 'a note' "$work/dropped/kov.ini"

name="in Polish: the dialog and its question under their Polish title; Escape keeps the file"
mkdir "$work/polish"
cp "$work/dropped.before" "$work/polish/kov.ini"
launch=("${in_polish[@]}" wine "$program")
title="^Konfiguracja gry Kov"
check run_dialog "$work/polish" Return over:Escape Escape
check cmp "$work/polish/kov.ini" "$work/dropped.before"

finish
