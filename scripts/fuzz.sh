#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz (every library instrumented, under
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for a bounded time over its
# corpus. Fails on any crash, sanitizer report or leak. FUZZ_SECONDS overrides the 60 seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds="${FUZZ_SECONDS:-60}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRELLAN_BUILD_FUZZ=ON -DTRELLAN_BUILD_TESTS=OFF -DTRELLAN_BUILD_GUI=OFF \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  >/dev/null
cmake --build "$build" --target fuzz_snmp_decode -j 2

# New inputs found in this run go to a scratch folder; the kept corpus changes only by hand.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/bin/fuzz_snmp_decode" -max_total_time="$seconds" -max_len=1408 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$scratch" "$root/fuzz/corpus/snmp_decode"
echo "fuzz: snmp_decode ran ${seconds}s without a finding"
