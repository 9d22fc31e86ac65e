#!/usr/bin/env bash
# What a player meets with kov.ini on Windows, through the real kovconfig.exe under Wine in a
# virtual X server: the game holding the file open, a program that recreates the file the moment
# it is moved aside, Unix links, a folder only root may change (the program run as another user,
# in a Wine prefix of that user's), a folder renamed and recreated while the dialog is open, a
# folder whose path Wine cannot hand over, and a game under Program Files with and without
# Windows' VirtualStore copy of its file.
# Usage: file_end_to_end.sh KOVCONFIG.EXE KOVCONFIG_AS_XP.EXE DEFAULT_KOV_INI HOLD_FILE.EXE RECREATE_FILE.EXE
set -euo pipefail
source "$(dirname "$(realpath "$0")")/../end_to_end_helpers.sh"
program=$(wine_program "$1" "$2")
expected_lf=$(realpath "$3")
hold_file=$(realpath "$4")
recreate_file=$(realpath "$5")
on_wine_display

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed 's/$/\r/' "$expected_lf" > "$work/expected"
old=$'[/CONFIG_CATEGORY_USER]\r\n"mine"=dword:00000001\r\n'
launch=("${in_english[@]}" wine "$program")

# leftovers FOLDER: this program's files beside kov.ini.
leftovers() { find "$1" -maxdepth 1 -name '.kov.ini.*' | sed 's/^/  left: /'; }
no_leftovers() { [ -z "$(leftovers "$1")" ] || { leftovers "$1"; return 1; }; }
# saved FILE: the dialog's settings with the player's own value kept, in CR LF.
saved() {
  grep -q '^"driver type"=dword:0001ffff'$'\r''$' "$1" && grep -q '^"mine"=dword:00000001'$'\r''$' "$1" ||
    { echo "not the saved settings:"; sed 's/^/  /' "$1"; return 1; }
}
wait_for_file() { for _ in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.1; done; return 1; }

name="the game holding kov.ini: OK waits, then says to close it; Escape changes nothing; OK again saves"
mkdir "$work/held"
printf '%s' "$old" > "$work/held/kov.ini"
held() {
  (cd "$work/held" && exec wine "$hold_file" kov.ini ../held.ready ../held.release) &
  local holder=$!
  wait_for_file "$work/held.ready" || return 1
  start_dialog "$work/held" || return 1
  # The message over the dialog, which stays open alone after it.
  { press dialog Return && press over Escape && await dialog; } || { abandon; return 1; }
  cmp -s "$work/held/kov.ini" <(printf '%s' "$old") || { echo "the file changed"; abandon; return 1; }
  no_leftovers "$work/held" || { abandon; return 1; }
  touch "$work/held.release"
  wait "$holder"
  press dialog Return || { abandon; return 1; }
  wait_for_end && saved "$work/held/kov.ini" && no_leftovers "$work/held"
}
check held

name="a program that recreates kov.ini the moment it is moved aside: the new settings end up in it"
mkdir "$work/recreated"
printf '%s' "$old" > "$work/recreated/kov.ini"
recreated() {
  (cd "$work/recreated" && exec wine "$recreate_file" kov.ini ../recreate.ready ../recreate.stop) &
  local recreator=$!
  wait_for_file "$work/recreate.ready" || return 1
  run_dialog "$work/recreated" Return || return 1
  touch "$work/recreate.stop"
  wait "$recreator"
  echo "  the other program made the file $(cat "$work/recreate.stop.count") times"
  saved "$work/recreated/kov.ini" && no_leftovers "$work/recreated"
}
check recreated

# As Windows XP runs the program (KOV_AS_WINDOWS_XP=1), what XP has not: links to files, VirtualStore.
as_xp=${KOV_AS_WINDOWS_XP:-0}

name="a Unix symbolic link stays a link, and its target in another folder takes the text"
if [ "$as_xp" = 1 ]; then echo "skipped: $name (Windows XP has no links to files)"; else
mkdir -p "$work/linked/game" "$work/linked/elsewhere"
printf '%s' "$old" > "$work/linked/elsewhere/settings.ini"
ln -s ../elsewhere/settings.ini "$work/linked/game/kov.ini"
check run_dialog "$work/linked/game" Return
check test -L "$work/linked/game/kov.ini"
check grep -q '"mine"=dword:00000001' "$work/linked/elsewhere/settings.ini"
check grep -q '"driver type"=dword:0001ffff' "$work/linked/elsewhere/settings.ini"
check no_leftovers "$work/linked/elsewhere"
fi

name="a second hard link keeps seeing the same file"
mkdir "$work/hard"
printf '%s' "$old" > "$work/hard/kov.ini"
ln "$work/hard/kov.ini" "$work/hard/other.ini"
check run_dialog "$work/hard" Return
check cmp "$work/hard/other.ini" "$work/hard/kov.ini"
check test "$(stat -c %h "$work/hard/kov.ini")" -eq 2
check grep -q '"driver type"=dword:0001ffff' "$work/hard/other.ini"

name="a renamed folder, replaced by a new one of that name: neither folder's file is overwritten"
mkdir "$work/game"
printf '%s' "$old" > "$work/game/kov.ini"
renamed() {
  start_dialog "$work/game" || return 1
  mv "$work/game" "$work/game.moved"
  mkdir "$work/game"
  printf 'theirs\r\n' > "$work/game/kov.ini"
  # The message: the folder moved. Then Cancel.
  { press dialog Return && press over Escape && press dialog Escape; } || { abandon; return 1; }
  wait_for_end
}
check renamed
check cmp -s "$work/game/kov.ini" <(printf 'theirs\r\n')
check cmp -s "$work/game.moved/kov.ini" <(printf '%s' "$old")

name="a folder whose path Wine cannot hand over: a message, and no kov.ini anywhere"
# Over 260 characters Wine starts the program in the Windows folder (far longer, not at all).
deep="$work/deep"
while [ ${#deep} -lt 280 ]; do deep="$deep/a-folder-with-a-long-name"; done
mkdir -p "$deep"
not_handed_over() {
  run_dialog "$deep" Escape  # the message, alone; the program then ends
}
check not_handed_over
check test ! -e "$deep/kov.ini"
check test ! -e "$WINEPREFIX/drive_c/windows/kov.ini"

name="a game under Program Files with a VirtualStore copy: the copy is read and saved"
if [ "$as_xp" = 1 ]; then echo "skipped: $name, and the same without a copy (Windows XP keeps no VirtualStore copies)"; else
user=$(wine cmd /c echo %USERNAME% 2>/dev/null | tr -d '\r')
# Where 32-bit programs go: "Program Files (x86)" on 64-bit Windows, "Program Files" on 32-bit.
program_files=$(wine cmd /c echo '%ProgramFiles(x86)%' 2>/dev/null | tr -d '\r')
case $program_files in *%*) program_files=$(wine cmd /c echo '%ProgramFiles%' 2>/dev/null | tr -d '\r') ;; esac
programs="$(winepath -u "$program_files" 2>/dev/null)/Kov"
store="$WINEPREFIX/drive_c/users/$user/AppData/Local/VirtualStore/${program_files#?:\\}/Kov"
mkdir -p "$programs" "$store"
printf '[/CONFIG_CATEGORY_USER]\r\n"stale"=dword:00000001\r\n' > "$programs/kov.ini"
printf '[/CONFIG_CATEGORY_USER]\r\n"games"=dword:00000001\r\n' > "$store/kov.ini"
check run_dialog "$programs" Return
check grep -q '"games"=dword:00000001' "$store/kov.ini"
check grep -q '"driver type"=dword:0001ffff' "$store/kov.ini"
check cmp -s "$programs/kov.ini" <(printf '[/CONFIG_CATEGORY_USER]\r\n"stale"=dword:00000001\r\n')

name="the same game without a VirtualStore copy: its own folder's file is saved"
rm -rf "$store"
check run_dialog "$programs" Return
check grep -q '"stale"=dword:00000001' "$programs/kov.ini"
check grep -q '"driver type"=dword:0001ffff' "$programs/kov.ini"
check test ! -e "$store/kov.ini"
rm -rf "$programs"
fi

name="a folder only root may change, kov.ini writable, run as another user: saved in place"
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: needs root to run the program as another user"
else
  # That user's own Wine prefix, and the display open to local users.
  player_home="$work/player"
  mkdir -p "$player_home" "$work/shared"
  cp "$program" "$work/shared/kovconfig.exe"
  chmod 755 "$work" "$work/shared" && chmod 644 "$work/shared/kovconfig.exe"
  chown 65534:65534 "$player_home"
  xhost +local: >/dev/null
  as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$player_home"
             WINEPREFIX="$player_home/prefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY="$DISPLAY")
  "${as_player[@]}" wineboot -i </dev/null >/dev/null 2>&1
  "${as_player[@]}" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  mkdir "$work/shared/game"
  printf '%s' "$old" > "$work/shared/game/kov.ini"
  chown 65534:65534 "$work/shared/game/kov.ini"
  chmod 755 "$work/shared/game"
  inode=$(stat -c %i "$work/shared/game/kov.ini")
  launch=("${in_english[@]}" "${as_player[@]}" wine "$work/shared/kovconfig.exe")
  check run_dialog "$work/shared/game" Return
  check grep -q '"driver type"=dword:0001ffff' "$work/shared/game/kov.ini"
  check grep -q '"mine"=dword:00000001' "$work/shared/game/kov.ini"
  check test "$(stat -c %i "$work/shared/game/kov.ini")" -eq "$inode"
  check no_leftovers "$work/shared/game"
  "${as_player[@]}" wineserver -k 2>/dev/null || true
fi

finish
