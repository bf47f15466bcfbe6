#!/usr/bin/env bash
# The man pages say what --help says: every option of trellan's and trellan-sim's --help is in
# their page, and every trellanctl command with each of its options is in trellanctl's (which
# trellanctl writes itself, so this checks its generator).
# Usage: man_pages.sh BIN_DIR PAGES_DIR TRELLANCTL_PAGE
set -uo pipefail
bin=$1 pages=$2 ctl_page=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page's text with roff's escapes for a minus and for fonts taken out.
page_text() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\&//g' "$1"; }
# The options a help text lists: the words starting with - or / on its option lines.
options_of() {
  grep -E '^ {2,}[-/]' | sed -E 's/^ +//; s/   .*//' |
    grep -oE '(^|[ ,])(--?[a-zA-Z][a-zA-Z0-9-]*|/[a-z?]+)' | sed -E 's/^[ ,]//' | sort -u
}

check_program() {
  local program=$1 page=$2 help text option count=0
  help=$("$bin/$program" --help) || { fail "$program --help"; return; }
  text=$(page_text "$page")
  while IFS= read -r option; do
    [ -n "$option" ] || continue
    count=$((count + 1))
    grep -qF -- "$option" <<<"$text" || fail "$program: option $option of --help is not in $(basename "$page")"
  done < <(options_of <<<"$help")
  [ "$count" -gt 3 ] || fail "$program: no options found in --help"
}

check_program trellan "$pages/trellan.1"
check_program trellan-sim "$pages/trellan-sim.1"

# trellanctl: every command and nested command its --help lists, with each of its options.
# subcommands_of WORDS...: the subcommand names that trellanctl WORDS --help lists.
subcommands_of() {
  "$bin/trellanctl" "$@" --help 2>/dev/null |
    awk 'tolower($0) ~ /^(sub)?commands:/ { on = 1; next } on && !/^  / { exit } on && /^  [a-z]/ { print $1 }'
}
text=$(page_text "$ctl_page")
commands=()
for first in $(subcommands_of); do
  commands+=("$first")
  for second in $(subcommands_of "$first"); do commands+=("$first $second"); done
done
[ "${#commands[@]}" -gt 5 ] || fail "trellanctl --help lists no commands"
for command in "${commands[@]}"; do
  grep -qF -- "$command" <<<"$text" || fail "trellanctl: command '$command' is not in trellanctl.1"
  # shellcheck disable=SC2086  # a nested command's words are separate arguments
  while IFS= read -r option; do
    [ -n "$option" ] && [ "$option" != --help ] || continue
    grep -qF -- "$option" <<<"$text" || fail "trellanctl $command: option $option is not in trellanctl.1"
  done < <("$bin/trellanctl" $command --help | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)
done

if [ "$failures" -ne 0 ]; then echo "$failures difference(s) between the man pages and --help"; exit 1; fi
echo "man pages in step with --help"
