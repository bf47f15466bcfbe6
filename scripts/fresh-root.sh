# Sourced by fresh-check.sh and package-check.sh: a fresh Debian 12 minbase root to try things in.
# Needs root (debootstrap, chroot, mounts) and the network to the Debian mirror apt uses here.

# The Debian mirror this machine's apt is set up with (the first non-security entry).
debian_mirror() {
  local url
  url=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    sed -n -e 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' -e 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*\).*/\2/p' |
    grep -E '/debian/?$' | grep -v security | head -n1)
  [ -n "$url" ] || { echo "no Debian mirror found in /etc/apt/sources.list*" >&2; return 1; }
  echo "${url%/}"
}

# fresh_root_create DIR: a new bookworm minbase root in DIR (an old one there is removed first).
fresh_root_create() {
  local dir=$1 mirror
  mirror=$(debian_mirror)
  command -v debootstrap >/dev/null || { echo "debootstrap is not installed" >&2; return 1; }
  rm -rf --one-file-system "$dir"
  mkdir -p "$dir"
  echo "debootstrap: bookworm minbase from $mirror into $dir"
  run_logged "debootstrap" debootstrap --variant=minbase bookworm "$dir" "$mirror"
  cp /etc/resolv.conf "$dir/etc/resolv.conf"
  grep -q localhost "$dir/etc/hosts" 2>/dev/null || printf '127.0.0.1\tlocalhost\n::1\tlocalhost\n' >>"$dir/etc/hosts"
}

# fresh_root_run DIR COMMAND: runs the shell COMMAND as root in the root, with /proc, /sys and /dev
# mounted in a mount namespace of its own, so every mount disappears when it ends.
fresh_root_run() {
  local dir=$1 command=$2
  unshare -m --propagation private sh -c '
    set -e
    dir=$1
    mount -t proc proc "$dir/proc"
    mount -t sysfs sys "$dir/sys"
    mount --rbind /dev "$dir/dev"
    mount -t tmpfs tmpfs "$dir/tmp"
    exec chroot "$dir" env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$2"
  ' fresh-root "$dir" "$command"
}
