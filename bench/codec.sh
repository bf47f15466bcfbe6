#!/usr/bin/env bash
# Runs bench_codec (ours and net-snmp's in one run, repetitions interleaved at random) and prints
# one markdown row per case: CPU time min and median of both, and the ratio net-snmp / ours per
# repetition (the i-th of ours against the i-th of net-snmp) as min / median / max, so a reader
# sees the spread of a shared machine and not only its best moment.
# Usage: bench/codec.sh BUILD_DIR [REPETITIONS] [FILTER]
set -euo pipefail
build=${1:?usage: bench/codec.sh BUILD_DIR [REPETITIONS] [FILTER]}
reps=${2:-5}
filter=${3:-.}
out=$(mktemp --suffix=.json)
trap 'rm -f "$out"' EXIT

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
"$build/bin/bench_codec" --benchmark_filter="$filter" --benchmark_min_time=0.2 \
  --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
  --benchmark_out="$out" --benchmark_out_format=json >/dev/null
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)" >&2

python3 - "$out" <<'EOF'
import collections, json, statistics, sys

data = json.load(open(sys.argv[1]))
runs = collections.defaultdict(list)
for b in data["benchmarks"]:
    if b.get("run_type") == "iteration":
        runs[b["run_name"]].append(b["cpu_time"])

print("| Case | bindings | ours min (ns) | ours median | net-snmp min (ns) | net-snmp median | ratio min | ratio median | ratio max |")
print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
order = {"encode": 0, "decode": 1}
def key(name):
    work, case, arg = name.split("/")
    return (order[work[:6]], case, int(arg.split(":")[1]))
for name in sorted((n for n in runs if "Ours" in n), key=key):
    peer = name.replace("Ours", "NetSnmp")
    if peer not in runs:
        continue
    ours, theirs = runs[name], runs[peer]
    ratios = sorted(p / o for o, p in zip(ours, theirs))
    work, case, arg = name.split("/")
    print(f"| {work[:6]} {case} | {arg.split(':')[1]} | {min(ours):.0f} | {statistics.median(ours):.0f} | "
          f"{min(theirs):.0f} | {statistics.median(theirs):.0f} | {ratios[0]:.2f} | "
          f"{statistics.median(ratios):.2f} | {ratios[-1]:.2f} |")
EOF
