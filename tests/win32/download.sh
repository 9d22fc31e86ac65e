#!/usr/bin/env bash
# The Windows download as a player gets it: makes the zip with cpack in the build folder, checks
# that it holds exactly the program, README.txt and LICENSE.txt (the texts with CR LF line ends),
# that the program holds no name of the tests' variables and asks to run as the invoking user,
# and that README.txt names the Windows this program is for; and unpacks it into OUT for the
# end-to-end tests to run the program from it.
# Usage: download.sh BUILD_DIR OUT
set -euo pipefail
build=$(realpath "$1")
out=$2
rm -rf "$out"
mkdir -p "$out"
out=$(realpath "$out")
(cd "$build" && cpack -G ZIP -B "$out/package" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
zip=$(ls "$out"/package/kovconfig-*-windows-*.zip)
listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listed" = "LICENSE.txt README.txt kovconfig.exe " ] || { echo "the zip holds: $listed"; exit 1; }
unzip -q "$zip" -d "$out/unpacked"
for text in README.txt LICENSE.txt; do
  # Every line ends in CR LF.
  if tr -d '\r' < "$out/unpacked/$text" | cmp -s - "$out/unpacked/$text" ||
     [ "$(grep -c $'\r$' "$out/unpacked/$text")" -ne "$(wc -l < "$out/unpacked/$text")" ]; then
    echo "$text does not have CR LF line ends"; exit 1
  fi
done
grep -q "MIT License" "$out/unpacked/LICENSE.txt"
exe="$out/unpacked/kovconfig.exe"
# A variable of the tests (KOV_...), in the program's narrow or wide strings, would be a switch
# that the player's program reads.
if LC_ALL=C grep -aqP 'KOV_|K\x00O\x00V\x00_\x00' "$exe"; then
  echo "kovconfig.exe holds the name of a variable of the tests:"
  LC_ALL=C grep -aoP '(KOV_|K\x00O\x00V\x00_\x00)[A-Z_\x00]*' "$exe" | tr -d '\0' | sort -u; exit 1
fi
grep -aq 'requestedExecutionLevel level="asInvoker" uiAccess="false"' "$exe" ||
  { echo "the manifest of kovconfig.exe does not ask to run as the invoking user"; exit 1; }
readme=$(tr -d '\r' < "$out/unpacked/README.txt" | tr '\n' ' ')
case $zip in
  *-x86.zip) which="is for 32-bit Windows, and runs on 64-bit Windows too: on Windows XP SP3 and every later Windows" ;;
  *) which="is for 64-bit Windows, from Windows Vista on" ;;
esac
[[ "$readme" == *"$which"* ]] || { echo "README.txt does not say that this kovconfig.exe $which"; exit 1; }
echo "ok: $(basename "$zip") holds $listed"
