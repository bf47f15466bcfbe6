#!/usr/bin/env bash
# trellanctl's bash completion completes commands, nested commands, options and the view names
# of the settings file. Usage: completion.sh TRELLANCTL COMPLETION_FILE
set -uo pipefail
ctl=$1 completion=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
ln -s "$ctl" "$tmp/bin/trellanctl"
export PATH="$tmp/bin:$PATH" TRELLAN_REGISTRY="$tmp/Trellan.reg"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

trellanctl views create "Lab North" --protocol tcpip >/dev/null || fail "trellanctl views create"
trellanctl views create Annex --protocol tcpip >/dev/null || fail "trellanctl views create"

# shellcheck source=/dev/null
. "$completion" || { echo "FAIL: the completion does not load"; exit 1; }
function=$(complete -p trellanctl 2>/dev/null | sed -nE 's/.*-F ([^ ]+) .*/\1/p')
[ -n "$function" ] || { echo "FAIL: the completion registers no function for trellanctl"; exit 1; }

# complete LINE: the candidates for the last word of LINE (an empty last word after a space).
complete_line() {
  read -r -a COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$1 COMP_POINT=${#1}
  COMPREPLY=()
  "$function" trellanctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}"
}

# line | a candidate it must offer | what the case is about
cases=(
  "trellanctl |discover|the commands"
  "trellanctl |views|the commands"
  "trellanctl vi|views|a command's beginning"
  "trellanctl --json |query|the commands after a global option"
  "trellanctl views |create|a nested command"
  "trellanctl views re|rename|a nested command's beginning"
  "trellanctl discover --|--local|a command's options"
  "trellanctl views show |Annex|view names"
  "trellanctl views show La|Lab\\ North|a view name with a space, escaped"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r line want about <<<"$entry"
  got=$(complete_line "$line")
  grep -qxF -- "$want" <<<"$got" || fail "$about: '$line' does not offer '$want' (offers: $(tr '\n' ' ' <<<"$got"))"
done
# A beginning that fits one command offers that command alone.
[ "$(complete_line "trellanctl dec")" = decode ] || fail "'trellanctl dec' offers more than decode"

if [ "$failures" -ne 0 ]; then echo "$failures completion case(s) failed"; exit 1; fi
echo "completion offers commands, options and view names"
