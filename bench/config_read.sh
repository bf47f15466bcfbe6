#!/usr/bin/env bash
# Reading a whole configuration (every page of the sheet) of one simulated print server with
# `trellanctl config`, next to the round-trip floor: the same request datagrams, captured from
# the simulator's log and encoded beforehand, sent one after another on one socket, each waiting
# for its answer, with no program logic between them.
#
# Usage: bench/config_read.sh [BUILD_DIR] [RUNS]   (default build/bench, 7 runs; from the source root)
# Everything stays on loopback (127.0.5.17). Not run in CI.
set -u

BUILD=${1:-build/bench}
RUNS=${2:-7}
BENCH_NAME=config
. "$(dirname "$0")/bench_common.sh"
for tool in jq python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done

BASE=$((38000 + (RANDOM % 2000) * 4))
SNMP_PORT=$BASE
export TRELLAN_SNMP_PORT=$SNMP_PORT
UNIT=127.0.5.17   # TCP/IP level 8: the most variables the TCP/IP pages read
LOG=$TMP/sim.jsonl
SRC=$(cd "$(dirname "$0")/.." && pwd)

launch_sim 100 --data "$SRC/sim/data/config-fleet.json" --snmp-port "$SNMP_PORT" --discovery-port $((BASE + 1)) \
  --second-family-port $((BASE + 2)) --ipx-discovery-port 0 --ipx-snmp-port 0 --log "$LOG"

now_us() { echo $(($(date +%s%N) / 1000)); }

# One read to capture the exchanges the sheet makes.
before=$(stat -c %s "$LOG")
"$CTL" config "$UNIT" --json >"$TMP/config.json" 2>"$TMP/config.err" ||
  { echo "trellanctl config failed:" >&2; cat "$TMP/config.err" >&2; exit 1; }
sleep 0.05
tail -c +"$((before + 1))" "$LOG" | jq -c 'select(.kind == "request" and (.pdu == "get" or .pdu == "getnext"))
  | {pdu, community: (.community // "public"), oids: [.bindings[].oid]}' >"$TMP/batches.jsonl"
batches=$(grep -c . "$TMP/batches.jsonl")
((batches > 0)) || { echo "no requests in the simulator's log" >&2; exit 1; }

# The same datagrams, encoded by the codec outside the timing.
while read -r line; do
  pdu=$(jq -r .pdu <<<"$line")
  community=$(jq -r .community <<<"$line")
  mapfile -t oids < <(jq -r '.oids[]' <<<"$line")
  "$CTL" encode --type "$pdu" --community "$community" "${oids[@]}" >>"$TMP/datagrams.hex" || exit 1
done <"$TMP/batches.jsonl"

ctl_runs=()
for _ in $(seq "$RUNS"); do
  t0=$(now_us)
  "$CTL" config "$UNIT" --json >/dev/null 2>&1 || { echo "trellanctl config failed" >&2; exit 1; }
  ctl_runs+=($(($(now_us) - t0)))
done
start_runs=()
for _ in $(seq "$RUNS"); do
  t0=$(now_us)
  "$CTL" --version >/dev/null 2>&1
  start_runs+=($(($(now_us) - t0)))
done

floor_runs=$(python3 - "$TMP/datagrams.hex" "$UNIT" "$SNMP_PORT" "$RUNS" <<'EOF'
import socket, sys, time
path, host, port, runs = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
datagrams = [bytes.fromhex(l.replace(" ", "")) for l in open(path) if l.strip()]
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.settimeout(5)
out = []
for _ in range(runs):
    t0 = time.perf_counter()
    for d in datagrams:
        s.sendto(d, (host, port))
        s.recvfrom(2048)
    out.append(int((time.perf_counter() - t0) * 1e6))
print(" ".join(map(str, out)))
EOF
) || { echo "the floor replay failed" >&2; exit 1; }

stats() {  # min median max of the arguments, in ms with one decimal
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
    printf "%.1f %.1f %.1f", v[1] / 1000, v[int((NR + 1) / 2)] / 1000, v[NR] / 1000 }'
}
read -r cmin cmed cmax <<<"$(stats "${ctl_runs[@]}")"
read -r smin smed smax <<<"$(stats "${start_runs[@]}")"
# shellcheck disable=SC2086
read -r fmin fmed fmax <<<"$(stats $floor_runs)"

echo "Whole configuration of one trellan-sim unit ($UNIT, TCP/IP level 8), $batches exchanges, $RUNS runs"
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-40s %9s %9s %9s\n' "" "min ms" "median" "max"
printf '%-40s %9s %9s %9s\n' "trellanctl config (whole process)" "$cmin" "$cmed" "$cmax"
printf '%-40s %9s %9s %9s\n' "trellanctl --version (process start)" "$smin" "$smed" "$smax"
printf '%-40s %9s %9s %9s\n' "floor: same exchanges, one socket" "$fmin" "$fmed" "$fmax"
awk -v c="$cmed" -v s="$smed" -v f="$fmed" 'BEGIN {
  printf "\nconfig less process start: %.1f ms, %.2fx the floor\n", c - s, (c - s) / f }'
