#!/usr/bin/env bash
# Time from start to the first paint, and peak memory, of the settings dialog against a
# hand-built dialog with the same 25 widgets, offscreen and in Xvfb, measured in the same run.
# Usage: bench/startup.sh BUILD_BENCH_FOLDER
set -euo pipefail
bin=$(realpath "$1")
if [ -z "${KOV_IN_X:-}" ]; then
  KOV_IN_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # no kov.ini: the defaults, as at a first start

peak() {  # the largest peak resident size over five runs, in KiB
  local most=0
  for _ in 1 2 3 4 5; do
    local kib
    /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1
    kib=$(tail -n 1 "$work/peak")
    [ "$kib" -gt "$most" ] && most=$kib
  done
  echo "$most"
}

echo "| platform | program | first paint (ms, mean ± σ) | peak memory (KiB) |"
echo "|---|---|---|---|"
for platform in offscreen xcb; do
  hyperfine -N --warmup 5 --runs 40 --export-json "$work/$platform.json" \
    "env QT_QPA_PLATFORM=$platform $bin/first_paint_baseline" "env QT_QPA_PLATFORM=$platform $bin/first_paint_ours" >/dev/null
  for program in baseline ours; do
    python3 - "$work/$platform.json" "$program" "$platform" "$(peak env QT_QPA_PLATFORM=$platform "$bin/first_paint_$program")" <<'PY'
import json, sys
path, program, platform, peak = sys.argv[1:]
for result in json.load(open(path))["results"]:
    if result["command"].endswith("first_paint_" + program):
        print(f"| {platform} | {program} | {result['mean'] * 1000:.1f} ± {result['stddev'] * 1000:.1f} | {peak} |")
PY
  done
done
