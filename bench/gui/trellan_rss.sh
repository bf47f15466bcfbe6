#!/usr/bin/env bash
# Resident memory of the trellan program itself with a large simulated fleet listed: the program
# starts offscreen on a fresh settings file whose first view finds N units by local broadcast
# (with the printer-status reads after each reply), and its VmHWM and VmRSS are read from /proc
# once the simulator has answered every unit and the search's waits are over.
#
# Usage: bench/gui/trellan_rss.sh [BUILD_DIR] [UNITS]   (default build/dev, 1000; from the source root)
# Everything stays on loopback (127.0.x.y, broadcast to 127.255.255.255).
set -u

BUILD=${1:-build/dev}
UNITS=${2:-1000}
APP=$BUILD/bin/trellan
SIM=$BUILD/bin/trellan-sim
for exe in "$APP" "$SIM"; do
  [[ -x $exe ]] || { echo "missing $exe (build trellan and trellan-sim in $BUILD)" >&2; exit 2; }
done

TMP=$(mktemp -d "${TMPDIR:-/tmp}/trellan-bench-rss.XXXXXX")
SIM_PID= APP_PID=
cleanup() {
  [[ -n $APP_PID ]] && kill "$APP_PID" 2>/dev/null
  [[ -n $SIM_PID ]] && kill "$SIM_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$TMP"
}
trap cleanup EXIT

export TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export HOME=$TMP XDG_CONFIG_HOME=$TMP/config XDG_STATE_HOME=$TMP/state XDG_RUNTIME_DIR=$TMP/run
mkdir -p "$TMP/run" && chmod 700 "$TMP/run"
export TRELLAN_SNMP_PORT=26171 TRELLAN_SECOND_FAMILY_PORT=26172
DISCOVERY_PORT=26173
export TRELLAN_REGISTRY=$TMP/Trellan.reg

"$SIM" --count "$UNITS" --first 127.0.1.1 --snmp-port "$TRELLAN_SNMP_PORT" --discovery-port "$DISCOVERY_PORT" \
  --ipx-discovery-port 0 --ipx-snmp-port 0 --second-family-port "$TRELLAN_SECOND_FAMILY_PORT" \
  --ready-file "$TMP/ready.json" --log "$TMP/requests.jsonl" &
SIM_PID=$!
for _ in $(seq 200); do [[ -f $TMP/ready.json ]] && break; sleep 0.05; done
[[ -f $TMP/ready.json ]] || { echo "trellan-sim did not start" >&2; exit 1; }

# The first start writes the defaults and the first view; the search waits 2 s per round.
cat > "$TRELLAN_REGISTRY" <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\Access\\IP]
"DiscoveryPort"=dword:$(printf '%08x' "$DISCOVERY_PORT")

[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\Timeouts]
"Broadcast"=dword:$(printf '%08x' 2000)
EOF
chmod 600 "$TRELLAN_REGISTRY"

start=$(date +%s%N)
"$APP" >"$TMP/app.log" 2>&1 &
APP_PID=$!
# Done when every unit has been answered and the log has been quiet for three seconds.
last=0 quiet=0
for _ in $(seq 600); do
  sleep 0.5
  kill -0 "$APP_PID" 2>/dev/null || { echo "trellan ended early:"; cat "$TMP/app.log"; exit 1; }
  lines=$(wc -l <"$TMP/requests.jsonl")
  if [[ $lines -eq $last ]]; then quiet=$((quiet + 1)); else quiet=0; last=$lines; fi
  [[ $quiet -ge 6 ]] && break
done
elapsed=$(awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN {print (b - a) / 1e9}')
replies=$(grep -c '"event":"reply","format"' "$TMP/requests.jsonl" || true)
hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$APP_PID/status")
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$APP_PID/status")
printf 'units %d, discovery replies sent %d, settled after %.1f s\n' "$UNITS" "$replies" "$elapsed"
awk -v h="$hwm" -v r="$rss" 'BEGIN {printf "trellan peak resident memory (VmHWM) %.1f MiB, now (VmRSS) %.1f MiB\n", h / 1024, r / 1024}'
