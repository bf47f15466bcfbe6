#!/usr/bin/env bash
# trellan's shell: --help and usage errors, settings written on start, clean exit on SIGTERM and
# SIGINT with the window state saved, a second instance handing over to the first, /new, and
# trellanctl settings.
set -u
bin="${TRELLAN_BIN_DIR:?}"
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

contains() {  # contains NAME PATTERN FILE
  if grep -qE -- "$2" "$3"; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    printf 'FAIL %s: %s not in %s:\n' "$1" "$2" "$3"
    cat "$3"
  fi
}

# wait_for CONDITION...: up to 20 s.
wait_for() {
  local i
  for i in $(seq 200); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

scratch=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
  rm -rf "$scratch"
}
trap cleanup EXIT

mkdir -p "$scratch/run" "$scratch/legacy"
chmod 700 "$scratch/run"
export XDG_RUNTIME_DIR="$scratch/run"
export TRELLAN_REGISTRY="$scratch/Trellan.reg"
export TRELLAN_LEGACY_DIR="$scratch/legacy"
export XDG_STATE_HOME="$scratch/state"
export QT_QPA_PLATFORM=offscreen
# The instance socket: the user id and a digest of the settings file and the display.
socket_of() { ls "$scratch/run/trellan-$(id -u)-"* 2>/dev/null | head -1; }
# rect: the window rectangle stored in the settings file, as "Left Top Right Bottom".
rect() {
  local name out=""
  for name in Left Top Right Bottom; do
    out="$out $(grep -o "\"$name\"=dword:[0-9a-f]*" "$TRELLAN_REGISTRY" | head -1 | cut -d: -f2)"
  done
  echo "${out# }"
}

# --- options ---
timeout 20 "$bin/trellan" --help >"$scratch/help" 2>&1
check "--help exit" 0 $?
contains "--help text" '^Usage: trellan' "$scratch/help"
timeout 20 "$bin/trellan" --version >"$scratch/version" 2>&1
check "--version exit" 0 $?
contains "--version text" '^trellan [0-9]' "$scratch/version"
timeout 20 "$bin/trellan" --frobnicate >"$scratch/bad" 2>&1
check "unknown option exit" 2 $?
contains "unknown option text" "unrecognized option '--frobnicate'" "$scratch/bad"
timeout 20 "$bin/trellan" --view >"$scratch/bad" 2>&1
check "--view without a name exit" 2 $?
check "--help writes no settings" no "$([ -e "$TRELLAN_REGISTRY" ] && echo yes || echo no)"

# --- first instance: settings with defaults, then a second instance hands over ---
# Without a screen nobody can answer the first start's view editor: the view comes first.
"$bin/trellanctl" views create 'All Print Servers' --protocol tcpip >/dev/null
timeout 120 "$bin/trellan" >"$scratch/first.out" 2>&1 &
first=$!
pids+=("$first")
wait_for sh -c '[ -S "$(ls "$0"/trellan-* 2>/dev/null | head -1)" ]' "$scratch/run"
check "first instance listens" 0 $?
socket=$(socket_of)
contains "defaults written" '"GetTimeout"=dword:000001f4' "$TRELLAN_REGISTRY"
contains "discovery port written" '"DiscoveryPort"=dword:00001069' "$TRELLAN_REGISTRY"
contains "first run counted" '"RunIndex"=dword:00000001' "$TRELLAN_REGISTRY"
first_rect=$(rect)
check "first window rectangle stored" 4 "$(echo "$first_rect" | wc -w)"

timeout 20 "$bin/trellan" >"$scratch/second.out" 2>&1
check "second instance exits 0" 0 $?
wait_for grep -q "brought to the front" "$scratch/first.out"
check "first instance was raised" 0 $?
kill -0 "$first" 2>/dev/null
check "first instance still runs" 0 $?

# --- /new: a second window at the top-left corner with the stored size ---
timeout 120 "$bin/trellan" /new /v Lab >"$scratch/third.out" 2>&1 &
third=$!
pids+=("$third")
wait_for grep -q '"CurrentView"="Lab"' "$TRELLAN_REGISTRY"
check "/new /v writes the view" 0 $?
new_rect=$(rect)
check "/new starts a step from the first window" yes "$([ "$new_rect" != "$first_rect" ] && echo yes || echo no)"
kill -0 "$third" 2>/dev/null
check "/new instance runs beside the first" 0 $?
kill -INT "$third"
wait "$third"
check "SIGINT exits 0" 0 $?

# --- SIGTERM closes the first window, saving its rectangle ---
kill -TERM "$first"
wait "$first"
check "SIGTERM exits 0" 0 $?
# /new stored its top-left rectangle; the first window, never moved, saves its own over it.
check "rectangle saved" "$first_rect" "$(rect)"
check "socket gone after exit" no "$([ -S "$socket" ] && echo yes || echo no)"

# --- trellanctl settings ---
timeout 20 "$bin/trellanctl" settings >"$scratch/settings" 2>&1
check "settings exit" 0 $?
contains "settings file shown" "Settings file: $TRELLAN_REGISTRY" "$scratch/settings"
contains "settings value shown" 'GetTimeout = 500  \(default\)' "$scratch/settings"
contains "environment shown" "TRELLAN_LEGACY_DIR=$TRELLAN_LEGACY_DIR" "$scratch/settings"
timeout 20 "$bin/trellanctl" settings --json >"$scratch/settings.json" 2>&1
check "settings --json exit" 0 $?
contains "json registry" "\"registry\": \"$TRELLAN_REGISTRY\"" "$scratch/settings.json"
contains "json family" '"code": "HLQ"' "$scratch/settings.json"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
