#!/usr/bin/env bash
# Drives the real kovconfig in a real X server with key presses from outside the process, each
# sent once the window it is meant for has the keyboard.
# Usage: end_to_end.sh KOVCONFIG DEFAULT_KOV_INI
set -euo pipefail
program=$(realpath "$1")
expected=$(realpath "$2")

source "$(dirname "$(realpath "$0")")/../end_to_end_helpers.sh"
in_virtual_x "$0" "$@"

unset QT_QPA_PLATFORM
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
launch=("${in_english[@]}" "$program")

name="Return saves the default file"
mkdir "$work/return"
check run_dialog "$work/return" Return
check cmp -s "$work/return/kov.ini" "$expected"

name="Escape writes nothing"
mkdir "$work/escape"
check run_dialog "$work/escape" Escape
check test ! -e "$work/escape/kov.ini"

name="a sound card chosen with the keyboard is stored"
mkdir "$work/card"
# OK, Cancel, then the sound-card list: Down picks "None".
check run_dialog "$work/card" "Tab Tab Down Return"
check grep -qx '"driver type"=dword:00000000' "$work/card/kov.ini"

name="a saved change comes back at the next opening"
check run_dialog "$work/card" Return
check grep -qx '"driver type"=dword:00000000' "$work/card/kov.ini"

name="the rendering device is reachable without a mouse"
mkdir "$work/glide"
# OK, Cancel, the sound-card list, then (the audio controls disabled) the checked radio button.
check run_dialog "$work/glide" "Tab Tab Tab Down Return"
check grep -qx '"rendering device"=dword:00000001' "$work/glide/kov.ini"

name="a FIFO as kov.ini: a question, not a hang; Escape quits and leaves it"
mkdir "$work/fifo"
mkfifo "$work/fifo/kov.ini"
check run_dialog "$work/fifo" Escape
check test -p "$work/fifo/kov.ini"

name="lines that cannot be kept: OK asks, Escape keeps the file, Escape again closes"
mkdir "$work/note"
printf '; my note\n[/CONFIG_CATEGORY_USER]\n' > "$work/note/kov.ini"
cp "$work/note/kov.ini" "$work/note.before"
check run_dialog "$work/note" Return over:Escape Escape
check cmp -s "$work/note/kov.ini" "$work/note.before"

name="in Polish: the dialog and its question under their Polish title; Escape keeps the file"
mkdir "$work/polish"
cp "$work/note.before" "$work/polish/kov.ini"
launch=("${in_polish[@]}" "$program")
title="^Konfiguracja gry Kov"
check run_dialog "$work/polish" Return over:Escape Escape
check cmp -s "$work/polish/kov.ini" "$work/note.before"

finish
