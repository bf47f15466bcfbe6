# Sourced by the bench scripts once BUILD and BENCH_NAME are set: the two programs of BUILD
# ($CTL, $SIM, checked), a scratch folder $TMP removed at exit together with the simulator
# ($SIM_PID, ended by stop_sim), loopback only with a home and settings store of its own, and
# launch_sim to start trellan-sim and await its ready file.
CTL=$BUILD/bin/trellanctl
SIM=$BUILD/bin/trellan-sim
for exe in "$CTL" "$SIM"; do
  [[ -x $exe ]] || { echo "missing $exe (build trellanctl and trellan-sim in $BUILD)" >&2; exit 2; }
done

TMP=$(mktemp -d "${TMPDIR:-/tmp}/trellan-bench-$BENCH_NAME.XXXXXX")
SIM_PID=
stop_sim() {
  if [[ -n $SIM_PID ]]; then
    kill "$SIM_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$SIM_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$SIM_PID" 2>/dev/null
    wait "$SIM_PID" 2>/dev/null
    SIM_PID=
  fi
}
cleanup() { stop_sim; rm -rf "$TMP"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

export TRELLAN_LOOPBACK_ONLY=1
export TRELLAN_BROADCAST_ADDR=127.255.255.255
export TRELLAN_MULTICAST_IF=127.0.0.1
export TRELLAN_REGISTRY=$TMP/registry
export HOME=$TMP/home XDG_CONFIG_HOME=$TMP/home/.config XDG_DATA_HOME=$TMP/home/.local/share XDG_STATE_HOME=$TMP/state
mkdir -p "$HOME"

# launch_sim TENTHS OPTION...: starts trellan-sim with OPTIONs, its ready file in $TMP and its
# output in $TMP/sim.out; waits at most TENTHS tenths of a second for it to be ready, and ends
# the script showing that output when it is not.
launch_sim() {
  local tenths=$1
  shift
  stop_sim
  rm -f "$TMP/ready.json"
  "$SIM" "$@" --ready-file "$TMP/ready.json" >"$TMP/sim.out" 2>&1 &
  SIM_PID=$!
  for _ in $(seq "$tenths"); do
    [[ -s $TMP/ready.json ]] && return 0
    kill -0 "$SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "trellan-sim did not start:" >&2
  cat "$TMP/sim.out" >&2
  exit 1
}
