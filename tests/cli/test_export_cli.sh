#!/usr/bin/env bash
# trellanctl export against trellan-sim: a list file whose names hold commas and quotes reads back
# whole with Python's csv module, and an address file given back to a search as File<...> finds
# the same units; a four-port unit listed by printer gives its address once.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
export TRELLAN_REGISTRY="$work/Trellan.reg"

octet=$(( ($$ % 200) + 20 ))
net="127.1.$octet"
base=$((31000 + ($$ % 500) * 8))
cat >"$work/fleet.json" <<JSON
{"devices":[
  {"address":"$net.1","name":"Smith, J. (2nd floor)"},
  {"address":"$net.2","name":"the \"big\" one","ports":4},
  {"address":"$net.3","name":"Plain"}]}
JSON
# One SNMP port for every unit (each on its own address): with a port per unit, the reads after a
# reply would go to the first unit's port and wait out their time-outs.
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port "$((base + 4))" --discovery-port "$base" --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --ready-file "$work/ready.json" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
[ -s "$work/ready.json" ] || { echo "FAIL: the simulator did not start"; cat "$work/sim.err"; exit 1; }
export TRELLAN_SNMP_PORT=$((base + 4))
ctl="$dir/trellanctl"

"$ctl" views create Fleet --protocol tcpip --entry "$net.1" --entry "$net.2" --entry "$net.3" --columns 'System Name,IP Address,Port #' >/dev/null
same "views create" 0 "$?"

"$ctl" export --view Fleet --list "$work/list.txt" --port "$base" --timeout 1500 >/dev/null 2>"$work/err"
same "export --list (exit)" 0 "$?"
rows=$(python3 - "$work/list.txt" <<'PY'
import csv, sys
with open(sys.argv[1], newline="") as f:
    rows = list(csv.reader(f))
print(rows[0][:3])
for r in rows[1:]:
    print(r[0] + "|" + r[1])
PY
)
same "the list reads back with csv" "['System Name', 'IP Address', '']
Plain|$net.3
Smith, J. (2nd floor)|$net.1
the \"big\" one|$net.2" "$rows"

"$ctl" export --view Fleet --addresses "$work/addr.txt" --by-printer --port "$base" --timeout 1500 >/dev/null 2>&1
same "export --addresses --by-printer (exit)" 0 "$?"
same "each unit once, in list order" "$net.3
$net.1
$net.2" "$(tr -d '\r' <"$work/addr.txt")"

"$ctl" --json discover --port "$base" --timeout 1500 "File<$work/addr.txt>" >"$work/found.json" 2>/dev/null
same "discover File<...> (exit)" 0 "$?"
found=$(python3 -c 'import json,sys; print(" ".join(sorted(d["ipAddress"] for d in json.load(open(sys.argv[1]))["devices"])))' \
  "$work/found.json")
same "the address file finds the same units" "$net.1 $net.2 $net.3" "$found"

"$ctl" export --view Fleet --list "$work/no-such-folder/list.txt" --port "$base" --timeout 300 >/dev/null 2>"$work/err"
same "an unwritable file (exit)" 1 "$?"
grep -q "Cannot open the requested file." "$work/err"
same "an unwritable file says so" 0 "$?"
"$ctl" export --view Fleet --port "$base" >/dev/null 2>&1
same "neither --list nor --addresses (exit)" 2 "$?"
"$ctl" export --view Nowhere --list "$work/x.txt" >/dev/null 2>&1
same "no such view (exit)" 1 "$?"

# A serial view: each listed port is asked once and listed, answered or not ("No Response").
"$ctl" views create Bench --protocol serial --entry COM3 >/dev/null
check "views create (serial)" 0 "$?"
cat >>"$TRELLAN_REGISTRY" <<REG

[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\Serial]
"COM3"="$work/no-such-line"
REG
"$ctl" export --view Bench --list "$work/serial.txt" >/dev/null 2>"$work/err"
check "export of a serial view (exit)" 0 "$?"
check "the serial list: its header and the silent port's row" "System Name,H/W Address,Serial Port,
,,COM3" "$(tr -d '\r' <"$work/serial.txt")"

printf '%d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
