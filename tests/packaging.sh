#!/usr/bin/env bash
# What a distribution checks: the desktop entry, the AppStream metainfo, the installed tree with
# and without the game's folder (and so with and without a launcher), and the Debian package,
# which lintian must accept without exception.
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

check "no address is made up when none is set" sh -c "! grep -q 'http' '$build/app/io.github.kovgame.kovconfig.metainfo.xml' &&
  grep -q 'CPACK_PACKAGE_CONTACT \"Maintainer not set <kovconfig@maintainer-not-set.invalid>\"' '$build/CPackConfig.cmake' &&
  ! grep -q 'CPACK_PACKAGE_HOMEPAGE_URL' '$build/CPackConfig.cmake'"
# The installed tree as this build installs it, without a launcher.
DESTDIR="$work/tree" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
check "the installed tree, without the game's folder" appstreamcli validate-tree --no-net "$work/tree"
check "no launcher without the game's folder" sh -c "[ ! -e '$work/tree/usr/share/applications' ] &&
  ! grep -q launchable '$work/tree/usr/share/metainfo/io.github.kovgame.kovconfig.metainfo.xml'"

# What a publisher sets reaches the metainfo and the package; with the game's folder, a launcher.
release=(-DKOV_HOMEPAGE_URL=https://kov.example.org/kovconfig -DKOV_SCREENSHOT_URL=https://kov.example.org/kovconfig.png
         "-DKOV_MAINTAINER=A Packager <packager@example.org>" -DKOV_GAME_DIR=/opt/kov)
if cmake -S "$source" -B "$work/release" "${release[@]}" >"$work/configure.log" 2>&1; then
  check "a release's metainfo" appstreamcli validate --no-net "$work/release/app/io.github.kovgame.kovconfig.metainfo.xml"
  check "a release's addresses" sh -c "grep -q '<url type=\"homepage\">https://kov.example.org/kovconfig</url>' '$work/release/app/io.github.kovgame.kovconfig.metainfo.xml' &&
    grep -q '<image>https://kov.example.org/kovconfig.png</image>' '$work/release/app/io.github.kovgame.kovconfig.metainfo.xml' &&
    grep -q 'A Packager <packager@example.org>' '$work/release/CPackConfig.cmake' &&
    grep -q '^Source: https://kov.example.org/kovconfig' '$work/release/copyright'"
  # The same tree with what the game's folder adds: the launcher, and the metainfo naming it.
  cp -a "$work/tree" "$work/launcher"
  mkdir -p "$work/launcher/usr/share/applications"
  cp "$work/release/app/io.github.kovgame.kovconfig.desktop" "$work/launcher/usr/share/applications/"
  cp "$work/release/app/io.github.kovgame.kovconfig.metainfo.xml" "$work/launcher/usr/share/metainfo/"
  check "the installed tree, with the game's folder" appstreamcli validate-tree --no-net "$work/launcher"
else
  echo "FAILED: configuring a release"; cat "$work/configure.log"; failures=$((failures + 1))
fi

if cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
  deb=$(ls "$work"/package/*.deb)
  check "lintian" lintian --fail-on error,warning "$deb"
  check "the licence is in the package" sh -c "dpkg-deb --fsys-tarfile '$deb' | tar -xO ./usr/share/doc/kovconfig/copyright |
    grep -q '^License: MIT'"
  check "the binary is stripped" sh -c "dpkg-deb --fsys-tarfile '$deb' | tar -xO ./usr/bin/kovconfig > '$work/kovconfig' &&
    file '$work/kovconfig' | grep -q ', stripped'"
  check "the dependencies are computed" sh -c "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"
else
  echo "FAILED: cpack"; cat "$work/cpack.log"; failures=$((failures + 1))
fi
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
