#!/usr/bin/env bash
# trellanctl assign-ip and image against trellan-sim: a native unit by serial number (directed
# broadcast) and by hardware address (multicast), a second-family unit by hardware address, each
# then answering at its new address; usage errors; a silent unit failing with exit 1; the image
# read, changed at known offsets, written back and read again.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"

o=$(( ($$ % 200) + 20 ))
cat >"$work/fleet.json" <<JSON
{"devices":[
  {"address":"127.1.$o.1","name":"NATIVE-SERIAL","hardware_address":"020000123456","discovery":{"ip":"192.0.0.192"}},
  {"address":"127.1.$o.2","name":"NATIVE-HW","hardware_address":"020000abcdef","discovery":{"ip":"0.0.0.0"}},
  {"address":"127.1.$o.3","name":"WIRELESS","hardware_address":"020000000103","discovery":{"ip":"0.0.0.0"},
   "second_family":{"size":72,"reboot_ms":300}},
  {"address":"127.1.$o.4","name":"IMAGE","hardware_address":"020000000104","second_family":{"size":166,"ssid":"lab"}},
  {"address":"127.1.$o.5","name":"MUTE","hardware_address":"020000000105","second_family":{"command_silence":true}}]}
JSON
free_port() { python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("", 0)); print(s.getsockname()[1])'; }
dport=$(free_port)
sport=$(free_port)
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port 0 --discovery-port "$dport" --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port "$sport" --ready-file "$work/ready.json" --log "$work/log.jsonl" \
  --exit-with-parent 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
[ -s "$work/ready.json" ] || { echo "FAIL: trellan-sim did not start"; cat "$work/sim.err"; exit 1; }
export TRELLAN_SECOND_FAMILY_PORT=$sport
ctl="$dir/trellanctl"

out=$("$ctl" assign-ip --serial 1193046 "127.2.$o.1" --port "$dport" --wait 5 2>&1); rc=$?
check "by serial: exit 0" "0" "$rc"
check "by serial: answers at its address" "127.2.$o.1 answers (native): NATIVE-SERIAL" "$out"
check "by serial: the directed broadcast of the new network" "sending the initialization request to 127.2.$o.255" "$out"

out=$("$ctl" --json assign-ip --hw-address 020000ABCDEF --multicast "127.2.$o.2" --port "$dport" --wait 5 2>/dev/null); rc=$?
check "by hardware address over multicast: exit 0" "0" "$rc"
check "by hardware address: JSON" '"kind":"native"' "$(tr -d ' \n' <<<"$out")"

out=$("$ctl" assign-ip --hw-address 020000000103 "127.2.$o.3" --port "$dport" --wait 5 2>&1); rc=$?
check "second family: exit 0" "0" "$rc"
check "second family: its own sequence" "Succeed in setting IP Address!" "$out"
check "second family: answers at its address" "127.2.$o.3 answers (second family): WIRELESS" "$out"

out=$("$ctl" assign-ip --hw-address 020000000105 --current "127.1.$o.5" "127.2.$o.5" --port "$dport" --wait 1 2>&1); rc=$?
check "silent unit: exit 1" "1" "$rc"
check "silent unit: the message" "127.2.$o.5: Cannot communicate with the server." "$out"

for bad in "--serial 12x 127.2.$o.9" "--hw-address 0200 127.2.$o.9" "--serial 1 127.2.$o" \
           "--serial 1 --hw-address 020000000001 127.2.$o.9" "127.2.$o.9" "--serial 1 --multicast --destination 127.0.0.1 127.2.$o.9"; do
  # shellcheck disable=SC2086
  "$ctl" assign-ip $bad --port "$dport" >/dev/null 2>&1; rc=$?
  check "usage error: $bad" "2" "$rc"
done
out=$("$ctl" assign-ip --serial 1 10.1.2.3 --port "$dport" 2>&1); rc=$?
check "the loopback guard: exit 1" "1" "$rc"

# The image: read, change known offsets, write back, read again: identical except the changes.
out=$("$ctl" image read "127.1.$o.4" "$work/a.img" 2>&1); rc=$?
check "image read: exit 0" "0" "$rc"
check "image read: 8192 bytes" "8192 bytes written" "$out"
python3 - "$work/a.img" "$work/b.img" <<'PY'
import sys
d = bytearray(open(sys.argv[1], 'rb').read())
d[7696:7700] = b'new\0'; d[0] = 0x5A; d[8191] = 0xA5
open(sys.argv[2], 'wb').write(bytes(d))
PY
out=$("$ctl" image write "127.1.$o.4" "$work/b.img" 2>&1); rc=$?
check "image write: exit 0" "0" "$rc"
"$ctl" image read "127.1.$o.4" "$work/c.img" >/dev/null 2>&1
if cmp -s "$work/b.img" "$work/c.img"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: image read back differs"; fi
head -c 100 "$work/b.img" >"$work/short.img"
out=$("$ctl" image write "127.1.$o.4" "$work/short.img" 2>&1); rc=$?
check "image of another size: exit 1" "1" "$rc"
check "image of another size: the message" "is not a configuration image of 8192 bytes" "$out"
out=$("$ctl" image read "127.1.$o.5" "$work/d.img" 2>&1); rc=$?
check "image of a silent unit: exit 1" "1" "$rc"
check "image of a silent unit: the message" "no answer to GET EEP_DATA" "$out"
[ -e "$work/d.img" ] && { failed=$((failed + 1)); echo "FAIL: a failed read left a file"; } || passed=$((passed + 1))

echo "passed: $passed, failed: $failed"
[ "$failed" -eq 0 ]
