#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz (every library instrumented, under
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for a bounded time over its seed
# corpus, one after the other (about four minutes in all). Prints one line per target;
# fails on any crash, sanitizer report, leak or timeout, keeping the input that caused it in
# build/fuzz/findings/. FUZZ_SECONDS gives every target the same time instead of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

# target seconds max_len
targets=(
  "snmp_decode 30 1408"
  "access_values 20 1408"
  "registry_format 25 4096"
  "profile 20 4096"
  "fleet_file 25 4096"
  "value_text 20 512"
  "discovery_reply 15 600"
  "ipx_packet 10 256"
  "serial_frame 5 16"
  "backup_file 20 8192"
  "netware_names 10 1024"
)

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
. "$root/scripts/run-logged.sh"
CC=clang CXX=clang++ run_logged "cmake configure" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRELLAN_BUILD_FUZZ=ON -DTRELLAN_BUILD_TESTS=OFF -DTRELLAN_BUILD_GUI=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags"
names=()
for entry in "${targets[@]}"; do names+=("fuzz_${entry%% *}"); done
cmake --build "$build" --target "${names[@]}" -j 2

# New inputs found in this run go to a scratch folder; the kept corpus changes only by hand.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings="$build/findings"
rm -rf "$findings"  # only this run's findings
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
for entry in "${targets[@]}"; do
  read -r name seconds maxlen <<<"$entry"
  seconds="${FUZZ_SECONDS:-$seconds}"
  mkdir -p "$scratch/$name/corpus" "$scratch/$name/artifacts"
  log="$scratch/$name/log"
  if (cd "$scratch/$name" && "$build/bin/fuzz_$name" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$scratch/$name/artifacts/" \
        "$scratch/$name/corpus" "$root/fuzz/corpus/$name") >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $name ran ${seconds}s (${runs:-?} inputs) without a finding"
  else
    failed=1
    mkdir -p "$findings"
    cp -f "$scratch/$name/artifacts/"* "$findings/" 2>/dev/null || true
    cp -f "$log" "$findings/$name.log"
    echo "fuzz: $name FAILED (log and input in $findings)"
    grep -m1 -E "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error|SUMMARY" "$log" || tail -n 20 "$log"
  fi
done
exit "$failed"
