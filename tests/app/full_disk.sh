#!/bin/sh
# Runs the save test for a full disk in a tiny file system, mounted in a user and mount
# namespace of its own, so that it needs no root. Exit status 77 (skipped) where
# namespaces are not allowed.
test_program=$1
if ! unshare -rm true 2>/dev/null; then
  echo "skipped: this machine does not allow user namespaces (unshare -rm)"
  exit 77
fi
exec unshare -rm sh -c '
  disk=$(mktemp -d) && mount -t tmpfs -o size=8k tmpfs "$disk" || exit 1
  KOV_SMALL_DISK="$disk" exec "$0" fullFileSystemLeavesTheOldFile
' "$test_program"
