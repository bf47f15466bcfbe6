#!/usr/bin/env bash
# trellanctl wizard against one simulated unit with TCP/IP and wireless: --dry-run prints the
# verification text and sends nothing; the run sends the SETs the wizard's flow sends (a new
# permanent address and an SSID), resets the unit and finds it at its new address; refused
# answers send nothing.
set -uo pipefail
. "$(dirname "$0")/sim_cli_common.sh"

cat >"$work/fleet.json" <<'JSON'
{"devices":[{"address":"127.0.7.1","protocols":[1,7],"agent":{"reset_silence_ms":300},
  "variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.7.1"},
               {"oid":".6.3.1.4.4.0","type":"int","value":1}]}]}
JSON
snmp_port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port "$snmp_port" --discovery-port 0 --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --ready-file "$work/ready.json" --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
[ -s "$work/ready.json" ] || { echo "FAIL: trellan-sim did not start: $(cat "$work/sim.err")"; exit 1; }
export TRELLAN_SNMP_PORT=$snmp_port
E=1.3.6.1.4.1.1240.2.3.5
wiz() { "$dir/trellanctl" wizard "$@" --community vorlak --timeout 50 --wait 10; }
set_oids() { grep '"pdu":"set"' "$work/log.jsonl" | python3 -c '
import json, sys
for line in sys.stdin:
    for b in json.loads(line).get("bindings", []): print(b["oid"])' | sort -u | tr '\n' ' '; }

cat >"$work/answers.json" <<'JSON'
{"protocols": {"TCP/IP": true, "Wireless": true},
 "tcpip": {"dynamic": false, "address": "127.0.7.9", "mask": "255.0.0.0", "gateway": "127.0.0.1"},
 "wireless": {"ssid": "WIZARD-LAB"}}
JSON

out=$(wiz 127.0.7.1 --answers "$work/answers.json" --dry-run 2>&1); rc=$?
check "--dry-run exits 0" "0" "$rc"
check "verification head" "The following changes will be made: " "$out"
check "protocol block" "Supported Protocols:" "$out"
check "TCP/IP block" $'TCP/IP: \nIP Address:  127.0.7.9\nSubnet Mask:  255.0.0.0\nDefault Gateway:  127.0.0.1' "$out"
check "wireless SSID line" "SSID:  WIZARD-LAB" "$out"
[ -z "$(set_oids)" ] || { failed=$((failed + 1)); echo "FAIL: --dry-run sent SETs: $(set_oids)"; }

out=$(wiz 127.0.7.1 --answers "$work/answers.json" --dry-run --json 2>&1); rc=$?
check "--json exits 0" "0" "$rc"
check "--json pages" '"pages": [' "$out"
check "--json wireless page" '"Configure Wireless Settings"' "$out"

printf '{"tcpip": {"address": ""}}' >"$work/blank.json"
out=$(wiz 127.0.7.1 --answers "$work/blank.json" 2>&1); rc=$?
check "a blank address exits 1" "1" "$rc"
check "with the page's message" "Please enter a valid IP address." "$out"
printf '{"tcpip": {"adress": "127.0.7.9"}}' >"$work/typo.json"
out=$(wiz 127.0.7.1 --answers "$work/typo.json" 2>&1); rc=$?
check "an unknown key exits 1" "1" "$rc"
check "naming it" "unknown key 'adress'" "$out"
printf '{"serial": {"mode": 1}}' >"$work/serial.json"
out=$(wiz 127.0.7.1 --answers "$work/serial.json" 2>&1); rc=$?
check "answers for a page the unit lacks exit 1" "1" "$rc"
printf '{"tcpip": ' >"$work/broken.json"
out=$(wiz 127.0.7.1 --answers "$work/broken.json" 2>&1); rc=$?
check "malformed JSON exits 2" "2" "$rc"
[ -z "$(set_oids)" ] || { failed=$((failed + 1)); echo "FAIL: refused answers sent SETs: $(set_oids)"; }

out=$(wiz 127.0.7.1 --answers "$work/answers.json" 2>&1); rc=$?
check "the run exits 0" "0" "$rc"
# What the flow sends for these answers: the address and the SSID that differ from the unit's
# (its mask and gateway already are those), then the reset.
sent=$(set_oids)
[ "$sent" = "$E.2.2.0 $E.6.3.1.4.1.0 $E.8.3.4.0 " ] && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAIL: SETs sent: $sent"; }
out=$(snmpget -v1 -c vorlak -Oqv "127.0.7.9:$snmp_port" "$E.8.3.4.0" 2>&1)
check "the unit answers at its new address with the new SSID" "WIZARD-LAB" "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
