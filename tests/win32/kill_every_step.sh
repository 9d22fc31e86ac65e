#!/usr/bin/env bash
# Under Wine: ends the real save (save_driver.exe) at once before each of the file boundary's
# Win32 calls in turn, on the ReplaceFileW path, the in-place path (a second hard link, growing
# and shrinking) and for a new file. After each end the old or the new bytes must be whole on
# disk (in kov.ini or in its journal); after the next start kov.ini holds exactly one of them, and
# nothing of the program's is left beside it or in the player's own folder for it. Run as Windows
# XP would run it when KOV_AS_WINDOWS_XP=1.
# Usage: kill_every_step.sh SAVE_DRIVER.EXE
set -euo pipefail
driver=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$(realpath "$0")")/../file/stop_checks.sh"
write_save_texts "$work"
# The file holds them with CR LF; the driver is given them with LF, as the store writes them.
for text in small large; do mv "$work/$text" "$work/$text.lf" && sed 's/$/\r/' "$work/$text.lf" > "$work/$text"; done

user=$(wine cmd /c echo %USERNAME% 2>/dev/null | tr -d '\r')
state="$WINEPREFIX/drive_c/users/$user/AppData/Local/kovconfig"
as_xp=()
[ "${KOV_AS_WINDOWS_XP:-0}" != 1 ] || as_xp=(--as-windows-xp)
driver_command() { env "${stop[@]}" wine "$driver" "${as_xp[@]}" "$@"; }
# Wine's Z: drive is the Unix root: a name for the driver without starting winepath (a Wine
# program itself) for each one.
native() { local unix=$1; echo "Z:${unix//\//\\}"; }
rerun_unstarted=1

# scenario NAME OLD NEW KIND: KIND is plain or linked (a second hard link: saved in place).
scenario() {
  local name=$1 kind=$4
  old=$2 new=$3
  stop_at_each_call "$name" "$(native "$work/$new.lf")" 9 "$work/game" "$state"  # the driver's TerminateProcess
}
prepare() {
  rm -rf "$work/game" "$state"
  mkdir -p "$work/game"
  [ "$old" = - ] || cp "$work/$old" "$work/game/kov.ini"
  if [ "$kind" = linked ]; then ln "$work/game/kov.ini" "$work/game/second"; fi
}

scenario "an ordinary file, replaced" small large plain
scenario "a file with a second hard link, growing, in place" small large linked
scenario "a file with a second hard link, shrinking, in place" large small linked
scenario "no file before" - large plain

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
