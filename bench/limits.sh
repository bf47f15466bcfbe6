#!/usr/bin/env bash
# Discovery and requests against their limits, each row beside a peer measured in the same run
# on the same simulated fleet, with the ratio ours / peer:
#   - /24 scan of 250 units: trellanctl discover "127.0.4.*" | a one-socket sweep (below) and
#     snmpget x 254 through xargs -P 32
#   - 20 /24 scans, 5,000 units | the one-socket sweep over the same 5,100 addresses
#   - local broadcast to 250 and to 5,000 units | a plain receiver with the same socket buffer
#     (found / started, and the receive-buffer drops of the run from /proc/net/snmp)
#   - walk of the simulator's MIB-II | snmpwalk (time per GETNEXT)
#   - the same walk's system calls per request, counted by strace -f -c | snmpwalk's (the
#     wake-up counter check: an idle loop that reads or writes its counter shows here)
# Repeat with REPEAT=N (default 3) to see the spread; every repetition is printed.
#
# Usage: bench/limits.sh [BUILD_DIR]   (default build/bench; run from the source root, inside a
#        private network namespace: unshare -n sh -c 'ip link set lo up && bench/limits.sh')
# Everything stays on loopback. Not run in CI: one pass takes a few minutes, most of it in the
# searches' own waits.
set -u

BUILD=${1:-build/bench}
BENCH_NAME=limits
. "$(dirname "$0")/bench_common.sh"
for tool in python3 snmpget snmpwalk xargs; do
  command -v "$tool" >/dev/null || { echo "needs $tool (the peer of a row)" >&2; exit 2; }
done

BASE=$((20000 + (RANDOM % 2000) * 8))
SNMP_PORT=$BASE
DISC_PORT=$((BASE + 1))
PROBE_PORT=$((BASE + 2))
export TRELLAN_SNMP_PORT=$SNMP_PORT TRELLAN_SECOND_FAMILY_PORT=$PROBE_PORT

start_sim() {  # count first-address
  launch_sim 600 --count "$1" --first "$2" --snmp-port "$SNMP_PORT" --discovery-port "$DISC_PORT" \
    --second-family-port "$PROBE_PORT" --ipx-discovery-port 0 --ipx-snmp-port 0
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }
rcvbuf_errors() { awk '/^Udp:/ {n++; if (n == 1) for (i = 1; i <= NF; i++) col[$i] = i; else print $col["RcvbufErrors"]}' /proc/net/snmp; }

# The peers written here: one socket, every request sent at once, replies counted as they come.
# sweep: ADDRESSES... -> "found last_reply_ms"; receive: broadcast -> "found last_reply_ms".
cat >"$TMP/peer.py" <<'EOF'
import socket, sys, time
mode, port, want = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 20)
s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
req = b".,:\x01\x00\x00"
t0 = time.monotonic()
if mode == "sweep":
    for a in sys.stdin.read().split():
        s.sendto(req, (a, port))
else:
    s.sendto(req, ("127.255.255.255", port))
found, last = set(), t0
s.settimeout(2.0)
while len(found) < want:
    try:
        data, frm = s.recvfrom(2048)
    except socket.timeout:
        break
    if data[:3] == b":,." and len(data) >= 60:
        found.add(data[57:60])
        last = time.monotonic()
print(len(found), int((last - t0) * 1000))
EOF

ROWS=()
row() { ROWS+=("$(printf '%-36s %-4s %8s %8s %10s %10s %7s' "$@")"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

discover() {  # args... -> "found ms drops"
  local d0 t0 t1 found
  d0=$(rcvbuf_errors)
  t0=$(now_ms)
  timeout 900 "$CTL" discover --csv --port "$DISC_PORT" "$@" >"$TMP/out.csv" 2>"$TMP/ctl.err"
  t1=$(now_ms)
  found=$(($(grep -c . "$TMP/out.csv") - 1))
  ((found < 0)) && found=0
  echo "$found $((t1 - t0)) $(($(rcvbuf_errors) - d0))"
}

peer() {  # mode want [addresses on stdin] -> "found ms drops"
  local d0 out
  d0=$(rcvbuf_errors)
  out=$(python3 "$TMP/peer.py" "$1" "$DISC_PORT" "$2")
  echo "$out $(($(rcvbuf_errors) - d0))"
}

addresses() {  # prefixes... -> every host 1..254 of each
  local p h
  for p in "$@"; do for ((h = 1; h <= 254; h++)); do echo "$p$h"; done; done
}

bench_scan() {  # label units prefixes...
  local label=$1 units=$2 ours theirs gets t0 t1
  shift 2
  local entries=() p
  for p in "$@"; do entries+=("$p*"); done
  ours=($(discover "${entries[@]}"))
  theirs=($(addresses "$@" | peer sweep "$units"))
  row "$label" "$r" "${ours[0]}/$units" "${ours[1]}" "${theirs[1]} (sweep)" "${theirs[0]}/$units" "$(ratio "${ours[1]}" "${theirs[1]}")"
  if (($# == 1)); then
    t0=$(now_ms)
    addresses "$@" | xargs -P 32 -I{} snmpget -v1 -c public -t 1 -r 0 "{}:$SNMP_PORT" 1.3.6.1.2.1.1.5.0 >/dev/null 2>&1
    t1=$(now_ms)
    row "$label" "$r" "${ours[0]}/$units" "${ours[1]}" "$((t1 - t0)) (snmpget)" "-" "$(ratio "${ours[1]}" $((t1 - t0)))"
  fi
}

bench_broadcast() {  # label units
  local ours theirs
  ours=($(discover --local))
  theirs=($(peer receive "$2"))
  row "$1" "$r" "${ours[0]}/$2" "${ours[1]}" "${theirs[1]} (recv)" "${theirs[0]}/$2" "$(ratio "${ours[1]}" "${theirs[1]}")"
  row "  receive-buffer drops" "$r" "${ours[2]}" "" "${theirs[2]}" "" ""
}

bench_walk() {
  local t0 t1 n ours theirs
  t0=$(now_ms)
  n=$("$CTL" walk --max 100000 127.0.4.1 1.3.6.1 2>/dev/null | grep -c .)
  t1=$(now_ms)
  ours=$((t1 - t0))
  t0=$(now_ms)
  snmpwalk -v1 -c public -t 1 -r 0 -Cc "127.0.4.1:$SNMP_PORT" 1.3.6.1 >/dev/null 2>&1
  t1=$(now_ms)
  theirs=$((t1 - t0))
  row "walk of $n objects (us/request)" "$r" "$n" "$((ours * 1000 / (n > 0 ? n : 1)))" "$((theirs * 1000 / (n > 0 ? n : 1))) (snmpwalk)" "" "$(ratio "$ours" "$theirs")"
}

# System calls per GETNEXT of one walk, ours and snmpwalk's, counted by strace (when installed).
bench_syscalls() {
  command -v strace >/dev/null || { row "walk system calls (strace missing)" "$r" "" "" "" "" ""; return; }
  local n ours theirs
  n=$(strace -f -c -o "$TMP/ours.strace" "$CTL" walk --max 100000 127.0.4.1 1.3.6.1 2>/dev/null | grep -c .)
  strace -f -c -o "$TMP/theirs.strace" snmpwalk -v1 -c public -t 1 -r 0 -Cc "127.0.4.1:$SNMP_PORT" 1.3.6.1 >/dev/null 2>&1
  # The total line of strace -c: its calls column, the fourth field.
  ours=$(awk '$NF == "total" {print $4}' "$TMP/ours.strace")
  theirs=$(awk '$NF == "total" {print $4}' "$TMP/theirs.strace")
  # Requests: the objects and the one that ends the tree.
  local q=$((n + 1))
  row "walk system calls per request" "$r" "$n" "$(( ${ours:-0} / q ))" "$(( ${theirs:-0} / q )) (snmpwalk)" "" ""
  # Per-request calls that matter, ours (the rest is start-up, shared by every request).
  local c
  for c in read write poll recvmsg sendmsg recvfrom sendto getpid; do
    local k
    k=$(awk -v c="$c" '$NF == c {print $4}' "$TMP/ours.strace")
    [[ -n $k ]] && row "  $c calls (ours, whole walk)" "$r" "" "$k" "" "" ""
  done
}

echo "bench/limits.sh: $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= REPEAT; r++)); do
  start_sim 250 127.0.4.1
  bench_scan "/24 scan, 250 units" 250 127.0.4.
  bench_broadcast "local broadcast, 250 units" 250
  bench_walk
  bench_syscalls
  start_sim 5000 127.0.1.1
  prefixes=()
  for ((k = 1; k <= 20; k++)); do prefixes+=("127.0.$k."); done
  bench_scan "20 /24 scans, 5,000 units" 5000 "${prefixes[@]}"
  bench_broadcast "local broadcast, 5,000 units" 5000
  stop_sim
done

printf '\n%-36s %-4s %8s %8s %10s %10s %7s\n' case run found ours_ms peer_ms peer_found ratio
printf '%s\n' "${ROWS[@]}"
echo
echo "ours_ms: trellanctl's wall time (for the walk: microseconds per GETNEXT); ratio = ours / peer."
echo "The searches keep their waits (Broadcast 6 s per round, 2 s after a /24's last batch), the"
echo "peers do not: the floor of a /24 is 2.0 s, of a broadcast 12.1 s (two rounds)."
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit 0
