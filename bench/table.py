"""Prints the load/save benchmark results as one table, with ours against the fastest peer."""
import json
import sys
from collections import OrderedDict

PEERS = ["inih", "SimpleIni", "QSettings", "boost"]

results = json.load(open(sys.argv[1]))
times = OrderedDict()
for bench in results["benchmarks"]:
    if bench.get("run_type") == "aggregate":
        continue
    file, library, work = bench["name"].split("/")[:3]
    unit = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[bench["time_unit"]]
    times.setdefault((file, work), {})[library] = bench["real_time"] * unit

columns = ["floor", "ours"] + PEERS
print("| file | work | " + " | ".join(f"{c} (µs)" for c in columns) + " | ours / fastest peer | ours / floor |")
print("|" + "---|" * (len(columns) + 4))
for (file, work), row in times.items():
    fastest = min(row[p] for p in PEERS if p in row)
    cells = [f"{row[c]:.1f}" if c in row else "-" for c in columns]
    print(f"| {file} | {work} | " + " | ".join(cells) + f" | {row['ours'] / fastest:.2f} | {row['ours'] / row['floor']:.1f} |")

def growth(small, large, work):
    return times[(large, work)]["ours"] / times[(small, work)]["ours"]

print()
print("Growth of ours from 10,000 to 100,000 values (linear is 10):")
for small, large in [("values_10000_in_1000", "values_100000_in_10000"), ("values_10000_in_1", "values_100000_in_1"),
                     ("nested_1000", "nested_10000")]:
    if (small, "load") in times and (large, "load") in times:
        print(f"- {large} / {small}: " + ", ".join(f"{w} {growth(small, large, w):.1f}" for w in ["load", "save", "load+save"]))
