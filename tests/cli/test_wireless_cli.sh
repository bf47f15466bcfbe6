#!/usr/bin/env bash
# trellanctl config on the wireless units of trellan-sim (sim/data/wireless-fleet.json): the
# Wireless page shown without its secrets, refused values (exit 2, nothing sent), a unit
# reconfigured and read back by net-snmp's snmpget after its reset, and --certificate sent to the
# unit's FTP receiver byte for byte, with the dialog's messages when it cannot be.
set -uo pipefail

. "$(dirname "$0")/sim_cli_common.sh"
need snmpget cmp

free_port() {  # free_port udp|tcp
  python3 -c 'import socket,sys
s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM if sys.argv[1]=="udp" else socket.SOCK_STREAM)
s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' "$1"
}
snmp_port=$(free_port udp)
ftp_port=$(free_port tcp)
"$dir/trellan-sim" --data "$src/sim/data/wireless-fleet.json" --snmp-port "$snmp_port" --ftp-port "$ftp_port" \
  --ftp-dir "$work/received" --discovery-port 0 --ipx-discovery-port 0 --ipx-snmp-port 0 --second-family-port 0 \
  --ready-file "$work/ready.json" --log "$work/log.jsonl" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready.json" ] && break; sleep 0.1; done
[ -s "$work/ready.json" ] || { echo "FAIL: trellan-sim did not start: $(cat "$work/sim.err")"; exit 1; }
export TRELLAN_SNMP_PORT=$snmp_port TRELLAN_FTP_PORT=$ftp_port
E=1.3.6.1.4.1.1240.2.3.5
unit=127.0.6.4
ctl() { "$dir/trellanctl" config "$@" --community vorlak --timeout 50 --wait 5; }
sets() { grep '"pdu":"set"' "$work/log.jsonl" | grep -c "\"device\":\"$1\""; }

out=$(ctl "$unit"); rc=$?
check "show exits 0" "0" "$rc"
check "Wireless page" "[Wireless]" "$out"
check "SSID shown" "ssid = trellan-lab" "$out"
check "country by code" "country = US " "$out"
lacks "no WEP key printed" "wep_key" "$out"
lacks "no 802.1x password printed" "user_password" "$out"
out=$(ctl "$unit" --json); rc=$?
check "--json exits 0" "0" "$rc"
check "--json wireless names" '"wireless_mode": "Infrastructure"' "$out"

out=$(ctl "$unit" --set channel=200 2>&1); rc=$?
check "a channel the unit does not offer exits 2" "2" "$rc"
check "with the channels offered" "takes one of: 0, 1, 2" "$out"
out=$(ctl "$unit" --set "auth_type=Open System" --set "encryption=64-Bit WEP" --set wep_key1=012345678 2>&1); rc=$?
check "a short key exits 2" "2" "$rc"
check "with the dialog's message" "The WEP Key must be 10 characters." "$out"
out=$(ctl "$unit" --set "auth_type=Open System" --set "encryption=64-Bit WEP" --set wep_key2=01234567zz 2>&1); rc=$?
check "a key that is not hexadecimal exits 2" "2" "$rc"
check "with the dialog's message" "The WEP Key only accepts HEX (i.e. 0-9, a-f, A-F)." "$out"
out=$(ctl "$unit" --set "auth_type=Open System" --set encryption=WPA 2>&1); rc=$?
check "WPA with Open System exits 2" "2" "$rc"
check "with the combination message" "The combination of 'Encryption Mode' and 'Authentication Type' is not valid." "$out"
out=$(ctl "$unit" --set ssid=123456789012345678901234567890123 2>&1); rc=$?
check "a 33-character SSID exits 2" "2" "$rc"
check "refused values send nothing" "0" "$(sets "$unit")"

out=$(ctl "$unit" --set "auth_type=Open System" --set "encryption=64-Bit WEP" --set wep_key1=A1B2C3D4E5 \
  --set user_password=s3cret --dry-run); rc=$?
check "--dry-run exits 0" "0" "$rc"
check "--dry-run lists the key row" "SET $E.8.3.7.1.2.1 = (hidden)" "$out"
check "--dry-run hides the password" "SET $E.8.3.31.0 = (hidden)" "$out"
lacks "--dry-run never prints the key" "A1B2C3D4E5" "$out"
lacks "--dry-run never prints the password" "s3cret" "$out"
check "--dry-run sends nothing" "0" "$(sets "$unit")"

out=$(ctl "$unit" --set "encryption=64-Bit WEP" --set wep_key1=A1B2C3D4E5 2>&1); rc=$?
check "WEP with PSK exits 2" "2" "$rc"
check "with the combination message" "The combination of 'Encryption Mode' and 'Authentication Type' is not valid." "$out"
out=$(ctl "$unit" --set ssid=floor-9 --set "wireless_mode=Ad Hoc (802.11)" --set channel=13 \
  --set "auth_type=Open System" --set "encryption=64-Bit WEP" --set wep_key1=A1B2C3D4E5 2>&1); rc=$?
check "a real change exits 0" "0" "$rc"
check "two SETs and the reset" "3" "$(sets "$unit")"
check "the key went as five bytes" '"hex":"A1B2C3D4E5"' "$(grep '"pdu":"set"' "$work/log.jsonl")"
out=$(snmpget -v1 -c vorlak -r 2 -t 1 -Oqv "$unit:$snmp_port" $E.8.3.4.0 $E.8.3.2.0 $E.8.3.1.0 $E.8.3.5.0 \
  $E.8.3.7.1.2.1 2>&1)
check "snmpget reads the new values back" $'"floor-9"\n13\n1\n1\n"*"' "$out"

printf 'certificate\r\n\0\377 bytes' >"$work/printer.pem"
out=$(ctl "$unit" --certificate "$work/printer.pem" --device-password lab-pass 2>&1); rc=$?
check "--certificate exits 0" "0" "$rc"
check "--certificate says so" "Certificate sent to $unit." "$out"
cmp -s "$work/printer.pem" "$work/received/$unit/cert"; check "the file arrives byte for byte" "0" "$?"
out=$(echo lab-pass | ctl 127.0.6.1 --certificate "$work/printer.pem" --json 2>&1); rc=$?
check "the password from standard input" "0" "$rc"
check "--json says sent" '"certificate": "sent"' "$out"
out=$(ctl "$unit" --certificate "$work/printer.pem" --device-password wrong 2>&1); rc=$?
check "a refused login exits 1" "1" "$rc"
check "with the dialog's message" "Error sending certificate file to device." "$out"
out=$(ctl "$unit" --certificate "$work/missing.pem" --device-password lab-pass 2>&1); rc=$?
check "a missing file exits 1" "1" "$rc"
check "with the dialog's message" "Error sending certificate file to device." "$out"
out=$(ctl 127.0.6.20 --certificate "$work/printer.pem" --device-password lab-pass 2>&1); rc=$?
check "a unit without FTP exits 1" "1" "$rc"
check "cannot send" "Error sending certificate file to device." "$out"
out=$(ctl 127.0.6.21 --certificate "$work/printer.pem" --device-password lab-pass 2>&1); rc=$?
check "a wired unit exits 1" "1" "$rc"
check "no wireless" "the unit has no wireless interface" "$out"
out=$(ctl "$unit" --certificate "" --device-password lab-pass 2>&1); rc=$?
check "an empty file name exits 2" "2" "$rc"
check "with the dialog's message" "No certificate filename specified." "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
