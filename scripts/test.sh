#!/usr/bin/env bash
# Installs, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test
# inside a network namespace that holds only loopback, so no test can reach another host.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/test"

"$root/scripts/install-deps.sh"
. "$root/scripts/run-logged.sh"
run_logged "cmake configure" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRELLAN_SANITIZE=ON
cmake --build "$build" -j "$(nproc)"

export TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1
if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
  unshare -n sh -c "ip link set lo up && ctest --test-dir '$build' --output-on-failure -j $(nproc)"
else
  echo "note: not root, running the tests without a private network namespace" >&2
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
fi
"$root/scripts/fuzz.sh"
