#!/usr/bin/env bash
# Reading the configuration groups of one simulated print server: `trellanctl read` for every
# group (requests counted in the simulator's log, wall time), next to net-snmp's `snmpget`
# fetching the same OIDs in the same batches, replayed from that log in the same run.
#
# Usage: bench/groups.sh [BUILD_DIR]   (default build/bench; run from the source root)
# Everything stays on loopback (127.0.1.1). Not run in CI.
set -u

BUILD=${1:-build/bench}
BENCH_NAME=groups
. "$(dirname "$0")/bench_common.sh"
for tool in snmpget snmpgetnext jq; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done

export SNMPCONFPATH=$TMP/none MIBS=   # net-snmp: no local configuration, no MIB loading

BASE=$((36000 + (RANDOM % 2000) * 4))
SNMP_PORT=$BASE
export TRELLAN_SNMP_PORT=$SNMP_PORT
UNIT=127.0.1.1
LOG=$TMP/sim.jsonl
COMMUNITY=vorlak

# One unit with every catalogue area (the values file the group tests use), two ports.
SRC=$(cd "$(dirname "$0")/.." && pwd)
cp "$SRC/sim/data/catalogue-values.json" "$TMP/" || exit 2
jq '.generate = {"count": 1, "first": "'"$UNIT"'"}' "$SRC/sim/data/catalogue-fleet.json" >"$TMP/fleet.json" || exit 2

launch_sim 100 --data "$TMP/fleet.json" --snmp-port "$SNMP_PORT" --discovery-port $((BASE + 1)) \
  --second-family-port $((BASE + 2)) --ipx-discovery-port 0 --ipx-snmp-port 0 --log "$LOG"

# The configuration groups: those a configuration backup saves; row groups are read at row 1.
# A group that fails is listed with its error and still counted (its requests crossed the wire).
"$CTL" groups --json >"$TMP/groups.json" || { echo "trellanctl groups failed" >&2; exit 1; }
mapfile -t GROUP_LIST < <(jq -r '.[] | select(.backupSection != null) | "\(.name) \(.kind)"' "$TMP/groups.json")

now_ms() { echo $(($(date +%s%N) / 1000000)); }

printf '%-24s %5s %8s %6s\n' group rows requests ms >"$TMP/table.txt"
ctl_total=0
ctl_requests=0
ok_groups=0
absent=()
before_all=$(stat -c %s "$LOG")
for entry in "${GROUP_LIST[@]}"; do
  name=${entry% *}
  kind=${entry#* }
  row=()
  [[ $kind == row ]] && row=(1)
  before=$(stat -c %s "$LOG")
  t0=$(now_ms)
  timeout 60 "$CTL" read "$UNIT" "$name" "${row[@]}" --json >"$TMP/read.out" 2>&1
  rc=$?
  t1=$(now_ms)
  sleep 0.05
  n=$(tail -c +"$((before + 1))" "$LOG" | grep -F '"kind":"request"' | grep -c -v -F '"pdu":"set"')
  ms=$((t1 - t0))
  ctl_total=$((ctl_total + ms))
  ctl_requests=$((ctl_requests + n))
  if ((rc == 0)); then
    ok_groups=$((ok_groups + 1))
    printf '%-24s %5s %8d %6d\n' "$name" "${row[*]:--}" "$n" "$ms" >>"$TMP/table.txt"
  else
    absent+=("$name")
    printf '%-24s %5s %8d %6d  (failed: %s)\n' "$name" "${row[*]:--}" "$n" "$ms" \
      "$(tail -n 1 "$TMP/read.out" | cut -c1-60)" >>"$TMP/table.txt"
  fi
done

# The batches trellanctl sent, in order: one line "get|getnext OID OID ..." per request.
tail -c +"$((before_all + 1))" "$LOG" | jq -r 'select(.kind == "request" and (.pdu == "get" or .pdu == "getnext"))
  | "\(.pdu) \([.bindings[].oid] | join(" "))"' >"$TMP/batches.txt"
batches=$(grep -c . "$TMP/batches.txt")
bindings=$(awk '{ n += NF - 1 } END { print n + 0 }' "$TMP/batches.txt")

# Replay with net-snmp: one process and one request per batch, as above; same timeout policy
# (5 s, no retry) so that a lost datagram shows rather than hides; -Cf: an error reply is not
# "fixed" and sent again, so the replay sends exactly the batches above.
before=$(stat -c %s "$LOG")
t0=$(now_ms)
while read -r pdu oids; do
  tool=snmpget
  [[ $pdu == getnext ]] && tool=snmpgetnext
  # shellcheck disable=SC2086
  timeout 30 "$tool" -v1 -c "$COMMUNITY" -Cf -r 0 -t 5 -On "$UNIT:$SNMP_PORT" $oids >/dev/null 2>&1
done <"$TMP/batches.txt"
t1=$(now_ms)
sleep 0.05
net_ms=$((t1 - t0))
net_requests=$(tail -c +"$((before + 1))" "$LOG" | grep -F '"kind":"request"' | grep -c -v -F '"pdu":"set"')

# Process start alone, for scale: each request of the replay is a process, as each group of
# trellanctl is one.
t0=$(now_ms)
for _ in $(seq 10); do snmpget --version >/dev/null 2>&1; done
snmpget_start=$((($(now_ms) - t0) / 10))
t0=$(now_ms)
for _ in $(seq 10); do "$CTL" --version >/dev/null 2>&1; done
ctl_start=$((($(now_ms) - t0) / 10))

echo "Configuration groups of one trellan-sim unit ($UNIT:$SNMP_PORT), $(date -u '+%Y-%m-%d %H:%M UTC'), load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
cat "$TMP/table.txt"
echo
# wall minus starts: the wall time less one process start per process, i.e. the time spent
# in the requests themselves (and in the client's own work around them).
row() {  # label processes requests wall_ms start_ms
  awk -v l="$1" -v p="$2" -v r="$3" -v w="$4" -v s="$5" 'BEGIN {
    n = w - p * s; if (n < 0) n = 0
    printf "%-36s %9d %9d %8d %12d %10.1f\n", l, p, r, w, n, r ? n / r : 0 }'
}
printf '%-36s %9s %9s %8s %12s %10s\n' client processes requests wall_ms minus_starts ms/request
row "trellanctl read (${#GROUP_LIST[@]} groups)" "${#GROUP_LIST[@]}" "$ctl_requests" "$ctl_total" "$ctl_start"
row "snmpget/snmpgetnext, same batches" "$batches" "$net_requests" "$net_ms" "$snmpget_start"
echo
echo "$ok_groups groups read, ${#absent[@]} failed; $batches requests carrying $bindings bindings"
echo "process start alone: trellanctl --version ${ctl_start} ms, snmpget --version ${snmpget_start} ms"
exit 0
