#!/usr/bin/env bash
# trellanctl's NetWare commands: without the client every command says NetWare is not available;
# with the stand-in client, status lists the file servers, setup writes the bindery setup and
# show reads the same model back in a second run, and discover --protocol netware finds the
# simulated print server through the bindery without a SAP query.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
standin="$dir/../netware-standin"
[ -f "$standin/libcalwin32.so" ] || { echo "FAIL: the stand-in NetWare client is not built"; exit 1; }
export XDG_STATE_HOME="$work/state"
ctl="$dir/trellanctl"

for cmd in "netware status" "discover --protocol netware" "netware show 127.0.0.1 --print-server PS --server FS1"; do
  out=$($ctl $cmd 2>&1); rc=$?
  check "without the client: $cmd exits 1" "1" "$rc"
  check "without the client: $cmd says so" "not available" "$out"
done

octet=$(( ($$ % 200) + 20 ))
node=$(printf '00007F00%02X01' "$octet")
cat >"$work/seed.json" <<JSON
{"servers": [
  {"name": "FS1", "user": "ADMIN", "objects": [
    {"name": "Q1", "type": 3}, {"name": "KDV000001", "type": 867, "net_address": "00000000-$node"}]},
  {"name": "FS2", "objects": [{"name": "Q3", "type": 3}]}]}
JSON
export LD_LIBRARY_PATH="$standin" TRELLAN_NETWARE_STANDIN="$work/seed.json" TRELLAN_NETWARE_VOLUMES="$work/volumes"

out=$($ctl --json netware status); rc=$?
check "status exits 0" "0" "$rc"
check "status lists both file servers" '"fileServers":["FS1","FS2"]' "$(echo "$out" | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin), separators=(",",":")))')"

out=$($ctl netware setup 127.0.0.1 --print-server PS_LOBBY --server FS1 --queue Q1:1 --queue FS2/Q3:2 2>&1); rc=$?
check "setup exits 0" "0" "$rc"
check "setup reports the queues" "Port 2: Q3" "$out"
out=$($ctl netware setup 127.0.0.1 --print-server "PS LOBBY" --server FS1 --queue Q1:1 2>&1); rc=$?
check "a name with a space is a usage error" "2" "$rc"
out=$($ctl --json netware show 127.0.0.1 --print-server PS_LOBBY --server FS1); rc=$?
check "show exits 0" "0" "$rc"
check "show reads the model back" '[{"attached":true,"name":"FS1","queues":[{"port":1,"queue":"Q1"}]},{"attached":true,"name":"FS2","queues":[{"port":2,"queue":"Q3"}]}]' \
  "$(echo "$out" | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin)["fileServers"], separators=(",",":"), sort_keys=True))')"
check "ROUTING holds two records" "196" "$(find "$work/volumes/FS1/SYS/SYSTEM" -name ROUTING -printf '%s')"

"$dir/trellan-sim" --count 1 --first "127.0.$octet.1" --snmp-port 0 --discovery-port 0 --ipx-snmp-port 0 \
  --second-family-port 0 --ready-file "$work/ready.json" --log "$work/log.jsonl" --exit-with-parent 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
out=$($ctl --json discover --protocol netware --timeout 1000 2>/dev/null); rc=$?
check "discover exits 0" "0" "$rc"
check "discover finds the print server" '"nwName": "KDV' "$out"
check "discover sends no SAP query" '"sapQueries": 0' "$out"

echo "passed $passed, failed $failed"
[ "$failed" -eq 0 ]
