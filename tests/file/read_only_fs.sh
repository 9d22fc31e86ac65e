#!/bin/sh
# Runs the save test for a read-only file system in a small one of its own, mounted in a user
# and mount namespace, so that it needs no root. Exit status 77 (skipped) where namespaces are
# not allowed.
test_program=$1
if ! unshare -rm true 2>/dev/null; then
  echo "skipped: this machine does not allow user namespaces (unshare -rm)"
  exit 77
fi
exec unshare -rm sh -c '
  disk=$(mktemp -d) && mount -t tmpfs -o size=64k tmpfs "$disk" || exit 1
  printf "[/CONFIG_CATEGORY_USER]\n" > "$disk/kov.ini" && mount -o remount,ro "$disk" || exit 1
  KOV_READ_ONLY_FS="$disk" exec "$0" --gtest_filter=ConfigFileOnReadOnlyFileSystem.*
' "$test_program"
