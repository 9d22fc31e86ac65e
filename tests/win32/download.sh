#!/usr/bin/env bash
# The Windows download as a player gets it: makes the zip with cpack in the build folder, checks
# that it holds exactly the program, README.txt and LICENSE.txt (the texts with CR LF line ends),
# and unpacks it into OUT for the end-to-end tests to run the program from it.
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
echo "ok: $(basename "$zip") holds $listed"
