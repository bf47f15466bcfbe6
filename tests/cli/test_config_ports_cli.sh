#!/usr/bin/env bash
# trellanctl config on the port, Token Ring and EtherTalk pages against the configuration fleet:
# --port chooses the output port, a change sends exactly its binding, a refused value exits 2 with
# the page's message and sends nothing, and a port name saved with the reset is read back by
# net-snmp's snmpget.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
need snmpget

E=1.3.6.1.4.1.1240.2.3.5
"$dir/trellan-sim" --data "$src/sim/data/config-fleet.json" --snmp-port 0 --discovery-port 0 --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --reset-silence-ms 200 --ready-file "$work/ready.json" \
  --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
[ -s "$work/ready.json" ] || { echo "FAIL: trellan-sim did not start: $(cat "$work/sim.err")"; exit 1; }
port_of() {
  python3 -c 'import json,sys
for d in json.load(open(sys.argv[1]))["devices"]:
    if d["address"] == sys.argv[2]: print(d["port"])' "$work/ready.json" "$1"
}
ctl() {  # ctl ADDRESS ARGS...: trellanctl config on that unit's port
  local a=$1
  shift
  TRELLAN_SNMP_PORT=$(port_of "$a") "$dir/trellanctl" config "$a" --community vorlak --timeout 50 --wait 5 "$@"
}
# The bindings of every SET sent to a unit, one request a line.
sets_of() {
  python3 -c 'import json,sys
for line in open(sys.argv[1]):
    j = json.loads(line)
    if j.get("kind") == "request" and j.get("pdu") == "set" and j.get("device") == sys.argv[2]:
        print(" ".join(b["oid"] + "=" + str(b.get("value", b.get("hex"))) for b in j["bindings"]))' "$work/log.jsonl" "$1"
}

out=$(ctl 127.0.5.121 --port 5); rc=$?
check "show exits 0" "0" "$rc"
check "Output Port page" "[Output Port]" "$out"
check "--port chooses the port" "port = 5" "$out"
check "the port's name" "port_name = COM1" "$out"
check "the port's hardware" "output_type = Serial Output" "$out"
out=$(ctl 127.0.5.121 --port 5 --json); rc=$?
check "--json exits 0" "0" "$rc"
check "--json serial speed" '"baud_rate": "57600 Baud"' "$out"

out=$(ctl 127.0.5.121 --port 2 --set port_name=ABCDEFGHIJKLMNOP 2>&1); rc=$?
check "a long port name exits 2" "2" "$rc"
check "with the page's message" "The port name takes at most 15 characters." "$out"
out=$(ctl 127.0.5.121 --set 'pcl_sequence=\x1' 2>&1); rc=$?
check "a broken byte escape exits 2" "2" "$rc"
out=$(ctl 127.0.5.125 --set local_address=12345 2>&1); rc=$?
check "a bad ring address exits 2" "2" "$rc"
check "with the page's message" "Invalid Network Address." "$out"
out=$(ctl 127.0.5.127 --port 2 --set 'ethertalk_zone=a*b' 2>&1); rc=$?
check "a zone with * exits 2" "2" "$rc"
check "with the page's message" "Invalid characters (@, =, :, *) in name." "$out"
check "nothing sent for refused values" "" "$(sets_of 127.0.5.121)$(sets_of 127.0.5.125)$(sets_of 127.0.5.127)"

out=$(ctl 127.0.5.121 --port 5 --set port_name=LABEL5 --no-reset); rc=$?
check "a port name change exits 0" "0" "$rc"
check "exactly its binding" "$E.6.2.3.2.1.2.5=LABEL5" "$(sets_of 127.0.5.121)"
check "one SET" "1" "$(sets_of 127.0.5.121 | wc -l)"
out=$(ctl 127.0.5.125 --set ring_priority=6 --no-reset); rc=$?
check "a ring priority change exits 0" "0" "$rc"
check "exactly its binding" "$E.5.3.1.0=6" "$(sets_of 127.0.5.125)"
out=$(ctl 127.0.5.127 --port 3 --set ethertalk_name=Reports --set 'ethertalk_zone=*' --no-reset); rc=$?
check "an AppleTalk name change exits 0" "0" "$rc"
check "exactly its binding" "$E.6.3.5.4.4.1.3.3=Reports" "$(sets_of 127.0.5.127)"
out=$(ctl 127.0.5.123 --port 4 --set bidirectional=off --no-reset); rc=$?
check "bidirectional data off exits 0" "0" "$rc"
check "32760, PJL off, the speed moved down" \
  "$E.6.2.3.2.1.12.4=32760 $E.6.2.3.2.1.14.4=1 $E.6.2.3.2.1.22.4=4" "$(sets_of 127.0.5.123)"

out=$(ctl 127.0.5.128); rc=$?
check "VINES page shown" "[VINES]" "$out"
check "the StreetTalk user" "vines_user = VINES@Lab@Trellan" "$out"
out=$(ctl 127.0.5.128 --set vines_service1=Reports@Lab 2>&1); rc=$?
check "a service name with one @ exits 2" "2" "$rc"
check "with the page's message" "Invalid StreetTalk Name." "$out"
check "nothing sent for it" "" "$(sets_of 127.0.5.128)"
out=$(ctl 127.0.5.128 --set vines_service2_port=3 --set vines_password=secret --no-reset); rc=$?
check "a service port and a password exit 0" "0" "$rc"
check "the slot's port, then the password alone" \
  "$E.6.3.3.4.4.1.3.2=3"$'\n'"$E.6.3.3.4.5.0=secret" "$(sets_of 127.0.5.128)"

out=$(ctl 127.0.5.120 --set port_name=FRONTDESK); rc=$?
check "a change with the reset exits 0" "0" "$rc"
check "the reset is the last SET" "$E.2.2.0" "$(sets_of 127.0.5.120 | tail -1)"
seen=""
for _ in $(seq 30); do
  seen=$(snmpget -v1 -Oqv -t 1 -r 0 -c vorlak "udp:127.0.5.120:$(port_of 127.0.5.120)" "$E.6.2.3.2.1.2.1" 2>/dev/null)
  [ "$seen" = '"FRONTDESK"' ] || [ "$seen" = "FRONTDESK" ] && break
  sleep 0.1
done
check "snmpget reads the new port name after the reset" "FRONTDESK" "$seen"

echo "passed $passed, failed $failed"
[ "$failed" -eq 0 ]
