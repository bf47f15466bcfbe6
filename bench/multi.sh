#!/usr/bin/env bash
# Multi-unit configuration and reset over 250 simulated print servers of which 10 never answer:
# wall time of `trellanctl multi-config` (two settings, then the reset pass) and of
# `trellanctl reset --multi`, with a few units in flight (the default) and one at a time (the
# order a unit-after-unit run would take).
#
# Usage: [IN_FLIGHT="4 6 1"] bench/multi.sh [BUILD_DIR] [TIMEOUT]   (default build/bench, --timeout 100 = 1 s per try;
# from the source root). Runs inside a private network namespace; everything stays on loopback.
# Not run in CI.
set -u

BUILD=${1:-build/bench}
TIMEOUT=${2:-100}
if [[ ${TRELLAN_BENCH_IN_NS:-} != 1 ]]; then
  exec env TRELLAN_BENCH_IN_NS=1 unshare -n sh -c 'ip link set lo up && exec bash "$0" "$@"' "$0" "$@"
fi
BENCH_NAME=multi
. "$(dirname "$0")/bench_common.sh"

PORT=16161
# Units 127.0.20.1 to .250; every 25th is silent.
python3 - "$TMP/fleet.json" <<'PY'
import json, sys
devices = [{"address": f"127.0.20.{i}", **({"faults": {"silent": True}} if i % 25 == 0 else {})} for i in range(1, 251)]
json.dump({"defaults": {"agent": {"reset_silence_ms": 300}}, "devices": devices}, open(sys.argv[1], "w"))
PY
launch_sim 100 --data "$TMP/fleet.json" --snmp-port $PORT --discovery-port 0 --ipx-discovery-port 0 --ipx-snmp-port 0 \
  --second-family-port 0
export TRELLAN_SNMP_PORT=$PORT
seq 1 250 | sed 's/^/127.0.20./' >"$TMP/units.txt"

run() {  # run LABEL COMMAND...: prints the wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >"$TMP/out.txt" 2>/dev/null
  end=$(date +%s.%N)
  printf "%-34s %6.1f s   (%s)\n" "$2 --in-flight ${*: -1}" "$(echo "$end - $start" | bc)" "$(grep -a -o 'Total:.*\|[0-9]* errors detected' "$TMP/out.txt" | head -1)"
}
common=(--community vorlak --timeout "$TIMEOUT" --addresses "$TMP/units.txt")
for n in ${IN_FLIGHT:-4 6 1}; do
  run "$CTL" multi-config "${common[@]}" --set system-contact=bench --set tcpip=on --results "$TMP/r.txt" --in-flight $n
  sleep 1
  run "$CTL" reset --multi "${common[@]}" --in-flight $n
  sleep 1
done
