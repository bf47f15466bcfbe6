#!/usr/bin/env bash
# trellanctl's conventions: usage errors exit 2 with nothing on stdout, the loopback guard says
# so, JSON keys in camelCase with typed values, valid JSON for any bytes, a failed query prints
# its reason, settings leaves a corrupt file alone, and the man page and the bash completion
# agree with --help.
set -u
bin="${TRELLAN_BIN_DIR:?}"
ctl="$bin/trellanctl"
failures=0
passes=0

fail() { failures=$((failures + 1)); printf 'FAIL %s\n' "$*"; }
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then passes=$((passes + 1)); else fail "$1"$'\n'"  expected: $2"$'\n'"  actual:   $3"; fi
}
contains() {  # contains NAME PATTERN TEXT
  if grep -qE -- "$2" <<<"$3"; then passes=$((passes + 1)); else fail "$1: '$2' not in:"$'\n'"$3"; fi
}
valid_json() {  # valid_json NAME FILE: strict UTF-8 and JSON
  if python3 -c 'import json,sys; json.loads(open(sys.argv[1], "rb").read().decode("utf-8", "strict"))' "$2" 2>/dev/null
  then passes=$((passes + 1)); else fail "$1: not valid UTF-8 JSON:"$'\n'"$(head -c 600 "$2")"; fi
}
# json_eq NAME FILE PYTHON-EXPRESSION(j) EXPECTED
json_eq() {
  local got
  got=$(python3 -c 'import json,sys; j=json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' "$2" "$3" 2>&1)
  check "$1" "$4" "$got"
}
command -v python3 >/dev/null || { echo "FAIL python3 is needed to check JSON"; exit 1; }
command -v groff >/dev/null || { echo "FAIL groff is needed to check the man page"; exit 1; }

scratch=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
export TRELLAN_REGISTRY="$scratch/Trellan.reg"
export TRELLAN_LOOPBACK_ONLY=1

# --- usage errors: exit 2, a message on stderr, nothing on stdout, nothing sent -------------------
while IFS='|' read -r name pattern args; do
  eval "set -- $args"
  out=$("$ctl" "$@" 2>"$scratch/err")
  rc=$?
  check "$name (exit)" 2 "$rc"
  check "$name (stdout empty)" "" "$out"
  contains "$name (message)" "$pattern" "$(cat "$scratch/err")"
done <<'TABLE'
no command|Usage: trellanctl|
unknown command|not expected: bogus|bogus
unknown option|not expected: --bogus|get --bogus 127.0.0.1 1.3.6
get without address|ADDRESS is required|get
get of an invalid address|'999.1.1.1' is not an IPv4 address|get 999.1.1.1 1.3.6.1.2.1.1.5.0
get of an invalid IPX address|is not an IPX address|get 0000zzzz-0200 1.3.6
get of a serial port that is none|is not a serial port|get COM0 1.3.6
set of an invalid address|is not an IPv4 address|set 1.2.3 1.3.6=int:1
walk of an invalid address|is not an IPv4 address|walk 300.1.1.1
read of an invalid address|is not an IPv4 address|read 127.0.0.256 CTcpIpGroup
timeout out of range|--timeout: Value 0 not in range|get --timeout 0 127.0.0.1 1.3.6
walk --max out of range|--max: Value 0 not in range|walk --max 0 127.0.0.1
discover of an invalid address|'999.1.1.1' is not a search entry|discover 999.1.1.1
discover of a word|'foo' is not a search entry|discover foo
discover of a missing file|the file cannot be read|discover 'File</nonexistent>'
discover of a broken multicast|is not a search entry|discover $'Multicast\n<abc>'
discover --timeout out of range|--timeout: Value 0 not in range|discover --timeout 0
discover --port out of range|--port: Value 70000 not in range|discover --port 70000
query of an invalid address|is no IPv4 address|query 999.9.9.9
views create with an unknown protocol|--protocol: pigeon not in|views create X --protocol pigeon
views create with an invalid entry|The IP address is invalid|views create X --protocol tcpip --entry 10.1.2
traps --count out of range|--count: Value 0 not in range 1|traps --count 0
completion for an unknown shell|--completion: zsh not in|--completion zsh
discover --view of an empty name|--view needs a view name|discover --view ''
TABLE

# --- the loopback guard says so, exit 1 ---------------------------------------------------------
while IFS='|' read -r name args; do
  eval "set -- $args"
  "$ctl" "$@" >/dev/null 2>"$scratch/err"
  check "$name (exit)" 1 "$?"
  contains "$name (message)" "refused by the loopback guard: .* TRELLAN_LOOPBACK_ONLY" "$(cat "$scratch/err")"
done <<'TABLE'
get outside loopback|get 10.0.0.1 1.3.6.1.2.1.1.5.0
query outside loopback|query 10.0.0.1
discover outside loopback|discover 10.0.0.*
TABLE

# --- help, man page and completion from one description --------------------------------------
"$ctl" --help >"$scratch/help"
check "--help exit" 0 "$?"
contains "--help states the conventions" "Keys are camelCase" "$(cat "$scratch/help")"
"$ctl" --man >"$scratch/trellanctl.1"
check "--man exit" 0 "$?"
"$ctl" --completion bash >"$scratch/completion.bash"
check "--completion exit" 0 "$?"
for section in NAME SYNOPSIS DESCRIPTION COMMANDS "EXIT STATUS" ENVIRONMENT FILES; do
  contains "man page section $section" "^\.SH \"?$section" "$(cat "$scratch/trellanctl.1")"
done
contains "man page lists TRELLAN_REGISTRY" '^\.B TRELLAN_REGISTRY' "$(cat "$scratch/trellanctl.1")"
contains "man page lists TRELLAN_LOOPBACK_ONLY" '^\.B TRELLAN_LOOPBACK_ONLY' "$(cat "$scratch/trellanctl.1")"
warnings=$(groff -man -Tutf8 -ww -z "$scratch/trellanctl.1" 2>&1)
check "groff -ww finds nothing to warn about" "" "$warnings"
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$scratch/trellanctl.1" 2>&1 >/dev/null)
  check "man --warnings finds nothing to warn about" "" "$warnings"
fi
bash -n "$scratch/completion.bash"
check "completion script parses" 0 "$?"

# Every subcommand of every --help, with each of its options, is in the man page and the completion.
commands=$(sed -n '/^Subcommands:/,/^$/p' "$scratch/help" | awk 'NF > 1 {print $1}')
check "--help lists the subcommands" "yes" "$([ "$(wc -l <<<"$commands")" -ge 15 ] && echo yes || echo no)"
all="$commands"
for c in $commands; do
  subs=$("$ctl" "$c" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NF > 1 {print $1}')
  for s in $subs; do all+=$'\n'"$c $s"; done
done
while read -r path; do
  [ -z "$path" ] && continue
  # shellcheck disable=SC2086
  "$ctl" $path --help >"$scratch/sub" 2>&1
  # roff writes a hyphen in a name as "\-", as in the option names below.
  grep -qF -- ".SS \"${path//-/\\-}" "$scratch/trellanctl.1" && passes=$((passes + 1)) || fail "man page lacks '$path'"
  grep -qF -- "'$path')" "$scratch/completion.bash" && passes=$((passes + 1)) || fail "completion lacks '$path'"
  for opt in $(grep -oE '^  (-[a-z],)?--[a-z][a-z-]*' "$scratch/sub" | sed 's/.*--/--/' | grep -v -- '--help'); do
    man_text=$(awk -v p=".SS \"${path//-/\\\\-}" 'index($0, p) == 1 {on = 1; next} /^\.SS|^\.SH/ {on = 0} on' "$scratch/trellanctl.1")
    grep -qF -- "\\fB${opt//-/\\-}\\fR" <<<"$man_text" && passes=$((passes + 1)) || fail "man page lacks $path $opt"
    line=$(awk -v p="    '$path')" '$0 == p {getline; print}' "$scratch/completion.bash")
    grep -qF -- " $opt" <<<" ${line#*=\'}" && passes=$((passes + 1)) || fail "completion lacks $path $opt: $line"
  done
done <<<"$all"

# The completion at work: subcommands, options, choices, and view names from the settings file.
"$ctl" views create 'Lab Printers' --protocol tcpip >/dev/null || fail "views create Lab Printers"
complete_words() {  # complete_words WORD...: what completing the last word offers
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _trellanctl; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$scratch/completion.bash" "$@"
}
PATH="$bin:$PATH"
check "completes a subcommand" "views" "$(complete_words trellanctl vie)"
check "completes a nested subcommand" "create" "$(complete_words trellanctl views cr)"
check "completes an option" "--timeout" "$(complete_words trellanctl get --time)"
check "completes a choice" "getnext" "$(complete_words trellanctl encode --type getn)"
# A name with a space is offered escaped: the shell inserts the reply as it is.
check "completes a view name" 'Lab\ Printers' "$(complete_words trellanctl views show La)"
check "completes a view for --view" 'Lab\ Printers' "$(complete_words trellanctl discover --view La)"
check "completes an escaped view name" 'Lab\ Printers' "$(complete_words trellanctl views show 'Lab\ P')"
check "completes the subcommands after a global option" "query" "$(complete_words trellanctl --json qu)"
check "completes after a flag of a subcommand" "--csv" "$(complete_words trellanctl discover --local --cs)"

# --- JSON for any bytes -----------------------------------------------------------------------
# A view's search entry with a Latin-1 byte in the settings file (written as another program would).
"$ctl" views create Cafe --protocol tcpip --entry 127.0.0.1 >/dev/null || fail "views create Cafe"
sed -i $'s/"dev0"="127.0.0.1"/"dev0"="Caf\xe9"/' "$TRELLAN_REGISTRY"
"$ctl" --json views show Cafe >"$scratch/show.json"
check "views show --json with a Latin-1 entry (exit)" 0 "$?"
valid_json "views show --json with a Latin-1 entry" "$scratch/show.json"
json_eq "the byte is U+FFFD" "$scratch/show.json" 'j["searchList"] == ["Caf\ufffd"]' "True"
"$ctl" --json views >"$scratch/views.json"
valid_json "views --json" "$scratch/views.json"
"$ctl" --json settings >"$scratch/settings.json"
check "settings --json (exit)" 0 "$?"
valid_json "settings --json" "$scratch/settings.json"
# A received text: a message whose community and value carry the byte.
"$ctl" --json decode "$("$ctl" encode --type response --community $'p\xe9' 1.3.6.1.2.1.1.5.0=octets:$'Caf\xe9')" \
  >"$scratch/decode.json"
check "decode --json of Latin-1 bytes (exit)" 0 "$?"
valid_json "decode --json of Latin-1 bytes" "$scratch/decode.json"

# --- settings leaves a corrupt file where it is ----------------------------------------------
corrupt="$scratch/corrupt.reg"
printf 'this is not a settings file\n[[[\n' >"$corrupt"
before=$(md5sum <"$corrupt")
TRELLAN_REGISTRY="$corrupt" "$ctl" settings >"$scratch/out" 2>"$scratch/err"
check "settings with a corrupt file (exit)" 0 "$?"
contains "settings says the file is corrupt" "is corrupt" "$(cat "$scratch/err")"
check "the corrupt file is unchanged" "$before" "$(md5sum <"$corrupt")"
check "nothing was moved aside" "" "$(ls "$scratch" | grep corrupt-)"
TRELLAN_REGISTRY="$corrupt" "$ctl" --json settings >"$scratch/out" 2>/dev/null
valid_json "settings --json with a corrupt file" "$scratch/out"
TRELLAN_REGISTRY="$corrupt" "$ctl" get --timeout 1 127.0.0.1 1.3.6 >/dev/null 2>&1
check "a command that only reads leaves it too" "$before" "$(md5sum <"$corrupt")"

# --- against the simulator: typed JSON, progress on stderr, a failed query ------------------
sim="$bin/trellan-sim"
[ -x "$sim" ] || { fail "trellan-sim is not built"; printf '%d passed, %d failed\n' "$passes" "$failures"; exit 1; }
base=$((30000 + ($$ % 500) * 8))
"$sim" --count 2 --first 127.0.97.1 --snmp-port 0 --discovery-port "$base" --ipx-discovery-port 0 --ipx-snmp-port 0 \
  --second-family-port $((base + 1)) --ready-file "$scratch/ready.json" >"$scratch/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$scratch/ready.json" ] && break; sleep 0.1; done

"$ctl" --json discover --port "$base" --timeout 1500 127.0.97.1 127.0.97.2 >"$scratch/discover.json" 2>"$scratch/err"
check "discover --json (exit)" 0 "$?"
valid_json "discover --json" "$scratch/discover.json"
json_eq "discover: camelCase keys" "$scratch/discover.json" 'sorted(j["devices"][0].keys())' \
  "['answered', 'configured', 'datecode', 'hwAddress', 'ipAddress', 'productType', 'serialNumber', 'status', 'systemName']"
json_eq "discover: answered is a boolean" "$scratch/discover.json" 'type(j["devices"][0]["answered"]).__name__' "bool"
json_eq "discover: stopped is a boolean" "$scratch/discover.json" 'type(j["stopped"]).__name__' "bool"
contains "discover reports found units on stderr" "^found 127.0.97.1" "$(cat "$scratch/err")"
"$ctl" discover --port "$base" --timeout 1500 127.0.97.1 >"$scratch/out" 2>"$scratch/err"
check "discover (plain) puts progress on stderr only" "" "$(grep '^found' "$scratch/out")"
contains "discover (plain) lists on stdout" "^System Name" "$(cat "$scratch/out")"

"$ctl" --json query --port "$base" --timeout 1500 127.0.97.1 >"$scratch/query.json"
check "query --json (exit)" 0 "$?"
valid_json "query --json" "$scratch/query.json"
json_eq "query: typed values" "$scratch/query.json" \
  '[type(j[k]).__name__ for k in ("answered", "configured", "statusLevel", "portCount", "replyFormat", "systemName")]' \
  "['bool', 'bool', 'int', 'int', 'int', 'str']"
json_eq "query: no key with a space or capital first letter" "$scratch/query.json" \
  '[k for k in j if " " in k or k[0].isupper()]' "[]"

"$ctl" query --port "$base" --timeout 300 127.0.97.9 >"$scratch/out" 2>"$scratch/err"
check "query of a silent address (exit)" 1 "$?"
check "query of a silent address prints no record" "" "$(cat "$scratch/out")"
contains "query of a silent address says why" "127.0.97.9: no answer within 300 ms" "$(cat "$scratch/err")"
"$ctl" --json query --port "$base" --timeout 300 127.0.97.9 >"$scratch/out" 2>/dev/null
valid_json "query --json failure" "$scratch/out"
json_eq "query --json failure says why" "$scratch/out" 'list(j.keys())' "['error']"

printf '%d passed, %d failed\n' "$passes" "$failures"
[ "$failures" -eq 0 ]
