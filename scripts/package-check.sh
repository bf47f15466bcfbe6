#!/usr/bin/env bash
# Builds the Debian package (Release, in build/package), checks it with lintian, then installs it
# with apt-get on a fresh Debian 12 minbase root and checks that the programs run, that
# `man trellanctl` shows the page and that the desktop finds the entry. Needs root and the network
# to the Debian mirror. Prints the package's path at the end.
#   PACKAGE_ROOT   where the root is built (default /var/tmp/trellan-package-root; replaced each run)
#   PACKAGE_BUILD  an existing, configured build folder to package instead of build/package
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
. "$repo/scripts/run-logged.sh"
. "$repo/scripts/fresh-root.sh"
[ "$(id -u)" -eq 0 ] || { echo "package-check.sh must run as root" >&2; exit 1; }
build=${PACKAGE_BUILD:-$repo/build/package}
dir=${PACKAGE_ROOT:-/var/tmp/trellan-package-root}

"$repo/scripts/install-deps.sh"
[ -n "${PACKAGE_BUILD:-}" ] ||
  run_logged "cmake configure" cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRELLAN_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)" --target trellan trellanctl trellan-sim trellan_docs
rm -f "$build"/trellan_*.deb
run_logged "cpack" cpack -G DEB -B "$build" --config "$build/CPackConfig.cmake"
deb=$(ls "$build"/trellan_*.deb)
echo "package-check: built $deb"
dpkg-deb --field "$deb" Depends

# lintian: no errors (warnings are shown).
lintian --fail-on error --tag-display-limit 0 "$deb" || { echo "package-check: lintian reports errors" >&2; exit 1; }
echo "package-check: lintian reports no errors"

fresh_root_create "$dir"
mkdir -p "$dir/root/package"
cp "$deb" "$dir/root/package/"
fresh_root_run "$dir" '
  set -eu
  export DEBIAN_FRONTEND=noninteractive QT_QPA_PLATFORM=offscreen
  cd /root/package
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends ./trellan_*.deb >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }
  echo "installed: $(dpkg-query -W trellan)"
  trellan --version
  trellanctl --help | head -n 3
  trellan-sim --check --data /usr/share/trellan/sim/demo-fleet.json
  # man and the desktop validator are the checking tools, not dependencies of the package.
  apt-get install -y -qq --no-install-recommends man-db desktop-file-utils >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }
  MANWIDTH=80 man -P cat trellanctl | head -n 8
  MANWIDTH=80 man -P cat trellanctl | grep -q "^NAME"
  entry=$(grep -lx "Exec=trellan" /usr/share/applications/*.desktop)
  desktop-file-validate "$entry"
  echo "desktop entry: $entry"
  test -f /usr/share/bash-completion/completions/trellanctl
'
echo "package-check: $deb installs and works on a fresh Debian 12 root"
