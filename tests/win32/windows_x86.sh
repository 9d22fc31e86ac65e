#!/usr/bin/env bash
# The program for 32-bit Windows, built and checked without running it (32-bit Wine does not run
# on every machine that builds it): it builds with Windows XP's headers, with its tests; it
# imports nothing that Windows XP SP3 lacks; its PE header lets XP load it; its manifest names
# its processor; its download is its own zip, checked as the 64-bit one is (download.sh).
# Usage: windows_x86.sh SOURCE_DIR
set -euo pipefail
source=$(realpath "$1")
cd "$source"
build=build/windows-x86
cmake --preset windows-x86 >/dev/null && cmake --build --preset windows-x86 >/dev/null ||
  { echo "FAILED: the 32-bit build"; exit 1; }
exe="$build/win32/kovconfig.exe"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

imports=$(i686-w64-mingw32-objdump -p "$exe" |
  awk '/DLL Name:/ { library = tolower($3); next } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print library, $3 }' | sort -u)
allowed=$(grep -v '^#' win32/windows-xp-sp3-imports.txt | sort -u)
newer=$(comm -23 <(echo "$imports") <(echo "$allowed"))
[ -n "$imports" ] || fail "no imports read from $exe"
[ -z "$newer" ] || fail "imports that Windows XP SP3 may lack (look them up at run time):"$'\n'"$newer"

read -r major minor < <(i686-w64-mingw32-objdump -p "$exe" |
  awk '/MajorSubsystemVersion/ { major = $2 } /MinorSubsystemVersion/ { minor = $2 } END { print major, minor }')
[ "$major" -lt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -le 1 ]; } ||
  fail "the subsystem version is $major.$minor; Windows XP loads 5.1 at most"

grep -aq 'processorArchitecture="x86"' "$exe" || fail "the manifest in $exe does not name the x86 processor"
grep -aq 'processorArchitecture="amd64"' "$exe" && fail "the manifest in $exe names amd64"

# The zip as a player gets it, made and unpacked as the 64-bit one is, and its README's Windows.
download="$build/download"
said=$("$(dirname "$(realpath "$0")")/download.sh" "$build" "$download" 2>&1) || fail "the 32-bit download: $said"
zip=$(ls "$download"/package/*.zip 2>/dev/null)
[[ "$zip" == */kovconfig-*-windows-x86.zip ]] || fail "the 32-bit download is named $zip"

if [ "$failures" -eq 0 ]; then
  echo "ok: $exe imports $(echo "$imports" | wc -l) functions, all in Windows XP SP3; subsystem $major.$minor; an x86 manifest; $(basename "$zip")"
  exit 0
fi
echo "$failures failures"
exit 1
