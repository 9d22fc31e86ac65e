#!/usr/bin/env bash
# Under Wine: ends the real save (save_driver.exe) at once before each of the file boundary's
# Win32 calls in turn, on the ReplaceFileW path, the in-place path (a second hard link, growing
# and shrinking) and for a new file. After each end the old or the new bytes must be whole on
# disk (in kov.ini or in its journal); after the next start kov.ini holds exactly one of them, and
# nothing of the program's is left beside it or in the player's own folder for it.
# Usage: kill_every_step.sh SAVE_DRIVER.EXE
set -euo pipefail
driver=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$(realpath "$0")")/../file/save_texts.sh"
write_save_texts "$work"
# The file holds them with CR LF; the driver is given them with LF, as the store writes them.
for text in small large; do mv "$work/$text" "$work/$text.lf" && sed 's/$/\r/' "$work/$text.lf" > "$work/$text"; done

user=$(wine cmd /c echo %USERNAME% 2>/dev/null | tr -d '\r')
state="$WINEPREFIX/drive_c/users/$user/AppData/Local/kovconfig"
windows_name() { winepath -w "$1" 2>/dev/null; }

# scenario NAME OLD NEW KIND: KIND is plain or linked (a second hard link: saved in place).
scenario() {
  local name=$1 old=$2 new=$3 kind=$4 n=1 status points=0 oldfile again=0 text
  text=$(windows_name "$work/$new.lf")
  while :; do
    rm -rf "$work/game" "$state"
    mkdir -p "$work/game"
    [ "$old" = - ] || cp "$work/$old" "$work/game/kov.ini"
    [ "$kind" = linked ] && ln "$work/game/kov.ini" "$work/game/second"
    status=0
    (cd "$work/game" && KOV_STOP_AT=$n wine "$driver" save "$text" >"$work/said" 2>"$work/wine.said") || status=$?
    # The driver says "running" first: without it, Wine did not run the program at all (once, on
    # a loaded machine). That step is taken again, once; the program's own failures never are.
    if [ "$status" -ne 0 ] && [ "$status" -ne 9 ] && ! grep -q '^running' "$work/said" && [ "$again" -eq 0 ]; then
      echo "  Wine did not run the save at call $n (status $status; Wine said: $(grep -v fixme "$work/wine.said" | head -n 3)); again"
      again=1
      continue
    fi
    again=0
    [ "$status" -eq 0 ] && break  # the save came to its end before call n
    if [ "$status" -ne 9 ]; then
      fail "$name: the save ended with status $status at call $n: $(cat "$work/said"); Wine said: $(grep -v fixme "$work/wine.said" | head -n 5)"
      break
    fi
    points=$((points + 1))
    oldfile=-
    [ "$old" = - ] || oldfile=$(windows_name "$work/$old")
    (cd "$work/game" && wine "$driver" inspect "$oldfile" "$(windows_name "$work/$new")" . \
       "$(windows_name "$WINEPREFIX/drive_c/users/$user/AppData/Local")" >/dev/null 2>&1) ||
      fail "$name: ended before call $n, neither the old nor the new bytes are whole on disk"
    (cd "$work/game" && wine "$driver" recover >/dev/null 2>&1) ||
      fail "$name: the next start after an end before call $n could not finish"
    if [ "$old" = - ] && [ ! -e "$work/game/kov.ini" ]; then :
    elif ! cmp -s "$work/game/kov.ini" "$work/$new" && { [ "$old" = - ] || ! cmp -s "$work/game/kov.ini" "$work/$old"; }; then
      fail "$name: after an end before call $n and the next start, kov.ini is neither old nor new"
    fi
    [ "$kind" != linked ] || cmp -s "$work/game/kov.ini" "$work/game/second" || fail "$name: the links parted at call $n"
    left=$(cd "$work/game" && find . -mindepth 1 -maxdepth 1 ! -name kov.ini ! -name second; find "$state" -type f 2>/dev/null || true)
    [ -z "$left" ] || fail "$name: after an end before call $n and the next start, left: $left"
    n=$((n + 1))
  done
  cmp -s "$work/game/kov.ini" "$work/$new" || fail "$name: the save that ran to its end did not save"
  echo "ok: $name: ended at each of $points calls"
}

scenario "an ordinary file, replaced" small large plain
scenario "a file with a second hard link, growing, in place" small large linked
scenario "a file with a second hard link, shrinking, in place" large small linked
scenario "no file before" - large plain

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
