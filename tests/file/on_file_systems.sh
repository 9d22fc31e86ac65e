#!/usr/bin/env bash
# kov.ini on the file systems game folders live on, each in a small image of its own: NTFS
# (ntfs-3g) and exFAT (exfat-fuse) mounted through FUSE, FAT (the kernel's vfat) inside
# User-Mode Linux. On each: the OnFileSystem suite (Cancel, OK, the save stopped before each of
# its calls and the next start, Windows' attributes, a full disk) and the contract suite's case
# of an upper-case name, run inside the mount; a torn
# save's journal applied after the disk comes back under another device; a read-only mount. On
# FAT also a power cut right after OK: the disk as it is then must hold the new file.
# Usage: on_file_systems.sh CONFIG_FILE_TESTS SAVE_DRIVER. Skipped (77) where none can be mounted.
set -uo pipefail
tests=$(realpath "$1")
driver=$(realpath "$2")
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: mounting file systems needs root"
  exit 77
fi
work=$(mktemp -d)
mnt="$work/mnt"
loops=()
cleanup() {
  mountpoint -q "$mnt" && umount "$mnt"
  for loop in "${loops[@]}"; do losetup -d "$loop" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$mnt" "$work/state"
printf '[]\n\n[/CONFIG_CATEGORY_USER]\n"mine"=dword:00000002\n\n' > "$work/new"
failures=0
ran=()
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
upper_case='ConfigFileContract.AnUpperCaseNameIsTheGamesFileUnderItsOwnName'

# suite KIND FILTER [VARIABLE=VALUE...]: the tests of FILTER inside the mount.
suite() {
  local kind=$1 filter=$2
  shift 2
  env "$@" KOV_FS="$kind" KOV_FS_DIR="$mnt" XDG_STATE_HOME="$work/state" "$tests" --gtest_filter="$filter" \
    --gtest_brief=1 || fail "$kind: $filter"
}

# on_fuse KIND MAKE MOUNT...: MAKE builds the image; MOUNT mounts an image or a device on $mnt.
on_fuse() {
  local kind=$1 make=$2 mount=$3 loop
  if [ ! -e /dev/fuse ] || ! command -v "${make%% *}" >/dev/null || ! command -v "${mount%% *}" >/dev/null; then
    echo "skipped: $kind (needs /dev/fuse, ${make%% *} and ${mount%% *})"
    return
  fi
  truncate -s 16M "$work/$kind.img"
  $make "$work/$kind.img" >/dev/null 2>&1 || { fail "$kind: the image could not be made"; return; }
  loop=$(losetup -f --show "$work/$kind.img") || { echo "skipped: $kind (no loop device)"; return; }
  loops+=("$loop")
  $mount "$loop" "$mnt" || { fail "$kind: could not be mounted"; return; }
  ran+=("$kind")
  suite "$kind" "OnFileSystem.*:$upper_case" TMPDIR="$mnt"
  suite "$kind" 'OnFileSystemRemounted.*' KOV_FS_PHASE=before
  mkdir -p "$mnt/ro" && printf '[]\n' > "$mnt/ro/kov.ini"
  umount "$mnt" && losetup -d "$loop"
  # The same disk under another device.
  loop=$(losetup -f --show "$work/$kind.img") && loops+=("$loop") && $mount "$loop" "$mnt" ||
    { fail "$kind: could not be mounted again"; return; }
  suite "$kind" 'OnFileSystemRemounted.*' KOV_FS_PHASE=after
  umount "$mnt"
  $mount -o ro "$loop" "$mnt" || { fail "$kind: could not be mounted read-only"; return; }
  suite "$kind" 'ConfigFileOnReadOnlyFileSystem.*' KOV_READ_ONLY_FS="$mnt/ro"
  umount "$mnt"
}

on_fuse ntfs "mkntfs -q -F -Q" "ntfs-3g"
on_fuse exfat "mkfs.exfat" "mount.exfat-fuse"

# FAT: the kernel's own driver, which this machine's kernel may not have, inside User-Mode Linux.
uml_modules=$(ls -d /usr/lib/uml/modules/*/kernel/fs 2>/dev/null | head -n 1)
if command -v linux.uml >/dev/null && command -v mkfs.vfat >/dev/null && command -v insmod >/dev/null &&
   command -v fsck.vfat >/dev/null && command -v mtype >/dev/null && [ -n "$uml_modules" ]; then
  truncate -s 64M "$work/fat.img"
  mkfs.vfat -F 32 "$work/fat.img" >/dev/null
  cat > "$work/guest" <<GUEST
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
mount -t proc proc /proc
for module in fat/fat nls/nls_cp437 nls/nls_iso8859-1 fat/vfat; do insmod "$uml_modules/\$module.ko"; done
failed=0
run() { "\$@" || { echo "FAILED in the guest: \$*"; failed=1; }; }
fat() {
  filter=\$1
  shift
  env "\$@" KOV_FS=fat KOV_FS_DIR="$mnt" XDG_STATE_HOME="$work/state" "$tests" --gtest_brief=1 --gtest_filter="\$filter"
}
if mount -t vfat /dev/ubda "$mnt"; then
  run fat "OnFileSystem.*:$upper_case" TMPDIR="$mnt"
  run fat 'OnFileSystemRemounted.*' KOV_FS_PHASE=before
  mkdir -p "$mnt/ro" "$mnt/cut" && printf '[]\n' > "$mnt/ro/kov.ini" && printf '[]\n' > "$mnt/cut/KOV.INI" && sync
  # The power fails right after OK: what the disk holds then, copied from the host's side.
  (cd "$mnt/cut" && "$driver" save "$work/new" >/dev/null) && cp "$work/fat.img" "$work/cut.img" || failed=1
  umount "$mnt"
  mount -t vfat /dev/ubdb "$mnt" && run fat 'OnFileSystemRemounted.*' KOV_FS_PHASE=after
  mount -o remount,ro "$mnt" && run fat 'ConfigFileOnReadOnlyFileSystem.*' KOV_READ_ONLY_FS="$mnt/ro"
  umount "$mnt"
  echo \$failed > "$work/fat.status"
fi
poweroff -f
GUEST
  chmod 755 "$work/guest"
  timeout 600 linux.uml mem=256M root=/dev/root rootfstype=hostfs rootflags=/ rw "ubd0c=$work/fat.img" \
    "ubd1c=$work/fat.img" "init=$work/guest" quiet con=null con0=fd:0,fd:1 </dev/null 2>&1 |
    grep -vE '^(Powering off|reboot:|Not locking|Core dump limits|Checking|Running main|mconsole|printk|epollctl)'
  if [ ! -f "$work/fat.status" ]; then
    fail "fat: User-Mode Linux did not mount the image or did not finish"
  else
    ran+=(fat)
    [ "$(cat "$work/fat.status")" = 0 ] || fail "fat: the suite failed inside User-Mode Linux"
    if [ ! -f "$work/cut.img" ]; then
      fail "fat: the save before the power cut failed"
    else
      fsck.vfat -a "$work/cut.img" >/dev/null 2>&1
      MTOOLS_SKIP_CHECK=1 mtype -i "$work/cut.img" ::cut/KOV.INI > "$work/after-cut" 2>/dev/null
      cmp -s "$work/after-cut" "$work/new" ||
        fail "fat: a power cut right after OK left kov.ini holding $(wc -c < "$work/after-cut") bytes, not the new settings"
    fi
  fi
else
  echo "skipped: fat (needs linux.uml from user-mode-linux, insmod, mkfs.vfat, fsck.vfat and mtools)"
fi

if [ ${#ran[@]} -eq 0 ]; then
  echo "skipped: no file system could be mounted"
  exit 77
fi
echo "tested on: ${ran[*]}"
[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
