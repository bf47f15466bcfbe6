# bash completion for trellanctl: commands, their options and the view names of the settings
# file. Everything is asked of trellanctl itself, so it follows the installed program.

# The command names of trellanctl --help, one a line ("views create" for a nested one).
_trellanctl_commands() {
  "$1" --help 2>/dev/null |
    awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on { sub(/^  /, ""); split($0, f, /   +/); print f[1] }'
}

_trellanctl() {
  local cur ctl i first second name commands nested
  cur=${COMP_WORDS[COMP_CWORD]}
  ctl=${COMP_WORDS[0]}
  COMPREPLY=()

  # Global options come before the command.
  i=1
  while [ "$i" -lt "$COMP_CWORD" ] && [[ ${COMP_WORDS[i]} == -* ]]; do i=$((i + 1)); done
  commands=$(_trellanctl_commands "$ctl")
  if [ "$i" -eq "$COMP_CWORD" ]; then
    if [[ $cur == -* ]]; then
      mapfile -t COMPREPLY < <(compgen -W "--json --help --version" -- "$cur")
    else
      mapfile -t COMPREPLY < <(compgen -W "$(printf '%s\n' "$commands" | awk '{ print $1 }' | sort -u)" -- "$cur")
    fi
    return
  fi

  first=${COMP_WORDS[i]}
  nested=$(printf '%s\n' "$commands" | awk -v f="$first" '$1 == f && NF > 1 { print $2 }')
  if [ $((i + 1)) -eq "$COMP_CWORD" ] && [ -n "$nested" ] && [[ $cur != -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$nested" -- "$cur")
    return
  fi
  name=$first
  second=${COMP_WORDS[i + 1]:-}
  if [ $((i + 1)) -lt "$COMP_CWORD" ] && printf '%s\n' "$nested" | grep -qxF -- "$second"; then
    name="$first $second"
  fi

  if [[ $cur == -* ]]; then
    local options
    # shellcheck disable=SC2086  # a nested command's words are separate arguments
    options=$("$ctl" $name --help 2>/dev/null | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u)
    mapfile -t COMPREPLY < <(compgen -W "$options --help --json" -- "$cur")
    return
  fi

  # View and group names for the views commands, from the settings file.
  if [ "$first" = views ] && [ "$name" != views ]; then
    local views view
    views=$("$ctl" views 2>/dev/null | sed -e 1d -e 's/^ *//' -e 's/  \[[^]]*\].*$//')
    while IFS= read -r view; do
      [[ $view == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$view")")
    done <<<"$views"
    return
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _trellanctl trellanctl
