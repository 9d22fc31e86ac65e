#!/usr/bin/env bash
# Cuts the power under the real save before each of its file system calls in turn, on a small
# ext4 file system of its own (a loop device), in ordered and in writeback data mode, on both
# paths of a save (replaced, and in place through a second hard link). The save is stopped before
# call n and the disk copied as it is then (what a power cut leaves: nothing of what only the
# page cache holds), and again after a writeback of everything (a power cut after the kernel
# flushed). Each copy is mounted (its journal replayed, as after the power came back): the old
# or the new bytes must be whole on disk (in kov.ini or in its journal), and after the next start
# kov.ini holds exactly one of them with nothing of the program's left.
# Usage: power_cut.sh SAVE_DRIVER KILL_SHIM. Skipped (77) where the machine offers no loop device.
set -euo pipefail
# A driver built with AddressSanitizer wants its runtime first; the shim goes first here.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
driver=$(realpath "$1")
shim=$(realpath "$2")
if [ "$(id -u)" -ne 0 ] || ! command -v mkfs.ext4 >/dev/null || ! command -v losetup >/dev/null; then
  echo "skipped: needs root, mkfs.ext4 and losetup to make a file system on a loop device"
  exit 77
fi
work=$(mktemp -d)
mnt="$work/mnt"
mkdir "$mnt"
cleanup() {
  umount "$mnt" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
truncate -s 8M "$work/blank.img"
mkfs.ext4 -q -F "$work/blank.img"
if ! mount -o loop "$work/blank.img" "$mnt" 2>/dev/null; then
  echo "skipped: this machine offers no loop device to mount a file system on"
  exit 77
fi
umount "$mnt"

source "$(dirname "$(realpath "$0")")/stop_checks.sh"
write_save_texts "$work"
driver_command() { env XDG_STATE_HOME="$mnt/state" "$driver" "$@"; }
native() { echo "$1"; }

# after_power_cut IMAGE MODE WHAT: mounts the copy and checks it before and after the next start.
after_power_cut() {
  mount -o "loop,data=$2" "$1" "$mnt"
  after_stop "$3" "$mnt/game" "$mnt/state/kovconfig"
  umount "$mnt"
}

# scenario NAME OLD NEW KIND MODE
scenario() {
  local name=$1 kind=$4 mode=$5 n=1 pid state points=0
  old=$2 new=$3
  while :; do
    cp "$work/blank.img" "$work/disk.img"
    mount -o "loop,data=$mode" "$work/disk.img" "$mnt"
    mkdir "$mnt/game" "$mnt/state"
    cp "$work/$old" "$mnt/game/kov.ini"
    [ "$kind" = linked ] && ln "$mnt/game/kov.ini" "$mnt/game/second"
    sync -f "$mnt"
    (cd "$mnt/game" && exec env KOV_STOP_AT=$n KOV_SIGNAL=19 LD_PRELOAD="$shim" XDG_STATE_HOME="$mnt/state" \
       "$driver" save "$work/$new" >/dev/null) &
    pid=$!
    state=running
    for _ in $(seq 200); do
      if ! kill -0 "$pid" 2>/dev/null; then state=ended; break; fi
      [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" = T ] && { state=stopped; break; }
      sleep 0.01
    done
    if [ "$state" = ended ]; then
      wait "$pid" || fail "$name ($mode): the whole save failed"
      umount "$mnt"
      break
    fi
    [ "$state" = stopped ] || { fail "$name ($mode): the save neither stopped nor ended at call $n"; kill -9 "$pid"; umount "$mnt"; break; }
    points=$((points + 1))
    cp "$work/disk.img" "$work/cut.img"      # the power fails now
    sync -f "$mnt"
    cp "$work/disk.img" "$work/flushed.img"  # the power fails after everything was written back
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    umount "$mnt"
    after_power_cut "$work/cut.img" "$mode" "$name ($mode), power cut before call $n"
    after_power_cut "$work/flushed.img" "$mode" "$name ($mode), power cut after a writeback, before call $n"
    n=$((n + 1))
  done
  echo "ok: $name ($mode data): the power cut before each of $points calls, with and without a writeback"
}

for mode in ordered writeback; do
  scenario "replaced" small large plain "$mode"
  scenario "in place, shrinking" large small linked "$mode"
  scenario "in place, growing" small large linked "$mode"
done

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
