# Sourced by the other scripts. run_logged WHAT COMMAND...: runs COMMAND with its output kept in
# a log that is shown only when it fails, so a good run stays short and a failed one shows why.
run_logged() {
  local what=$1 log status=0
  shift
  log=$(mktemp)
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "$what failed (exit $status):" >&2
    cat "$log" >&2
  fi
  rm -f "$log"
  return "$status"
}
