#!/bin/sh
# Writes trellanctl(1) to stdout from trellanctl's own --help texts: the man page of a trellanctl
# that cannot write its own (trellanctl --man). Usage: trellanctl-man-from-help.sh TRELLANCTL
set -eu
ctl=$1
# roff: a backslash is \e, a line may not start with a dot or a quote.
esc() { sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"; }
help=$("$ctl" --help)

cat <<'HEAD'
.TH TRELLANCTL 1 "" "Trellan" "User Commands"
.SH NAME
trellanctl \- manage network print servers from the command line
.SH SYNOPSIS
.B trellanctl
.RB [ \-\-json ]
.I COMMAND
.RI [ ARGS ]...
.br
.B trellanctl
.I COMMAND
.B \-\-help
.SH DESCRIPTION
.B trellanctl
does what the
.BR trellan (1)
program does, where that makes sense in a script: it finds print servers, reads and writes their
settings over SNMPv1, decodes and encodes SNMP messages and keeps the views shared with the program.
Results go to standard output, progress and errors to standard error.
.PP
.nf
HEAD
printf '%s\n' "$help" | esc
echo ".fi"
echo ".SH COMMANDS"
printf '%s\n' "$help" | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on { sub(/^  /, ""); split($0, f, /   +/); print f[1] }' |
  while IFS= read -r name; do
    [ -n "$name" ] || continue
    printf '.SS %s\n' "$name"
    echo ".nf"
    # shellcheck disable=SC2086  # a nested command's words are separate arguments
    "$ctl" $name --help | esc
    echo ".fi"
  done
cat <<'TAIL'
.SH ENVIRONMENT
.TP
.B TRELLAN_REGISTRY
The settings file (default
.IR $XDG_CONFIG_HOME/Quorvel/Trellan.reg ),
shared with
.BR trellan (1).
.TP
.B TRELLAN_SNMP_PORT
UDP port SNMP requests go to (default 161).
.TP
.B TRELLAN_TRAP_PORT
UDP port traps are received on (default 162).
.TP
.B TRELLAN_BROADCAST_ADDR
The address a broadcast is sent to (default 255.255.255.255).
.TP
.B TRELLAN_LOOPBACK_ONLY
When set to 1, every datagram or connection outside 127.0.0.0/8 is refused.
.SH EXIT STATUS
0 success, 1 the operation failed, 2 usage error.
.SH SEE ALSO
.BR trellan (1),
.BR trellan\-sim (1)
TAIL
