#!/usr/bin/env bash
# Whole processes, as a player's run pays for them: each library as a program that starts,
# loads one generated file, saves it and exits, timed by hyperfine with every library of a row
# in one run, and its peak resident memory. Prints two tables.
# Usage: bench/process.sh BUILD_BENCH_FOLDER [--smoke]   (--smoke: the 12-value file, one run each)
set -euo pipefail
bin=$(realpath "$1")
smoke=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
peers=(ours inih simpleini boost qsettings)

if [ "$smoke" = --smoke ]; then
  rows=(sample)
  runs=(--runs 1)
else
  rows=(sample values_10000_in_1 values_10000_in_1000 nested_10000 values_100000_in_1 values_100000_in_10000
        nested_100000 values_1000000_in_100000 ordinary_names_80000 crafted_names_80000)
  runs=(--warmup 2 --runs 9)
fi
"$bin/make_bench_files" "$work" "${rows[@]}" > "$work/values"

input() {  # the file a library reads: kov.ini's format for ours, plain INI for the others
  [ "$1" = ours ] && echo "$work/$2.kov" || echo "$work/$2.ini"
}

peak() {  # median peak resident memory of three runs, in KiB
  for _ in 1 2 3; do
    /usr/bin/time -f '%M' -o "$work/peak" "$bin/load_save_$1" "$(input "$1" "$2")" "$work/out.$1" >/dev/null 2>&1
    tail -n 1 "$work/peak"
  done | sort -n | sed -n 2p
}

for row in "${rows[@]}"; do
  commands=()
  for peer in "${peers[@]}"; do commands+=("$bin/load_save_$peer $(input "$peer" "$row") $work/out.$peer"); done
  hyperfine -N "${runs[@]}" --export-json "$work/$row.json" "${commands[@]}" >/dev/null 2>&1
  for peer in "${peers[@]}"; do echo "$row $peer $(peak "$peer" "$row")"; done >> "$work/peaks"
  # Each program's output is read back by it: a load+save that loses data does not count.
  "$bin/load_save_ours" "$work/out.ours" "$work/again.ours" && cmp -s "$work/out.ours" "$work/again.ours" ||
    { echo "the store's output of $row does not read back to itself" >&2; exit 1; }
done

python3 - "$work" "${rows[@]}" <<'PY'
import json, os, sys
work, rows = sys.argv[1], sys.argv[2:]
peers = ["ours", "inih", "simpleini", "boost", "qsettings"]
names = {"ours": "ours", "inih": "inih", "simpleini": "SimpleIni", "boost": "boost", "qsettings": "QSettings"}
values = dict(line.split() for line in open(os.path.join(work, "values")))
peaks = {}
for line in open(os.path.join(work, "peaks")):
    row, peer, kib = line.split()
    peaks[(row, peer)] = int(kib)
def size(row):
    return os.path.getsize(os.path.join(work, row + ".kov"))
print("| file | values | " + " | ".join(names[p] + " (ms)" for p in peers) + " | ours / fastest peer |")
print("|---|---|" + "---|" * len(peers) + "---|")
times = {}
for row in rows:
    results = json.load(open(os.path.join(work, row + ".json")))["results"]
    median = {p: r["median"] * 1000 for p, r in zip(peers, results)}
    times[row] = median
    fastest = min(median[p] for p in peers if p != "ours")
    print(f"| {row} | {values[row]} | " + " | ".join(f"{median[p]:.1f}" for p in peers) +
          f" | {median['ours'] / fastest:.2f} |")
print()
print("| file | file size (KiB) | " + " | ".join(names[p] + " peak (MiB)" for p in peers) +
      " | ours / inih | ours / file size |")
print("|---|---|" + "---|" * len(peers) + "---|---|")
for row in rows:
    mib = {p: peaks[(row, p)] / 1024 for p in peers}
    print(f"| {row} | {size(row) / 1024:.0f} | " + " | ".join(f"{mib[p]:.1f}" for p in peers) +
          f" | {mib['ours'] / mib['inih']:.2f} | {peaks[(row, 'ours')] * 1024 / size(row):.1f} |")
if "values_1000000_in_100000" in rows and "values_100000_in_10000" in rows:
    big, small = "values_1000000_in_100000", "values_100000_in_10000"
    print()
    print(f"Growth of ours from 100,000 to 1,000,000 values (10 per section; linear is 10): "
          f"time {times[big]['ours'] / times[small]['ours']:.1f}, "
          f"peak memory {peaks[(big, 'ours')] / peaks[(small, 'ours')]:.1f}")
if "crafted_names_80000" in rows and "ordinary_names_80000" in rows:
    print(f"Names crafted to collide under the standard library's hash, against ordinary names of the same length "
          f"(80,000 values): ours {times['crafted_names_80000']['ours'] / times['ordinary_names_80000']['ours']:.2f} times the time")
PY
