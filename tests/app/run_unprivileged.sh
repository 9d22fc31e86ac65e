#!/bin/sh
# Runs a test as an unprivileged user when the suite runs as root, so that file permissions
# are enforced as they are for a player. Exit status 77 (skipped) when that user cannot reach
# the test program, as in a build below a private home folder.
if [ "$(id -u)" -eq 0 ]; then
  unprivileged="setpriv --reuid=65534 --regid=65534 --clear-groups"
  if ! $unprivileged test -x "$1"; then
    echo "skipped: user 65534 cannot run $1 (a folder above it is private)"
    exit 77
  fi
  exec $unprivileged env HOME=/tmp "$@"
fi
exec "$@"
