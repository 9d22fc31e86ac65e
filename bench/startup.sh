#!/usr/bin/env bash
# Start to first paint of the settings dialog against a hand-built dialog with the same 25
# widgets, offscreen and in Xvfb, measured in the same run: wall-clock time (hyperfine),
# instructions (callgrind, which the machine's load does not change), and peak memory. Then what
# each part of the dialog's start costs, in instructions.
# Usage: bench/startup.sh BUILD_BENCH_FOLDER
set -euo pipefail
bin=$(realpath "$1")
if [ -z "${KOV_IN_X:-}" ]; then
  # A session bus, as on a desktop: without one, the toolkit starts a bus of its own.
  KOV_IN_X=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
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
instructions() {  # PLATFORM PROGRAM: instructions of the whole run, its profile kept
  QT_QPA_PLATFORM=$1 valgrind --tool=callgrind --callgrind-out-file="$work/$1-$2.callgrind" "$bin/first_paint_$2" 2>&1 |
    awk '/Collected/ {print $4; exit}'
}

echo "| platform | program | first paint (ms, mean ± σ) | instructions (millions) | peak memory (KiB) |"
echo "|---|---|---|---|---|"
for platform in offscreen xcb; do
  hyperfine -N --warmup 5 --runs 40 --export-json "$work/$platform.json" \
    "env QT_QPA_PLATFORM=$platform $bin/first_paint_baseline" "env QT_QPA_PLATFORM=$platform $bin/first_paint_ours" >/dev/null
  for program in baseline ours; do
    echo "$(instructions $platform $program) $(peak env QT_QPA_PLATFORM=$platform "$bin/first_paint_$program")" > "$work/$platform-$program"
  done
  python3 - "$work" "$platform" <<'PY'
import json, sys
work, platform = sys.argv[1:]
figures = {}
for result in json.load(open(f"{work}/{platform}.json"))["results"]:
    program = result["command"].rsplit("first_paint_", 1)[1]
    count, peak = open(f"{work}/{platform}-{program}").read().split()
    figures[program] = (int(count), int(peak))
    print(f"| {platform} | {program} | {result['mean'] * 1000:.1f} ± {result['stddev'] * 1000:.1f} "
          f"| {int(count) / 1e6:.2f} | {peak} |")
(bc, bp), (oc, op) = figures["baseline"], figures["ours"]
print(f"| {platform} | ours / baseline | | {oc / bc:.4f} | {op / bp:.4f} |")
PY
done

echo
echo "What the dialog's start costs, by part (offscreen, instructions of each part with all it calls):"
echo
callgrind_annotate --inclusive=yes --threshold=100 "$work/offscreen-ours.callgrind" 2>/dev/null > "$work/parts"
python3 - "$work/parts" <<'PY'
import re, sys
costs = {}
for line in open(sys.argv[1]):
    match = re.match(r"\s*([\d,]+) \([^)]*\)\s+(.*)$", line)
    if match:
        name = match.group(2)
        costs[name] = max(costs.get(name, 0), int(match.group(1).replace(",", "")))
def cost(pattern):
    return max((value for name, value in costs.items() if re.search(pattern, name)), default=0)
total = cost(r"PROGRAM TOTALS")
parts = [
    ("loading and linking the libraries", cost(r"rtld\.c:_dl_start\b|dl_main")),
    ("the toolkit's start (QApplication)", cost(r"QApplication::QApplication\(")),
    ("the dialog's font (the first text measured loads the font database)", cost(r"kov::BaseUnitsOf")),
    ("the 25 widgets from the template, without the font", cost(r"kov::BuildDialog") - cost(r"kov::BaseUnitsOf")),
    ("reading kov.ini, the store and the settings (and the list items)", cost(r"kov::DialogController::Open\(\)")),
    ("the window menu and its keys", cost(r"QMenu::QMenu\(") + cost(r"QShortcut::QShortcut\(")),
    ("showing the window", cost(r"QDialog::setVisible")),
    ("the first paint", cost(r"QApplication::exec")),
]
print("| part | instructions (millions) | share |")
print("|---|---|---|")
for name, value in parts:
    print(f"| {name} | {value / 1e6:.2f} | {100 * value / total:.1f}% |")
print(f"| the whole run | {total / 1e6:.2f} | 100% |")
PY
