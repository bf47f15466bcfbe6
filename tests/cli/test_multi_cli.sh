#!/usr/bin/env bash
# trellanctl multi-config and reset --multi against ten simulated units on one port (one with
# another SET community, one silent): the results file in the order given, the new values after
# the reset (snmpget), only the chosen settings on the wire, an empty run that sends nothing; the
# units of a saved view, found by its search, in the view's list order.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"

octet=$(( ($$ % 200) + 20 ))
net="127.1.$octet"
E=1.3.6.1.4.1.1240.2.3.5
port=$(( 20000 + ($$ % 20000) ))
dport=$(( port + 1 ))
export TRELLAN_REGISTRY="$work/Trellan.reg"
devices=""
for i in $(seq 1 10); do
  extra=""
  [ "$i" = 3 ] && extra=',"set_community":"other"'
  [ "$i" = 7 ] && extra=',"faults":{"silent":true}'
  devices="$devices${devices:+,}{\"address\":\"$net.$i\",\"name\":\"U$i\"$extra}"
done
echo "{\"defaults\":{\"agent\":{\"reset_silence_ms\":200}},\"devices\":[$devices]}" >"$work/fleet.json"
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port "$port" --discovery-port "$dport" --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --ready-file "$work/ready.json" --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
export TRELLAN_SNMP_PORT=$port
ctl="$dir/trellanctl"
# Generous for a loaded machine: only the silent unit waits them out.
common=(--community vorlak --timeout 100)
addresses=()
for i in $(seq 1 10); do addresses+=("$net.$i"); done

# Untouched: nothing sent, no file.
out=$("$ctl" multi-config "${common[@]}" --results "$work/empty.txt" "${addresses[@]}" 2>&1)
check "untouched exit" "0" "$?"
check "untouched says so" "nothing was sent" "$out"
check "untouched no file" "absent" "$([ -e "$work/empty.txt" ] && echo present || echo absent)"
check "untouched no request" "0" "$(grep -c '"kind":"request"' "$work/log.jsonl" 2>/dev/null || true)"

# Usage errors send nothing.
"$ctl" multi-config "${common[@]}" --set nosuch=1 "${addresses[@]}" >/dev/null 2>&1
check "unknown setting" "2" "$?"
"$ctl" reset "${common[@]}" "$net.1" "$net.2" >/dev/null 2>&1
check "several without --multi" "2" "$?"


printf '%s\n' "${addresses[@]:5}" >"$work/list.txt"
out=$("$ctl" multi-config "${common[@]}" --set system-contact=floor-2 --set tcpip=on --results "$work/r.txt" \
  --addresses "$work/list.txt" "${addresses[@]:0:5}" 2>"$work/progress.txt")
check "run exit 1 (two errors)" "1" "$?"
check "summary" "Total:  10 unit configured,  2 error(s) reported." "$out"
check "progress per unit" "Setting $net.10" "$(cat "$work/progress.txt")"
file=$(cat "$work/r.txt")
check "crlf" "Results:"$'\r' "$file"
order=$(grep -a -o "$net\.[0-9]*" "$work/r.txt" | tr '\n' ' ')
check "row order" "$net.1 $net.2 $net.3 $net.4 $net.5 $net.6 $net.7 $net.8 $net.9 $net.10 " "$order"
check "silent unit" "$(printf '  %-18s Operation Timed Out (3094)' "$net.7")" "$file"
check "refused unit" "$(printf '  %-18s Internal Error (3159)' "$net.3")" "$file"
check "good unit" "$(printf '  %-18s Success (0)' "$net.1")" "$file"
sets=$(python3 - "$work/log.jsonl" "$E" <<'PY'
import json, sys
oids = set()
for line in open(sys.argv[1]):
    j = json.loads(line)
    if j.get("kind") == "request" and j.get("pdu") == "set":
        for b in j["bindings"]: oids.add(b["oid"])
print(" ".join(sorted(oids)))
PY
)
check "only chosen settings and the reset" "1.3.6.1.2.1.1.4.0 $E.2.2.0 $E.6.3.1.2.0" "$sets"
sleep 1

check "new value after reset" "floor-2" "$(snmpget -v1 -c vorlak -t 1 -r 5 -Oqv "$net.1:$port" 1.3.6.1.2.1.1.4.0 2>&1)"
check "refused unit unchanged" "" "$(snmpget -v1 -c vorlak -t 1 -r 5 -Oqv "$net.3:$port" 1.3.6.1.2.1.1.4.0 2>&1 | grep floor-2)"

out=$("$ctl" reset --multi "${common[@]}" "${addresses[@]}" 2>/dev/null)
check "multi reset exit 1 (the silent unit)" "1" "$?"
check "multi reset summary" $'Reset Summary:\n\n\t10 list items selected.\n\t10 devices received reset commands.\n\t1 errors detected.' "$out"
json=$("$ctl" --json reset --multi "${common[@]}" "$net.1" "$net.2" 2>/dev/null)
check "multi reset json" '"errors": 0' "$json"
check "multi reset json sent" '"sent": 2' "$json"

# A saved view's units: its search finds them and its list order (sorted by name) is the results'
# order; an entry no unit answers stays in the list as the window shows it, and times out.
"$ctl" views create Fleet --protocol tcpip --entry "$net.5" --entry "$net.2" --entry "$net.4" --entry "$net.99" \
  --columns 'System Name,IP Address' >/dev/null
check "views create" "0" "$?"
before=$(grep -c '"pdu":"set"' "$work/log.jsonl")
out=$("$ctl" multi-config "${common[@]}" --view Fleet --discovery-port "$dport" --search-timeout 1500 \
  --set system-contact=floor-3 --results "$work/view.txt" 2>"$work/view-progress.txt")
check "view run exit 1 (the unit that is not there)" "1" "$?"
check "view summary" "Total:  4 unit configured,  1 error(s) reported." "$out"
order=$(grep -a -o "$net\.[0-9]*" "$work/view.txt" | tr '\n' ' ')
same "view units in the list's order" "$net.99 $net.2 $net.4 $net.5 " "$order"
check "view entry without a unit" "$(printf '  %-18s Operation Timed Out (3094)' "$net.99")" "$(cat "$work/view.txt")"
check "view search progress" "found $net.4" "$(cat "$work/view-progress.txt")"
same "view: one setting and one reset per unit" "6" "$(( $(grep -c '"pdu":"set"' "$work/log.jsonl") - before ))"
sleep 1
check "view unit has the value" "floor-3" "$(snmpget -v1 -c vorlak -t 1 -r 5 -Oqv "$net.4:$port" 1.3.6.1.2.1.1.4.0 2>&1)"
check "unit outside the view unchanged" "floor-2" "$(snmpget -v1 -c vorlak -t 1 -r 5 -Oqv "$net.1:$port" 1.3.6.1.2.1.1.4.0 2>&1)"

out=$("$ctl" reset --multi "${common[@]}" --view Fleet --discovery-port "$dport" --search-timeout 1500 "$net.1" 2>/dev/null)
check "view reset exit 1 (the unit that is not there)" "1" "$?"
check "view reset: the address given and the view's" $'\t5 list items selected.\n\t5 devices received reset commands.\n\t1 errors detected.' "$out"
"$ctl" reset "${common[@]}" --view Fleet "$net.1" >/dev/null 2>&1
check "view without --multi" "2" "$?"
out=$("$ctl" multi-config "${common[@]}" --view Nowhere --set tcpip=on 2>&1)
check "no such view exit" "1" "$?"
check "no such view says so" 'no view named "Nowhere"' "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
