#!/usr/bin/env bash
# The same commit, built twice from copies of its files in two folders of different depth, one
# build after the other, with SOURCE_DATE_EPOCH from its last commit, must give bit-identical
# stripped kovconfig, Debian package, and kovconfig.exe and its zip for 64-bit and 32-bit Windows. On a difference it says which file and
# where (with diffoscope when it is installed).
# Usage: reproducible.sh SOURCE_DIR. Skipped (77) outside a git checkout.
set -euo pipefail
source=$(realpath "$1")
if ! git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "skipped: $source is not a git checkout, so there is no last commit to date the build"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct)

# build FOLDER: the program, its package and the Windows programs with their zips, from a copy of
# the sources.
build() {
  local top=$1 windows
  mkdir -p "$top"
  (cd "$source" && git ls-files -z | xargs -0 cp --parents -t "$top")
  (cd "$top" && cmake --preset default >/dev/null && cmake --build --preset default >/dev/null &&
   (cd build/default && cpack -G DEB -B package >/dev/null)) || { echo "the build in $top failed"; return 1; }
  for windows in windows windows-x86; do
    (cd "$top" && cmake --preset $windows -DBUILD_TESTING=OFF >/dev/null &&
     cmake --build --preset $windows --target kovconfig >/dev/null &&
     (cd build/$windows && cpack -G ZIP -B package >/dev/null)) || { echo "the $windows build in $top failed"; return 1; }
  done
  strip -o "$top/kovconfig" "$top/build/default/app/kovconfig"
  cp "$top"/build/default/package/*.deb "$top/kovconfig.deb"
  x86_64-w64-mingw32-strip -o "$top/kovconfig.exe" "$top/build/windows/win32/kovconfig.exe"
  i686-w64-mingw32-strip -o "$top/kovconfig-x86.exe" "$top/build/windows-x86/win32/kovconfig.exe"
  cp "$top"/build/windows/package/*.zip "$top/kovconfig-windows-x64.zip"
  cp "$top"/build/windows-x86/package/*.zip "$top/kovconfig-windows-x86.zip"
}
build "$work/a"
sleep 2  # a build at another time: nothing of the clock may reach the bytes
build "$work/b/one/level/deeper"

failures=0
for made in kovconfig kovconfig.deb kovconfig.exe kovconfig-x86.exe kovconfig-windows-x64.zip kovconfig-windows-x86.zip; do
  first="$work/a/$made" second="$work/b/one/level/deeper/$made"
  if cmp -s "$first" "$second"; then
    echo "ok: $made is the same, byte for byte ($(wc -c < "$first") bytes)"
    continue
  fi
  failures=$((failures + 1))
  echo "FAILED: $made differs between the two builds:"
  if command -v diffoscope >/dev/null; then
    diffoscope --text - "$first" "$second" | head -n 60 || true
  else
    cmp -l "$first" "$second" | head -n 10 | sed 's/^/  byte, first, second: /'
    echo "  ($(cmp -l "$first" "$second" | wc -l) bytes differ; diffoscope, a Debian package, tells where)"
  fi
done
[ "$failures" -eq 0 ]
