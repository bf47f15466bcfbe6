#!/usr/bin/env bash
# Discovery speed against a simulated fleet: wall time and datagram count of a local broadcast
# search, a subnet scan and an address-file search, with 250 and with 1000 print servers, plus
# the resident memory of `trellanctl discover` holding 1000 units.
#
# Usage: bench/discovery.sh [BUILD_DIR]   (default build/bench; run from the source root)
# Everything stays on loopback: the simulated units live on 127.0.x.y and the broadcast goes to
# 127.255.255.255. Not run in CI: it takes a few minutes, most of it in the searches' own waits.
set -u

BUILD=${1:-build/bench}
BENCH_NAME=disc
. "$(dirname "$0")/bench_common.sh"
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (GNU time) for the memory figure" >&2; exit 2; }

# High ports of our own so that a second copy or a test run does not collide.
BASE=$((20000 + (RANDOM % 2000) * 8))
SNMP_PORT=$BASE
DISC_PORT=$((BASE + 1))
PROBE_PORT=$((BASE + 2))
export TRELLAN_SNMP_PORT=$SNMP_PORT TRELLAN_SECOND_FAMILY_PORT=$PROBE_PORT

# The searches' own waits, which set the floor:
BROADCAST_WAIT_MS=6000   # Broadcast time-out (default): every round ends on one full wait
PROBE_WAIT_MS=100        # the second-family probe's receive time-out after a broadcast search
SCAN_FINAL_MS=2000       # per /24: the wait after the last batch runs to its end; the 500 ms
                         # waits before each batch of five end at the first reply, so a fleet
                         # that answers skips them (a silent /24 takes 51 x 500 + 2000 ms)
QUERY_WAIT_MS=200        # per listed address: the query's stop check before it sends
RUN_LIMIT_S=600

LOG=$TMP/sim.jsonl
start_sim() {  # count
  stop_sim
  rm -f "$LOG"
  launch_sim 300 --count "$1" --first 127.0.1.1 --snmp-port "$SNMP_PORT" --discovery-port "$DISC_PORT" \
    --second-family-port "$PROBE_PORT" --ipx-discovery-port 0 --ipx-snmp-port 0 --log "$LOG"
}

# Log lines written since offset $1 (bytes) that carry both $2 and $3 (the log sorts its keys).
count_since() { tail -c +"$(($1 + 1))" "$LOG" | grep -F -- "$2" | grep -c -F -- "$3"; }

ROWS=()
MEM_LINE=
run_case() {  # label floor_ms entries...
  local label=$1 floor=$2
  shift 2
  local before out err t0 t1 ms found requests replies probes rss rc
  before=$(stat -c %s "$LOG")
  out=$TMP/out.csv
  err=$TMP/time.txt
  t0=$(date +%s%N)
  timeout "$RUN_LIMIT_S" /usr/bin/time -v -o "$err" "$CTL" discover --csv --port "$DISC_PORT" "$@" >"$out" 2>"$TMP/ctl.err"
  rc=$?
  t1=$(date +%s%N)
  sleep 0.3  # let the simulator's last log lines land
  ms=$(((t1 - t0) / 1000000))
  found=$(($(grep -c . "$out") - 1))
  ((found < 0)) && found=0
  requests=$(count_since "$before" '"event":"request"' '"transport":"udp"')
  replies=$(count_since "$before" '"event":"reply"' '"transport":"udp"')
  probes=$(count_since "$before" '"event":"request"' '"transport":"second_family"')
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$err")
  [[ $floor == broadcast ]] && floor=$(broadcast_floor "$requests")
  local over=$((ms - floor))
  ROWS+=("$(printf '%-34s %6d %9d %8d %8d %6d %9d %9d %8d' "$label" "$found" "$ms" "$floor" "$over" \
    "$requests" "$replies" "$probes" "$((rss / 1024))")")
  ((rc != 0)) && ROWS+=("    (exit status $rc: $(head -c 200 "$TMP/ctl.err" | tr '\n' ' '))")
  if [[ $label == *"1000"*broadcast* ]]; then MEM_LINE="max RSS of discover holding $found units: $((rss / 1024)) MiB (goal < 50 MiB)"; fi
}

# Rounds of a broadcast search: one request per round; each round ends on a full Broadcast wait.
broadcast_floor() { echo $((BROADCAST_WAIT_MS * $1 + PROBE_WAIT_MS)); }

bench_fleet() {  # count, number of /24s
  local n=$1 nets=$2
  start_sim "$n"
  # The address file: one unit address a line, in fleet order.
  grep -o '"address":"[0-9.]*"' "$TMP/ready.json" | cut -d'"' -f4 >"$TMP/addresses.txt"

  # A broadcast search's floor is one Broadcast wait per round, read back from the log.
  run_case "$n units: local broadcast" broadcast --local

  local entries=() k
  for ((k = 1; k <= nets; k++)); do entries+=("127.0.$k.*"); done
  run_case "$n units: scan of $nets /24" $((SCAN_FINAL_MS * nets)) "${entries[@]}"
  run_case "$n units: address file" $((QUERY_WAIT_MS * $(grep -c . "$TMP/addresses.txt"))) "File<$TMP/addresses.txt>"
  stop_sim
}

echo "trellanctl discover against trellan-sim (discovery port $DISC_PORT), $(date -u '+%Y-%m-%d %H:%M UTC'), load: $(cut -d' ' -f1-3 /proc/loadavg)"
bench_fleet 250 1
bench_fleet 1000 4

printf '\n%-34s %6s %9s %8s %8s %6s %9s %9s %8s\n' case found wall_ms floor_ms over_ms sent replies probes rss_MiB
printf '%s\n' "${ROWS[@]}"
echo
echo "sent: discovery requests the simulator received (one per broadcast round or per scanned/asked address)"
echo "replies: discovery replies it sent; probes: second-family probes; floor: the searches' own waits"
[[ -n $MEM_LINE ]] && echo "$MEM_LINE"
exit 0
