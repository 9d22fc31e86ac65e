#!/usr/bin/env bash
# The same commit, built twice from copies of its files in two folders of different depth, one
# build after the other, with SOURCE_DATE_EPOCH from its last commit, must give bit-identical
# stripped kovconfig, Debian package and kovconfig.exe. On a difference it says which file and
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

# build FOLDER: the program, its package and the Windows program, from a copy of the sources.
build() {
  local top=$1
  mkdir -p "$top"
  (cd "$source" && git ls-files -z | xargs -0 cp --parents -t "$top")
  (cd "$top" && cmake --preset default >/dev/null && cmake --build --preset default >/dev/null &&
   (cd build/default && cpack -G DEB -B package >/dev/null) &&
   cmake --preset windows -DBUILD_TESTING=OFF >/dev/null && cmake --build --preset windows --target kovconfig >/dev/null) ||
    { echo "the build in $top failed"; return 1; }
  strip -o "$top/kovconfig" "$top/build/default/app/kovconfig"
  cp "$top"/build/default/package/*.deb "$top/kovconfig.deb"
  x86_64-w64-mingw32-strip -o "$top/kovconfig.exe" "$top/build/windows/win32/kovconfig.exe"
}
build "$work/a"
sleep 2  # a build at another time: nothing of the clock may reach the bytes
build "$work/b/one/level/deeper"

failures=0
for made in kovconfig kovconfig.deb kovconfig.exe; do
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
