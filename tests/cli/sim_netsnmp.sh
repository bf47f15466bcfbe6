#!/usr/bin/env bash
# net-snmp's command-line tools against trellan-sim: an independent client checks the values,
# syntaxes and errors the data file promises, the silence rules, the reset window, the request log
# and the simulator's own command line and exit codes.
set -uo pipefail

bin="${TRELLAN_BIN_DIR:-$(dirname "$0")/../../build/bin}/trellan-sim"
for tool in snmpget snmpgetnext snmpwalk snmpset; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool not installed (Debian package snmp)"; exit 1; }
done
[ -x "$bin" ] || { echo "FAIL: $bin not built"; exit 1; }

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then kill "$sim_pid"; wait "$sim_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

# net-snmp without MIB files or user configuration: numeric names, one try, short time-out.
export MIBS="" SNMPCONFPATH="$work" SNMP_PERSISTENT_DIR="$work"
snmp_opts=(-v1 -On -t 1 -r 0)

passed=0
failed=0
check() {  # check NAME EXPECTED-SUBSTRING ACTUAL
  if [[ "$3" == *"$2"* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  expected to contain: %s\n  got: %s\n' "$1" "$2" "$3"
  fi
}
check_not() {
  if [[ "$3" != *"$2"* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); printf 'FAIL: %s\n  unexpected: %s\n' "$1" "$2"; fi
}

# A unit address of our own for this run, so parallel runs never meet.
octet=$(( ($$ % 200) + 20 ))
addr="127.0.$octet.1"
E=1.3.6.1.4.1.1240.2.3.5
cat >"$work/fleet.json" <<JSON
{"devices": [{
  "address": "$addr", "get_community": "pub", "set_community": "priv", "name": "NETSNMP-{index}",
  "ports": [{"name": "LPT1", "status": 0, "display": "READY"}, {"name": "LPT2", "status": 32, "display": "OFFLINE"}],
  "variables": [
    {"oid": ".1.3.0", "type": "text", "value": "Print Server {index}", "writable": false},
    {"oid": ".1.6.0", "type": "hex", "value": "00:40:8C:00:00:01"},
    {"oid": ".6.3.1.4.1.0", "type": "ip", "value": "$addr"},
    {"oid": ".6.3.1.4.4.0", "type": "int", "value": 3},
    {"oid": ".4.2.0", "type": "counter", "value": 42},
    {"oid": ".6.3.2.4.4.0", "type": "text", "value": "PSERVER", "max_length": 8}],
  "agent": {"max_vars": 3, "reset_silence_ms": 1500}}]}
JSON

# --- command line and exit codes ---
"$bin" --help >"$work/help.txt"; rc=$?
check "--help exits 0" "0" "$rc"
for opt in --data --count --first --snmp-port --log --ready-file --max-vars --too-big-index --set-mode \
           --reset-silence-ms --get-community --set-community --check; do
  check "--help documents $opt" "$opt" "$(cat "$work/help.txt")"
done
out=$("$bin" --no-such-option 2>&1); rc=$?
check "unknown option exits 2" "2" "$rc"
check "unknown option is named" "unknown option '--no-such-option'" "$out"
echo '{"devices": [{"address": "10.1.2.3"}]}' >"$work/bad.json"
out=$("$bin" --data "$work/bad.json" 2>&1); rc=$?
check "bad data file exits 2" "2" "$rc"
check "bad data file gives the reason" "devices[0].address" "$out"
out=$("$bin" --data "$work/missing.json" 2>&1); rc=$?
check "missing data file exits 2" "2" "$rc"
out=$("$bin" --data "$work/fleet.json" --check 2>&1); rc=$?
check "--check accepts the fleet" "1 print servers" "$out"

# --- start the simulator; wait (bounded) for its ready file ---
"$bin" --data "$work/fleet.json" --snmp-port 0 --log "$work/log.jsonl" --ready-file "$work/ready.json" \
  2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 1 100); do [ -s "$work/ready.json" ] && break; sleep 0.05; done
[ -s "$work/ready.json" ] || { echo "FAIL: no ready file"; cat "$work/sim.err"; exit 1; }
port=$(grep -o '"port":[0-9]*' "$work/ready.json" | head -1 | cut -d: -f2)
host="$addr:$port"

out=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.1.3.0 $E.1.6.0 $E.6.3.1.4.1.0 2>&1)
check "text" "$E.1.3.0 = STRING: \"Print Server 1\"" "$out"
check "hex" "$E.1.6.0 = Hex-STRING: 00 40 8C 00 00 01" "$out"
check "ip" "$E.6.3.1.4.1.0 = IpAddress: $addr" "$out"
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.6.3.1.4.4.0 $E.4.2.0 1.3.6.1.2.1.2.2.1.5.1 2>&1)
check "integer" "$E.6.3.1.4.4.0 = INTEGER: 3" "$out"
check "counter" "$E.4.2.0 = Counter32: 42" "$out"
check "ifSpeed" ".1.3.6.1.2.1.2.2.1.5.1 = Gauge32: 100000000" "$out"
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" 1.3.6.1.2.1.1.2.0 1.3.6.1.2.1.1.3.0 1.3.6.1.2.1.1.5.0 2>&1)
check "sysObjectID" ".1.3.6.1.2.1.1.2.0 = OID: .$E" "$out"
check "sysUpTime" ".1.3.6.1.2.1.1.3.0 = Timeticks:" "$out"
check "sysName" ".1.3.6.1.2.1.1.5.0 = STRING: \"NETSNMP-1\"" "$out"
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" 1.3.6.1.2.1.43.13.4.1.11.2.1 1.3.6.1.2.1.43.16.5.1.2.2.1 2>&1)
check "printer status of port 2" ".1.3.6.1.2.1.43.13.4.1.11.2.1 = INTEGER: 32" "$out"
check "console text of port 2" ".1.3.6.1.2.1.43.16.5.1.2.2.1 = STRING: \"OFFLINE\"" "$out"

out=$(snmpgetnext "${snmp_opts[@]}" -c pub "$host" $E.1.3.0 1.3.6.1.2.1.1.6.0 2>&1)
check "getnext in OID order" "$E.1.4.0 = STRING: \"TS100\"" "$out"
check "getnext leaves the system group" ".1.3.6.1.2.1.2.2.1.5.1 = Gauge32" "$out"

walk=$(snmpwalk "${snmp_opts[@]}" -c pub "$host" $E 2>&1)
check "walk starts at the MIB level" "$E.1.1.0 = INTEGER: 8" "$walk"
check "walk reaches the port names" "$E.6.3.2.4.4.0 = STRING: \"PSERVER\"" "$walk"
check_not "walk has no error" "Error" "$walk"
check "walk has the catalogue's TCP/IP level 8 variables" "$E.6.3.1.4.45.0 = STRING: \"DEFAULT\"" "$walk"
check "walk has the GET community" "$E.3.3.0 = STRING: \"pub\"" "$walk"
check "walk has the last country entry" "$E.8.3.42.1.2.3 = STRING: \"JPO\"" "$walk"
count=$(printf '%s\n' "$walk" | grep -c '^\.')
[ "$count" -gt 250 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL: the walk has only $count variables"; }
names=$(printf '%s\n' "$walk" | grep '^\.' | cut -d' ' -f1)
sorted=$(printf '%s\n' "$names" | sort -t. -k1,1n -k2,2n -k3,3n -k4,4n -k5,5n -k6,6n -k7,7n -k8,8n -k9,9n \
         -k10,10n -k11,11n -k12,12n -k13,13n -k14,14n -k15,15n -k16,16n -k17,17n -k18,18n)
check "walk is in OID order" "$sorted" "$names"

# Errors: absent name, tooBig over the unit's limit of 3, wrong community.
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.9.9.0 2>&1)
check "absent name" "(noSuchName)" "$out"
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.1.3.0 $E.1.3.0 $E.1.3.0 $E.1.3.0 2>&1)
check "over the unit's limit" "(tooBig)" "$out"
out=$(snmpget "${snmp_opts[@]}" -c wrong "$host" $E.1.3.0 2>&1)
check "wrong community is silence" "Timeout" "$out"

# SET rules: values staged until the reset; type, length and access checks.
out=$(snmpset "${snmp_opts[@]}" -c priv "$host" $E.6.3.2.4.4.0 s NEWNAME $E.6.3.1.4.4.0 i 5 2>&1)
check "set answers the values" "$E.6.3.2.4.4.0 = STRING: \"NEWNAME\"" "$out"
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.6.3.2.4.4.0 2>&1)
check "set waits for the reset" "STRING: \"PSERVER\"" "$out"
out=$(snmpset "${snmp_opts[@]}" -c pub "$host" $E.6.3.1.4.4.0 i 7 2>&1)
check "set with the get community" "(readOnly)" "$out"
out=$(snmpset "${snmp_opts[@]}" -c priv "$host" $E.6.3.1.4.4.0 s seven 2>&1)
check "set with the wrong syntax" "(badValue)" "$out"
out=$(snmpset "${snmp_opts[@]}" -c priv "$host" $E.6.3.2.4.4.0 s TOOLONGNAME 2>&1)
check "set over the length" "(badValue)" "$out"
out=$(snmpset "${snmp_opts[@]}" -c priv "$host" $E.1.3.0 s other 2>&1)
check "set of a read-only variable" "(readOnly)" "$out"
out=$(snmpset "${snmp_opts[@]}" -c priv "$host" $E.9.9.0 i 1 2>&1)
check "set of an absent variable" "(noSuchName)" "$out"

# Reset: answered, silent for the window, then back with the staged values.
out=$(snmpset "${snmp_opts[@]}" -c priv "$host" $E.2.2.0 i 2 2>&1)
check "reset is answered" "$E.2.2.0 = INTEGER: 2" "$out"
out=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.6.3.2.4.4.0 2>&1)
check "silent while restarting" "Timeout" "$out"
back=""
for _ in $(seq 1 20); do
  back=$(snmpget "${snmp_opts[@]}" -c pub "$host" $E.6.3.2.4.4.0 $E.6.3.1.4.4.0 2>&1) && break
  sleep 0.2
done
check "back with the new name" "STRING: \"NEWNAME\"" "$back"
check "back with the new integer" "INTEGER: 5" "$back"

# The request log shows what crossed the wire.
log=$(cat "$work/log.jsonl")
check "log has requests" '"kind":"request"' "$log"
check "log has the tooBig reply" '"error_index":4,"error_status":1' "$log"
check "log has the wrong community" '"reason":"wrong community"' "$log"
check "log has the restart" '"reason":"restarting"' "$log"
check "log has the return" '"event":"back"' "$log"

# Clean stop on SIGTERM: exit 0 and the ready file is gone.
kill -TERM "$sim_pid"
wait "$sim_pid"; rc=$?
sim_pid=""
check "SIGTERM exits 0" "0" "$rc"
[ -e "$work/ready.json" ] && { failed=$((failed + 1)); echo "FAIL: ready file left behind"; } || passed=$((passed + 1))

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
