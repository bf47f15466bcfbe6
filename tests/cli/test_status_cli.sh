#!/usr/bin/env bash
# trellanctl status, whats-wrong and pjl against trellan-sim: pages as text and JSON, the report
# file with CR LF and no SET on the wire, the diagnosis, and PJL from a printer that answers, one
# that never does (exit 1 within the limits, the message said) and a port nobody listens on.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
export TRELLAN_REGISTRY="$work/t.reg"

octet=$(( ($$ % 200) + 20 ))
addr="127.0.$octet.1"
pjl=$(( 20000 + ($$ % 20000) ))
disc=$(( pjl + 100 ))
cat >"$work/fleet.json" <<JSON
{"devices":[{"address":"$addr","name":"STATUS-UNIT","protocols":[1,7],
  "ports":[{"name":"P1","display":"READY"},{"name":"P2","pjl":"silent"},{"name":"P3","pjl":"none"}]}]}
JSON
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port 0 --discovery-port "$disc" --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --pjl-port "$pjl" --ready-file "$work/ready.json" \
  --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
[ -s "$work/ready.json" ] || { echo "FAIL: trellan-sim did not start: $(cat "$work/sim.err")"; exit 1; }
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["devices"][0]["port"])' "$work/ready.json")
export TRELLAN_SNMP_PORT=$port
ctl="$dir/trellanctl"

out=$("$ctl" status "$addr" --community vorlak --report "$work/report.txt"); rc=$?
check "status exits 0" "0" "$rc"
check "Server page" "[Server]" "$out"
check "the connections" "ESTABLISHED" "$out"
check "Wireless page last" "[Wireless]" "$(printf '%s' "$out" | tail -7)"
report=$(python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); print("crlf" if d.count(b"\r\n")==d.count(b"\n") else "lf")' "$work/report.txt")
check "report lines end in CR LF" "crlf" "$report"
check "report heading" "Print Server Current Configuration File:" "$(cat "$work/report.txt")"
check "report names the unit" "Current Print Server Settings For: STATUS-UNIT" "$(cat "$work/report.txt")"
check "nothing written to the unit" "0" "$(grep -c '"pdu":"set"' "$work/log.jsonl")"
out=$("$ctl" --json status "$addr" --community vorlak); rc=$?
check "--json exits 0" "0" "$rc"
check "--json pages" '"Serial Number":' "$out"
out=$("$ctl" status 127.0.250.250 --community vorlak --timeout 20 2>&1); rc=$?
check "a silent address exits 1" "1" "$rc"
check "and says what it could not read" "Cannot get the enabled protocols information." "$out"

out=$("$ctl" whats-wrong "$addr" --port "$disc" --timeout 2000); rc=$?
check "whats-wrong exits 0" "0" "$rc"
check "whats-wrong names the printer" "Printer 1" "$out"

out=$("$ctl" pjl "$addr" --community vorlak --port 1 --request STATUS --save "$work/pjl.txt"); rc=$?
check "pjl exits 0" "0" "$rc"
check "pjl reply" 'DISPLAY="READY"' "$out"
check "pjl log file" "Printer PJL Status Values" "$(cat "$work/pjl.txt")"
start=$(date +%s)
out=$("$ctl" pjl "$addr" --community vorlak --timeout 100 --port 2 2>&1); rc=$?
took=$(( $(date +%s) - start ))
check "a silent printer exits 1" "1" "$rc"
check "with the message" "No response from printer.  PJL status not available if a print job is active." "$out"
[ "$took" -le 15 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: the silent printer took ${took}s"; }
out=$("$ctl" pjl "$addr" --community vorlak --port 3 2>&1); rc=$?
check "nobody listening exits 1" "1" "$rc"
check "with the connect message" "Unable to connect to printer.  Port may be busy." "$out"
out=$("$ctl" pjl "$addr" --community vorlak --request NOPE 2>&1); rc=$?
check "an unknown request is a usage error" "2" "$rc"

echo "passed: $passed, failed: $failed"
[ "$failed" -eq 0 ]
