#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in build-fuzz/ and runs each for a while.
#   scripts/fuzz.sh                 every target, 20 seconds each
#   scripts/fuzz.sh 600 xml import  the named targets, 10 minutes each
# Environment: HARBOLT_FUZZ_JOBS (parallel fuzzing processes per target,
# default 1), HARBOLT_JOBS (build jobs, default 2).
# New inputs are kept in build-fuzz/corpus/<target>/ (the seeds in
# fuzz/corpus/ are only read); a crash leaves its input in
# build-fuzz/artifacts/<target>/ and makes the script fail. Copy such an
# input to fuzz/regressions/<target>/ once the fault is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(xml set_dd utf16 model import)
  # The menu target is built once the menu builder is part of the module.
  if [ -f fuzz/create_menu_fuzzer.cpp ]; then targets+=(create_menu); fi
fi
jobs=${HARBOLT_JOBS:-2}
fuzz_jobs=${HARBOLT_FUZZ_JOBS:-1}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHARBOLT_FUZZ=ON -DHARBOLT_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/%/_fuzzer}"

# The sanitizers stop at the first fault; leaks count as faults.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export HARBOLT_DRIVE_C="$PWD/$build/drive_c"  # no log folder: nothing is logged

status=0
summary=()
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  log="$build/$target.log"
  echo "== $target: $seconds s"
  parallel=()
  if [ "$fuzz_jobs" -gt 1 ]; then parallel=(-jobs="$fuzz_jobs" -workers="$fuzz_jobs"); fi
  if "$build/bin/${target}_fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
      -max_len=65536 -print_final_stats=1 "${parallel[@]}" \
      -artifact_prefix="$artifacts" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result="FAULT (see $log and $artifacts)"
    status=1
  fi
  logs=("$log")
  if [ "$fuzz_jobs" -gt 1 ]; then logs+=(fuzz-*.log); fi
  runs=$(cat "${logs[@]}" 2>/dev/null | grep -o 'stat::number_of_executed_units: *[0-9]*' |
         awk '{s += $2} END {print s + 0}' || true)
  summary+=("$target: $runs executions in $seconds s, $result")
  rm -f fuzz-*.log
done
printf '%s\n' "${summary[@]}"
exit $status
