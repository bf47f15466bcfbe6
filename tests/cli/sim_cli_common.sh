# Sourced by the trellanctl script tests that run trellan-sim: where the programs are, need TOOL...
# (a missing tool fails the test), a scratch folder $work removed at exit together with the
# simulator the test started ($sim_pid), net-snmp's tools kept to that folder, and the checks.
dir="${TRELLAN_BIN_DIR:-$(dirname "$0")/../../build/bin}"
src="${TRELLAN_SOURCE_DIR:-$(dirname "$0")/../..}"
need() {  # need TOOL...
  local tool
  for tool; do command -v "$tool" >/dev/null || { echo "FAIL: $tool not installed"; exit 1; }; done
}
need python3
[ -x "$dir/trellan-sim" ] && [ -x "$dir/trellanctl" ] || { echo "FAIL: trellan-sim or trellanctl not built"; exit 1; }

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then kill "$sim_pid"; wait "$sim_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
export MIBS="" SNMPCONFPATH="$work" SNMP_PERSISTENT_DIR="$work" HOME="$work" XDG_CONFIG_HOME="$work/config"

passed=0
failed=0
check() {  # check NAME EXPECTED-SUBSTRING ACTUAL
  if [[ "$3" == *"$2"* ]]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); printf 'FAIL: %s\n  expected to contain: %s\n  got: %s\n' "$1" "$2" "$3"; fi
}
same() {  # same NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); printf 'FAIL: %s\n  expected: %s\n  got: %s\n' "$1" "$2" "$3"; fi
}
lacks() {  # lacks NAME UNEXPECTED-SUBSTRING ACTUAL
  if [[ "$3" != *"$2"* ]]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); printf 'FAIL: %s\n  must not contain: %s\n  got: %s\n' "$1" "$2" "$3"; fi
}
