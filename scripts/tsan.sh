#!/usr/bin/env bash
# Builds the engine's test program under ThreadSanitizer in build/tsan and runs the tests whose
# sessions work on several threads at once, in a private network namespace on loopback. Fails on
# any data race report. TSAN_FILTER chooses other tests of the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/tsan"
flags="-fsanitize=thread -fno-omit-frame-pointer"
. "$root/scripts/run-logged.sh"
run_logged "cmake configure" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRELLAN_BUILD_GUI=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
cmake --build "$build" --target test_snmp -j 2
export TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1
export TSAN_OPTIONS=halt_on_error=1:exitcode=66
unshare -n sh -c "ip link set lo up && '$build/test-env.sh' '$build/bin/test_snmp' \
  --gtest_filter='${TSAN_FILTER:-ConcurrentSessions*}' --gtest_repeat=10 --gtest_brief=1"
