#!/usr/bin/env bash
# trellanctl's NetWare commands: without the client every command says NetWare is not available;
# with the stand-in client, status lists the file servers, show reads the simulated unit's
# NetWare settings, setup writes the bindery setup and sends only the settings that changed, show
# reads the same model back in a second run, and discover --protocol netware finds the
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

"$dir/trellan-sim" --count 1 --first "127.0.$octet.1" --set-mode immediate --snmp-port 0 --discovery-port 0 --ipx-snmp-port 0 \
  --second-family-port 0 --ready-file "$work/ready.json" --log "$work/log.jsonl" --exit-with-parent 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
export TRELLAN_SNMP_PORT=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["devices"][0]["port"])' "$work/ready.json")
addr="127.0.$octet.1"
# The SET requests of the log: one line per request, its bindings as OID=VALUE.
sets() { python3 - "$work/log.jsonl" <<'PY'
import json, sys
for line in open(sys.argv[1]):
    j = json.loads(line)
    if j.get("pdu") == "set":
        print(" ".join("%s=%s" % (b["oid"].split("1240.2.3.5")[-1], b.get("value")) for b in j["bindings"]))
PY
}
model() { python3 -c 'import json,sys; j=json.load(sys.stdin); print(json.dumps({k: j[k] for k in ("printServer","mode","defaultFileServer","printerNumbers","fileServers")}, separators=(",",":"), sort_keys=True))'; }

out=$($ctl --json netware show "$addr" --timeout 100 2>&1); rc=$?
check "show reads the unit's settings" "0" "$rc"
check "the unit's default file server and mode" '"defaultFileServer": "FS1"' "$out"
check "the unit's mode" '"mode": "pserver"' "$out"

out=$($ctl netware setup "$addr" --timeout 100 --print-server PS_LOBBY --queue Q1:1 --queue FS2/Q3:2 2>&1); rc=$?
check "setup exits 0" "0" "$rc"
check "setup reports the queues" "Port 2: Q3" "$out"
check "setup sends only the new print server name" ".6.3.2.4.4.0=PS_LOBBY" "$(sets)"
check "in one SET with one binding" "1" "$(sets | wc -l | tr -d ' ')"
out=$($ctl netware setup "$addr" --print-server "PS LOBBY" --queue Q1:1 2>&1); rc=$?
check "a name with a space is a usage error" "2" "$rc"
out=$($ctl --json netware show "$addr" --timeout 100); rc=$?
check "show exits 0" "0" "$rc"
first=$(echo "$out" | model)
check "show reads the name back from the unit" '"printServer":"PS_LOBBY"' "$first"
check "show reads the model back" '"fileServers":[{"attached":true,"name":"FS1","queues":[{"port":1,"queue":"Q1"}]},{"attached":true,"name":"FS2","queues":[{"port":2,"queue":"Q3"}]}]' "$first"
check "ROUTING holds two records" "196" "$(find "$work/volumes/FS1/SYS/SYSTEM" -name ROUTING -printf '%s')"
out=$($ctl --json netware setup "$addr" --timeout 100 --queue Q1:1 2>/dev/null); rc=$?
check "a setup that changes nothing exits 0" "0" "$rc"
check "and gives the same model" "$first" "$(echo "$out" | model)"
check "and sends no SET" "1" "$(sets | wc -l | tr -d ' ')"

out=$($ctl --json discover --protocol netware --timeout 1000 2>/dev/null); rc=$?
check "discover exits 0" "0" "$rc"
check "discover finds the print server" '"nwName": "KDV' "$out"
check "discover sends no SAP query" '"sapQueries": 0' "$out"

echo "passed $passed, failed $failed"
[ "$failed" -eq 0 ]
