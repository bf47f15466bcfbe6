#!/usr/bin/env bash
# Installs, builds and starts Trellan. Everything it sends stays on loopback.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/demo"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

export TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1
export TRELLAN_REGISTRY="${TRELLAN_REGISTRY:-$root/build/demo/demo-settings.reg}"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/trellan" "$@"
fi
echo "No display: showing what the program would use." >&2
"$build/bin/trellanctl" settings
