#!/usr/bin/env bash
# trellanctl encode and decode: exact bytes, round trips, error messages and exit codes.
set -u
bin="${TRELLAN_BIN_DIR:?}/trellanctl"
failures=0
passes=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
  fi
}

# expect_exit NAME CODE PATTERN COMMAND...: exit code and a stderr line matching PATTERN.
expect_exit() {
  local name=$1 code=$2 pattern=$3
  shift 3
  local err rc
  err=$("$@" 2>&1 >/dev/null)
  rc=$?
  check "$name (exit)" "$code" "$rc"
  if ! grep -qE -- "$pattern" <<<"$err"; then
    failures=$((failures + 1))
    printf 'FAIL %s\n  stderr does not match %s:\n%s\n' "$name" "$pattern" "$err"
  fi
}

# The GET of sysName.0 with request id 2 and community "public".
get_hex="30 26 02 01 00 04 06 70 75 62 6c 69 63 a0 19 02 01 02 02 01 00 02 01 00 30 0e 30 0c 06 08 2b 06 01 02 01 01 05 00 05 00"
check "encode GET" "$get_hex" "$("$bin" encode --type get --community public --request-id 2 1.3.6.1.2.1.1.5.0)"
check "encode GET, explicit null" "$get_hex" "$("$bin" encode --request-id=2 1.3.6.1.2.1.1.5.0=null)"

# Value forms on the wire.
while IFS='|' read -r spec bytes; do
  out=$("$bin" encode --type response --request-id 1 1.3.6.1="$spec")
  check "encode $spec" "$bytes" "${out: -${#bytes}}"
done <<'TABLE'
int:-1|02 01 ff
int:128|02 02 00 80
int:255|02 02 00 ff
gauge32:4294967295|42 05 00 ff ff ff ff
counter32:0|41 01 00
timeticks:2147483648|43 05 00 80 00 00 00
uint32:5|47 01 05
counter64:18446744073709551615|46 09 00 ff ff ff ff ff ff ff ff
octets:ab|04 02 61 62
hex:00ff|04 02 00 ff
ipaddr:10.0.0.7|40 04 0a 00 00 07
oid:1.3.6.1.4.1|06 05 2b 06 01 04 01
opaque:0102|44 02 01 02
nsap:470005|45 03 47 00 05
bits:a5f0/12|03 03 04 a5 f0
bits:a5|03 02 00 a5
nosuchobject|80 00
endofmibview|82 00
TABLE

# Round trip: decode prints each binding as OID = SYNTAX:VALUE, the form encode reads.
specs=(1.3.6.1.2.1.1.1.0=octets:LaserJet 1.3.6.1.2.1.1.3.0=timeticks:360000 1.3.6.1.2.1.2.1.0=int:-7
       1.3.6.1.4.1.1240.1=hex:00ff10 1.3.6.1.4.1.1240.2=ipaddr:192.168.1.20 1.3.6.1.4.1.1240.3=oid:1.3.6.1.4.1.1240
       1.3.6.1.4.1.1240.4=counter64:4294967296 1.3.6.1.4.1.1240.5=bits:a5f0/12 1.3.6.1.4.1.1240.6=gauge32:7
       1.3.6.1.4.1.1240.7=nosuchinstance)
hex=$("$bin" encode --type response --community private --request-id 77 --error-status 2 --error-index 3 "${specs[@]}")
decoded=$("$bin" decode $hex)
check "decode header" "version: 0 (SNMPv1)
community: private
PDU type: response (0xA2)
request id: 77
error status: 2 (noSuchName)
error index: 3
bindings: 10" "$(head -7 <<<"$decoded")"
for spec in "${specs[@]}"; do
  line="  ${spec/=/ = }"
  grep -qxF -- "$line" <<<"$decoded" || { failures=$((failures + 1)); printf 'FAIL round trip of %s\n%s\n' "$spec" "$decoded"; }
done
check "decode accepts joined hex" "$decoded" "$("$bin" decode "${hex// /}")"

# JSON output.
json=$("$bin" --json decode $get_hex)
check "json pduType" '"pduType": "get",' "$(grep -o '"pduType": "get",' <<<"$json")"
check "json requestId" '"requestId": 2,' "$(grep -o '"requestId": 2,' <<<"$json")"
check "json oid" '"oid": "1.3.6.1.2.1.1.5.0",' "$(grep -o '"oid": "1.3.6.1.2.1.1.5.0",' <<<"$json")"
check "encode json" '"length": 40' "$("$bin" encode --json 1.3.6.1.2.1.1.5.0 | grep -o '"length": 40')"

# A v1 trap arrives as an SNMPv2 trap.
trap_hex=$("$bin" encode --type trap --enterprise 1.3.6.1.4.1.1240.2.3.5 --agent-addr 10.0.0.5 --generic 6 --specific 17 \
  --timestamp 12345 1.3.6.1.2.1.2.2.1.1.3=int:3)
check "v1 trap decoded" "PDU type: trap2 (0xA7)
request id: 1
error status: 0 (noError)
error index: 0
bindings: 4
  1.3.6.1.2.1.1.3.0 = timeticks:12345
  1.3.6.1.6.3.1.1.4.1.0 = oid:1.3.6.1.4.1.1240.2.3.5.0.17
  1.3.6.1.2.1.2.2.1.1.3 = int:3
  1.3.6.1.6.3.1.1.4.3.0 = oid:1.3.6.1.4.1.1240.2.3.5" "$("$bin" decode $trap_hex | tail -n +3)"

# Undecodable messages: exit 1 with the engine's error name and code.
expect_exit "version 1" 1 '^trellanctl decode: SNMPAPI_MESSAGE_INVALID \(19\)$' "$bin" decode 30 03 02 01 01
expect_exit "cut message" 1 'SNMPAPI_OUTPUT_TRUNCATED \(11\)' "$bin" decode "${get_hex:0:30}"
expect_exit "trailing bytes" 1 '2 bytes follow the end of the message' "$bin" decode $get_hex 00 00
expect_exit "too long to encode" 1 'SNMPAPI_OUTPUT_TRUNCATED \(11\)' "$bin" encode 1.3.6=hex:$(printf '00%.0s' $(seq 1400))
expect_exit "OID of one arc" 1 'SNMPAPI_OID_INVALID \(9\)' "$bin" encode 1=null

# Bad input: a clear message, exit 2.
expect_exit "no hex" 2 'HEX is required' "$bin" decode
expect_exit "not hex" 2 "'zz' is not a sequence of hex bytes" "$bin" decode zz
expect_exit "odd hex" 2 'is not a sequence of hex bytes' "$bin" decode 3
expect_exit "unknown type" 2 "--type: walk not in \\{get,getnext,set" "$bin" encode --type walk 1.3.6
expect_exit "unknown syntax" 2 "unknown syntax 'float'" "$bin" encode 1.3.6=float:1.5
expect_exit "int out of range" 2 "'2147483648' is not a valid int value" "$bin" encode 1.3.6=int:2147483648
expect_exit "negative unsigned" 2 "'-1' is not a valid gauge32 value" "$bin" encode 1.3.6=gauge32:-1
expect_exit "bad address" 2 "'10.0.0.256' is not a valid ipaddr value" "$bin" encode 1.3.6=ipaddr:10.0.0.256
expect_exit "bad OID" 2 "'1.3.x' is not a dotted OID" "$bin" encode 1.3.x=int:1
expect_exit "bits too long" 2 "length in bits must fit" "$bin" encode 1.3.6=bits:a5/9
expect_exit "null with value" 2 "null takes no value" "$bin" encode 1.3.6=null:1
expect_exit "request id" 2 "Could not convert: --request-id = abc" "$bin" encode --request-id abc 1.3.6
expect_exit "request id above 32 bits" 2 "Could not convert: --request-id = 2147483648" "$bin" encode --request-id 2147483648 1.3.6
expect_exit "generic trap out of range" 2 "--generic: Value 7 not in range 0 to 6" "$bin" encode --type trap --generic 7
expect_exit "unknown option" 2 "not expected: --bogus" "$bin" encode --bogus 1.3.6

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
