#!/usr/bin/env bash
# Installs, builds, starts a simulated fleet of print servers on loopback and runs Trellan against
# it. Everything it sends stays on loopback.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/demo"

"$root/scripts/install-deps.sh"
. "$root/scripts/run-logged.sh"
run_logged "cmake configure" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELLAN_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

export TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1
# Unprivileged ports for the fleet's SNMP agents; discovery keeps its usual port 4201.
export TRELLAN_SNMP_PORT="${TRELLAN_SNMP_PORT:-16161}"
export TRELLAN_REGISTRY="${TRELLAN_REGISTRY:-$build/demo-settings.reg}"

run="$build/demo-run"
mkdir -p "$run"
rm -f "$run/ready.json"
"$build/bin/trellan-sim" --data "$root/sim/data/demo-fleet.json" --snmp-port "$TRELLAN_SNMP_PORT" \
  --discovery-port 4201 --ready-file "$run/ready.json" --log "$run/requests.jsonl" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -f "$run/ready.json" ] && break
  kill -0 "$sim" 2>/dev/null || { echo "trellan-sim did not start" >&2; exit 1; }
  sleep 0.1
done
echo "Simulated fleet running (request log: $run/requests.jsonl)."

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$build/bin/trellan" "$@"
  exit 0
fi

echo "No display: what Trellan finds on the simulated network."
"$build/bin/trellanctl" discover --local --timeout 2000
echo
echo "One print server in detail:"
"$build/bin/trellanctl" query 127.0.2.1
echo
"$build/bin/trellanctl" get 127.0.2.1 1.3.6.1.2.1.1.5.0 1.3.6.1.2.1.1.1.0
