#!/usr/bin/env bash
# What a distribution checks: the desktop entry, the AppStream metainfo, and the Debian
# package (which lintian must accept; the one error allowed is the copyright file that the
# project cannot write before it has a licence).
# Usage: packaging.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0
check() {
  local name=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok: $name"; passed=$((passed + 1))
  else
    echo "FAILED: $name"; cat "$work/out"; failures=$((failures + 1))
  fi
}
quiet() { local out; out=$("$@" 2>&1); local status=$?; [ -z "$out" ] || { echo "$out"; return 1; }; return $status; }

sed 's|@KOV_GAME_DIR@|/opt/kov|' "$source/app/resources/kovconfig.desktop.in" > "$work/io.github.kovgame.kovconfig.desktop"
check "desktop entry, without hints" quiet desktop-file-validate "$work/io.github.kovgame.kovconfig.desktop"
check "AppStream metainfo" appstreamcli validate --no-net "$build/app/io.github.kovgame.kovconfig.metainfo.xml"

if cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
  deb=$(ls "$work"/package/*.deb)
  check "lintian" lintian --fail-on error,warning --suppress-tags no-copyright-file "$deb"
  check "the binary is stripped" sh -c "dpkg-deb --fsys-tarfile '$deb' | tar -xO ./usr/bin/kovconfig > '$work/kovconfig' &&
    file '$work/kovconfig' | grep -q ', stripped'"
  check "the dependencies are computed" sh -c "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"
else
  echo "FAILED: cpack"; cat "$work/cpack.log"; failures=$((failures + 1))
fi
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
