#!/usr/bin/env bash
# Kills the real save before each of its file system calls in turn, in every kind of save: an
# ordinary file (replaced), a file with a second hard link growing and shrinking (written in
# place), a writable file in a folder that takes no new file saved by another user (in place,
# its journal in that user's state folder), and no file before. After each kill the old or the
# new bytes must be whole on disk (in kov.ini or in its journal); after the next start kov.ini
# holds exactly one of them, and nothing of the program's is left beside it or in the state folder.
# Usage: kill_every_call.sh SAVE_DRIVER KILL_SHIM
set -euo pipefail
# A driver built with AddressSanitizer wants its runtime first; the shim goes first here.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# Copies another user can run.
cp "$1" "$work/save_driver"
cp "$2" "$work/kill_shim.so"
chmod 755 "$work/save_driver" "$work/kill_shim.so"

source "$(dirname "$(realpath "$0")")/stop_checks.sh"
write_save_texts "$work"
run=()  # as another user, for the "foreign" kind
stopping=(KOV_SIGNAL=9 LD_PRELOAD="$work/kill_shim.so")
driver_command() { env "${stop[@]}" XDG_STATE_HOME="$work/state" "${run[@]}" "$work/save_driver" "$@"; }
native() { echo "$1"; }

# scenario NAME OLD NEW KIND: KIND is plain, linked, or foreign (another user, a folder only
# root may change).
scenario() {
  local name=$1 kind=$4
  old=$2 new=$3 run=()
  if [ "$kind" = foreign ]; then
    if [ "$(id -u)" -ne 0 ]; then echo "skipped: $name (needs root to run as another user)"; return; fi
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  stop_at_each_call "$name" "$work/$new" 137 "$work/game" "$work/state/kovconfig"  # 128 + SIGKILL
}
prepare() {
  rm -rf "$work/game" "$work/state"
  mkdir -p "$work/game" "$work/state"
  [ "$old" = - ] || cp "$work/$old" "$work/game/kov.ini"
  case $kind in
    linked) ln "$work/game/kov.ini" "$work/game/second" ;;
    foreign) chown 65534:65534 "$work/game/kov.ini" "$work/state"; chmod 755 "$work/game" ;;
  esac
}

scenario "an ordinary file" small large plain
scenario "a file with a second hard link, growing" small large linked
scenario "a file with a second hard link, shrinking" large small linked
scenario "a writable file in a folder only root may change, saved by another user" small large foreign
scenario "no file before" - large plain

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
