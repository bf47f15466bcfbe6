#!/usr/bin/env bash
# Discovery speed against a simulated fleet: wall time and datagram count of a local broadcast
# search, a subnet scan and an address-file search, with 250 and with 1000 print servers, plus
# the resident memory of `trellanctl discover` holding 1000 units; then local broadcasts to the
# large fleets (5,000 units and the simulator's largest, 16,384), each repeated REPEAT times
# (default 3) with min / median / max. Every row prints its ratio to the floor (the searches' own
# waits) and the receive-buffer drops of the run (RcvbufErrors of /proc/net/snmp: the script's
# own only inside a private network namespace).
#
# Usage: bench/discovery.sh [BUILD_DIR]   (default build/bench; run from the source root)
#        unshare -n sh -c 'ip link set lo up && REPEAT=3 bench/discovery.sh build/bench'
# Everything stays on loopback: the simulated units live on 127.0.x.y and the broadcast goes to
# 127.255.255.255. Not run in CI: it takes several minutes, most of it in the searches' own waits.
# SKIP_SMALL=1 runs only the large broadcasts.
set -u

BUILD=${1:-build/bench}
REPEAT=${REPEAT:-3}
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
  launch_sim 600 --count "$1" --first 127.0.1.1 --snmp-port "$SNMP_PORT" --discovery-port "$DISC_PORT" \
    --second-family-port "$PROBE_PORT" --ipx-discovery-port 0 --ipx-snmp-port 0 --log "$LOG"
}

rcvbuf_errors() { awk '/^Udp:/ {n++; if (n == 1) for (i = 1; i <= NF; i++) col[$i] = i; else print $col["RcvbufErrors"]}' /proc/net/snmp; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# Log lines written since offset $1 (bytes) that carry both $2 and $3 (the log sorts its keys).
count_since() { tail -c +"$(($1 + 1))" "$LOG" | grep -F -- "$2" | grep -c -F -- "$3"; }

ROWS=()
MEM_LINE=
run_case() {  # label floor_ms entries...
  local label=$1 floor=$2
  shift 2
  local before out err t0 t1 ms found requests replies probes rss rc drops
  before=$(stat -c %s "$LOG")
  out=$TMP/out.csv
  err=$TMP/time.txt
  drops=$(rcvbuf_errors)
  t0=$(date +%s%N)
  timeout "$RUN_LIMIT_S" /usr/bin/time -v -o "$err" "$CTL" discover --csv --port "$DISC_PORT" "$@" >"$out" 2>"$TMP/ctl.err"
  rc=$?
  t1=$(date +%s%N)
  sleep 0.3  # let the simulator's last log lines land
  ms=$(((t1 - t0) / 1000000))
  drops=$(($(rcvbuf_errors) - drops))
  LAST_MS=$ms
  found=$(($(grep -c . "$out") - 1))
  ((found < 0)) && found=0
  requests=$(count_since "$before" '"event":"request"' '"transport":"udp"')
  replies=$(count_since "$before" '"event":"reply"' '"transport":"udp"')
  probes=$(count_since "$before" '"event":"request"' '"transport":"second_family"')
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$err")
  [[ $floor == broadcast ]] && floor=$(broadcast_floor "$requests")
  local over=$((ms - floor))
  ROWS+=("$(printf '%-34s %6d %9d %8d %8d %6s %6d %9d %9d %6d %8d' "$label" "$found" "$ms" "$floor" "$over" \
    "$(ratio "$ms" "$floor")" "$requests" "$replies" "$probes" "$drops" "$((rss / 1024))")")
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

# A local broadcast to a large fleet, REPEAT times; a summary row with min / median / max.
SUMMARY=()
bench_large_broadcast() {  # count
  local n=$1 r times=()
  start_sim "$n"
  for ((r = 1; r <= REPEAT; r++)); do
    run_case "$n units: local broadcast ($r)" broadcast --local
    times+=("$LAST_MS")
  done
  stop_sim
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  SUMMARY+=("$(echo "$sorted" | awk -v n="$n" -v floor="$(broadcast_floor 2)" '{
    k = NF; min = $1; max = $k; med = (k % 2) ? $((k + 1) / 2) : ($(k / 2) + $(k / 2 + 1)) / 2
    printf "%6d units, local broadcast x%d: min %d ms, median %d ms, max %d ms; floor %d ms; median / floor %.2f", n, k, min, med, max, floor, med / floor }')")
}

echo "trellanctl discover against trellan-sim (discovery port $DISC_PORT), $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
if [[ ${SKIP_SMALL:-0} != 1 ]]; then
  bench_fleet 250 1
  bench_fleet 1000 4
fi
bench_large_broadcast 5000
bench_large_broadcast 16384

printf '\n%-34s %6s %9s %8s %8s %6s %6s %9s %9s %6s %8s\n' case found wall_ms floor_ms over_ms ratio sent replies probes drops rss_MiB
printf '%s\n' "${ROWS[@]}"
echo
printf '%s\n' "${SUMMARY[@]}"
echo
echo "sent: discovery requests the simulator received (one per broadcast round or per scanned/asked address)"
echo "replies: discovery replies it sent; probes: second-family probes; floor: the searches' own waits"
echo "ratio: wall / floor; drops: receive-buffer drops during the search (all of the host's outside a namespace)"
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
[[ -n $MEM_LINE ]] && echo "$MEM_LINE"
exit 0
