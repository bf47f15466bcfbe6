#!/usr/bin/env bash
# Tries the README on a fresh machine: builds a new Debian 12 minbase root, clones the committed
# tree into it and runs the README's two commands there as root, the demo without a display and
# then every test. Catches a package missing from install-deps.sh. Needs root and the network to
# the Debian mirror; takes a good while (the whole tree is built twice, without a compiler cache).
#   FRESH_ROOT  where the root is built (default /var/tmp/trellan-fresh; replaced on every run)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
. "$repo/scripts/run-logged.sh"
. "$repo/scripts/fresh-root.sh"
[ "$(id -u)" -eq 0 ] || { echo "fresh-check.sh must run as root" >&2; exit 1; }
dir=${FRESH_ROOT:-/var/tmp/trellan-fresh}
commit=$(git -C "$repo" rev-parse HEAD)

fresh_root_create "$dir"
git clone -q --no-hardlinks "$repo" "$dir/src/trellan"
git -C "$dir/src/trellan" checkout -q --detach "$commit"
echo "fresh-check: $commit cloned into $dir/src/trellan"

# The first command installs the packages with the network; the demo itself then runs in a
# network namespace of its own (holding only loopback), where it finds nothing left to install.
echo "fresh-check: ./scripts/demo.sh"
fresh_root_run "$dir" 'cd /src/trellan && ./scripts/install-deps.sh &&
  unshare -n sh -c "ip link set lo up && ./scripts/demo.sh"'
echo "fresh-check: ./scripts/test.sh"
fresh_root_run "$dir" 'cd /src/trellan && ./scripts/test.sh'
echo "fresh-check: both README commands passed on a fresh Debian 12 root"
