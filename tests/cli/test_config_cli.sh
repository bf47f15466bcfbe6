#!/usr/bin/env bash
# trellanctl config against trellan-sim: the pages as text and JSON, a refused value (exit 2,
# nothing sent), --dry-run (nothing sent), --no-reset, and a real change whose result net-snmp's
# snmpget reads back after the reset.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
need snmpget

octet=$(( ($$ % 200) + 20 ))
addr="127.0.$octet.1"
E=1.3.6.1.4.1.1240.2.3.5
cat >"$work/fleet.json" <<JSON
{"devices":[{"address":"$addr","name":"CONFIG-UNIT","mib_level":8,"agent":{"reset_silence_ms":200},
  "variable_files":["$src/sim/data/catalogue-values.json"],
  "variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"$addr"},{"oid":".6.3.3.2.0","type":"int","value":2},
    {"oid":".6.3.1.6.0","type":"int","value":131071,"writable":false}]}]}
JSON
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port 0 --discovery-port 0 --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --ready-file "$work/ready.json" --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["devices"][0]["port"])' "$work/ready.json")
export TRELLAN_SNMP_PORT=$port
ctl=("$dir/trellanctl" config "$addr" --community vorlak --timeout 50 --wait 5)
sets() { grep -c '"pdu":"set"' "$work/log.jsonl"; }

out=$("${ctl[@]}"); rc=$?
check "show exits 0" "0" "$rc"
check "TCP/IP page" "[TCP/IP]" "$out"
check "gateway shown" "default_gateway = 127.0.0.254" "$out"
check "SNMP page" "system_name = CONFIG-UNIT" "$out"
out=$("${ctl[@]}" --json); rc=$?
check "--json exits 0" "0" "$rc"
check "--json names" '"default_gateway": "127.0.0.254"' "$out"

out=$("${ctl[@]}" --set default_gateway=10.1.2 2>&1); rc=$?
check "a refused value exits 2" "2" "$rc"
check "with the page's message" "The IP address is invalid." "$out"
out=$("${ctl[@]}" --set system_name= 2>&1); rc=$?
check "an empty system name exits 2" "2" "$rc"
check "with the page's message" "Invalid System Name." "$out"
out=$("${ctl[@]}" --set password=abc 2>&1); rc=$?
check "a short password exits 2" "2" "$rc"
check "with the dialog's message" "The password must be at least 5 characters." "$out"
out=$("${ctl[@]}" --set tcp_timeout=9 2>&1); rc=$?
check "a time-out out of range exits 2" "2" "$rc"
check "with the dialog's message" "Valid timeout values are 10 to 3600 seconds." "$out"
out=$("${ctl[@]}" --set no_such=1 2>&1); rc=$?
check "an unknown name exits 2" "2" "$rc"
check "nothing sent for refused values" "0" "$(sets)"

out=$("${ctl[@]}" --set default_gateway=127.0.0.9 --dry-run); rc=$?
check "--dry-run exits 0" "0" "$rc"
check "--dry-run lists the one binding" "SET $E.6.3.1.4.2.0 = 127.0.0.9" "$out"
check "--dry-run lists the reset" "SET $E.2.2.0 = 2 (reset)" "$out"
check "--dry-run sends nothing" "0" "$(sets)"

out=$("${ctl[@]}" --set system_location=lab --no-reset); rc=$?
check "--no-reset exits 0" "0" "$rc"
check "--no-reset sends only the change" "1" "$(sets)"

out=$("${ctl[@]}" --set default_gateway=127.0.0.9); rc=$?
check "a change exits 0" "0" "$rc"
check "one SET for the gateway, then the reset" "3" "$(sets)"
check "the reset is the last SET" "$E.2.2.0" "$(grep '"pdu":"set"' "$work/log.jsonl" | tail -1)"
seen=""
for _ in $(seq 30); do
  seen=$(snmpget -v1 -Oqv -t 1 -r 0 -c vorlak "udp:$addr:$port" "$E.6.3.1.4.2.0" 2>/dev/null)
  [ "$seen" = "127.0.0.9" ] && break
  sleep 0.1
done
check "snmpget reads the new gateway after the reset" "127.0.0.9" "$seen"

echo "passed $passed, failed $failed"
[ "$failed" -eq 0 ]
