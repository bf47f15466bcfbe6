#!/usr/bin/env bash
# trellanctl backup, restore and reset against trellan-sim, checked with net-snmp's snmpget: a
# round trip (save, change the unit, restore, read back), an unchanged file sends only the reset,
# write-only values stay out of the output and make the file private, a failed save keeps the old
# file, a file of one family is not taken by a unit of another, a hand-written Windows file
# restores what it can, and restoring the defaults of one part changes only that part.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
need snmpget cmp

octet=$(( ($$ % 200) + 20 ))
kdv="127.0.$octet.1"
hlq="127.0.$octet.2"
zbn="127.0.$octet.3"
E=1.3.6.1.4.1.1240.2.3.5
H=1.3.6.1.4.1.683
cat >"$work/fleet.json" <<JSON
{"defaults":{"mib_level":8,"agent":{"reset_silence_ms":200},
  "variable_files":["$src/sim/data/catalogue-values.json"]},
 "devices":[
  {"address":"$kdv","name":"KDV-UNIT","variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"$kdv"}]},
  {"address":"$hlq","name":"HLQ-UNIT","family":"HLQ","variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"$hlq"}]},
  {"address":"$zbn","name":"ZBN-UNIT","family":"ZBN","variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"$zbn"},
    {"oid":".6.3.1.4.2.0","type":"ip","value":"127.0.0.77"}]}]}
JSON
"$dir/trellan-sim" --data "$work/fleet.json" --snmp-port 0 --discovery-port 0 --ipx-discovery-port 0 \
  --ipx-snmp-port 0 --second-family-port 0 --ready-file "$work/ready.json" --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
port_of() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["devices"][int(sys.argv[2])]["port"])' "$work/ready.json" "$1"; }
port=$(port_of 0)
hlq_port=$(port_of 1)
zbn_port=$(port_of 2)
export TRELLAN_SNMP_PORT=$port
ctl="$dir/trellanctl"
common=(--community vorlak --timeout 50)
sets() { grep -c '"pdu":"set"' "$work/log.jsonl"; }
get() {  # get ADDRESS OID: the value once the unit answers again
  local v=""
  for _ in $(seq 40); do
    v=$(snmpget -v1 -Oqv -t 1 -r 0 -c vorlak "udp:$1:$port" "$2" 2>/dev/null) && [ -n "$v" ] && break
    sleep 0.1
  done
  printf '%s' "$v"
}

# --- save ---
out=$("$ctl" backup "$kdv" "$work/unit.cfg" "${common[@]}" 2>&1); rc=$?
check "backup exits 0" "0" "$rc"
check "backup says where" "to $work/unit.cfg" "$out"
check "the file has the TCP/IP section with CR LF" "1" "$(grep -c $'^\[TCP/IP\]\r$' "$work/unit.cfg")"
check "the IP address is tagged" "$E.6.3.1.4.1.0=<0>$kdv" "$(cat "$work/unit.cfg")"
lacks "no level variable" "$E.6.3.1.1.0=" "$(cat "$work/unit.cfg")"
check "an ordinary file is not private" "644" "$(stat -c %a "$work/unit.cfg")"

printf 'set-community=Top5ecret\n' >"$work/wo.txt"
out=$("$ctl" backup "$kdv" "$work/secret.cfg" "${common[@]}" --write-only-file "$work/wo.txt" --password Hidden99 2>&1); rc=$?
check "backup with write-only values exits 0" "0" "$rc"
lacks "the community is never echoed" "Top5ecret" "$out"
lacks "the password is never echoed" "Hidden99" "$out"
check "a file with write-only values is private" "600" "$(stat -c %a "$work/secret.cfg")"
check "the community is in the SNMP section" "$E.3.4.0=<4>Top5ecret" "$(cat "$work/secret.cfg")"
out=$("$ctl" restore "$kdv" "$work/secret.cfg" "${common[@]}" --dry-run 2>&1); rc=$?
lacks "a dry run does not show it either" "Top5ecret" "$out"
check "a dry run marks it" "$E.3.4.0 = (write-only value)" "$out"

cp "$work/unit.cfg" "$work/keep.cfg"
out=$("$ctl" backup 127.0.$octet.99 "$work/keep.cfg" --community vorlak --timeout 10 2>&1); rc=$?
check "a unit that does not answer: exit 1" "1" "$rc"
check "the old file is untouched" "" "$(cmp "$work/unit.cfg" "$work/keep.cfg")"

"$ctl" --json backup "$kdv" "$work/json.cfg" "${common[@]}" >"$work/backup.json" 2>/dev/null
check "backup --json" "['address', 'complete', 'file', 'writeOnlyValues', 'written'] True False" \
  "$(python3 -c 'import json,sys; j=json.load(open(sys.argv[1])); print(sorted(j), j["written"], j["writeOnlyValues"])' "$work/backup.json")"

# --- change the unit, restore, read back ---
"$ctl" config "$kdv" "${common[@]}" --wait 5 --set default_gateway=127.0.0.9 --set system_location=elsewhere >/dev/null 2>&1
check "the unit changed" "127.0.0.9" "$(get "$kdv" $E.6.3.1.4.2.0)"
before=$(sets)
out=$("$ctl" restore "$kdv" "$work/unit.cfg" "${common[@]}" --dry-run); rc=$?
check "restore --dry-run exits 0" "0" "$rc"
check "dry run: the gateway" "SET $E.6.3.1.4.2.0 = 127.0.0.254" "$out"
check "dry run: the location" "SET 1.3.6.1.2.1.1.6.0 = " "$out"
check "dry run: the reset" "SET $E.2.2.0 = 2 (reset)" "$out"
check "dry run sends nothing" "$before" "$(sets)"
out=$("$ctl" restore "$kdv" "$work/unit.cfg" "${common[@]}" --wait 5 2>&1); rc=$?
check "restore exits 0" "0" "$rc"
check "snmpget: the gateway is back" "127.0.0.254" "$(get "$kdv" $E.6.3.1.4.2.0)"
lacks "snmpget: the location is back" "elsewhere" "$(get "$kdv" 1.3.6.1.2.1.1.6.0)"
before=$(sets)
"$ctl" restore "$kdv" "$work/unit.cfg" "${common[@]}" --wait 5 >/dev/null 2>&1
check "an unchanged file sends only the reset" "$((before + 1))" "$(sets)"
check "and that SET is the reset" "$E.2.2.0" "$(grep '"pdu":"set"' "$work/log.jsonl" | tail -1)"

# --- families ---
out=$(TRELLAN_SNMP_PORT=$hlq_port "$ctl" restore "$hlq" "$work/unit.cfg" "${common[@]}" --family HLQ --dry-run 2>&1); rc=$?
check "another family: exit 0" "0" "$rc"
lacks "another family: none of the private keys" "SET $H.6" "$out"
lacks "another family: nothing of the file's family" "SET $E" "$out"
check "another family: its own reset" "SET $H.2.2.0 = 2 (reset)" "$out"
out=$(TRELLAN_SNMP_PORT=$zbn_port "$ctl" restore "$zbn" "$work/unit.cfg" "${common[@]}" --dry-run 2>&1); rc=$?
check "a family of the same prefix takes the file" "SET $E.6.3.1.4.2.0 = 127.0.0.254" "$out"

# --- a file written by hand ---
out=$("$ctl" restore "$kdv" "$src/tests/config/data/windows-style.cfg" "${common[@]}" --dry-run 2>&1); rc=$?
check "a hand-written file with faults: exit 1" "1" "$rc"
check "with the summary" "There was an error restoring values from file.  One or more values did not restore correctly." "$out"
check "what loaded is listed" "SET $E.6.3.1.4.2.0 = 10.9.8.7" "$out"
lacks "the malformed mask is not" "$E.6.3.1.4.3.0" "$out"

# --- reset and restore defaults ---
out=$("$ctl" reset "$kdv" "${common[@]}" --list); rc=$?
check "reset --list" "Output Ports" "$out"
check "reset --list has TCP/IP" "TCP/IP" "$out"
out=$("$ctl" reset "$kdv" "${common[@]}" --defaults Nothing 2>&1); rc=$?
check "an unknown part is a usage error" "2" "$rc"
"$ctl" config "$kdv" "${common[@]}" --wait 5 --set default_gateway=127.0.0.7 --set system_location=kept >/dev/null 2>&1
check "changed again" "127.0.0.7" "$(get "$kdv" $E.6.3.1.4.2.0)"
before=$(sets)
out=$("$ctl" reset "$kdv" "${common[@]}" --wait 5 --defaults tcp/ip 2>&1); rc=$?
check "restore defaults of TCP/IP exits 0" "0" "$rc"
check "one SET for one part" "$((before + 1))" "$(sets)"
check "the TCP/IP trigger" "$E.6.3.1.3.1.0" "$(grep '"pdu":"set"' "$work/log.jsonl" | tail -1)"
check "TCP/IP is back to the factory value" "127.0.0.254" "$(get "$kdv" $E.6.3.1.4.2.0)"
check "the SNMP part is not touched" "kept" "$(get "$kdv" 1.3.6.1.2.1.1.6.0)"
before=$(sets)
out=$("$ctl" reset "$kdv" "${common[@]}" --wait 5 --defaults "Output Ports" --defaults TCP/IP \
  --defaults NetWare --defaults VINES --defaults EtherTalk --defaults Wireless 2>&1); rc=$?
check "every part selected is restore all" "$E.2.4.0" "$(grep '"pdu":"set"' "$work/log.jsonl" | tail -1)"
out=$("$ctl" reset "$kdv" "${common[@]}" --wait 5 2>&1); rc=$?
check "reset exits 0" "0" "$rc"
check "reset sends the reset trigger" "$E.2.2.0" "$(grep '"pdu":"set"' "$work/log.jsonl" | tail -1)"

echo "passed $passed, failed $failed"
[ "$failed" -eq 0 ]
