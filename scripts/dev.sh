#!/usr/bin/env bash
# One entry point for a fresh machine: installs what is missing, configures,
# builds and runs.
#   scripts/dev.sh demo [ARGS]     build the caller and the add-in (build/) and run
#                                  build/bin/harbolt demo (in build/demo unless
#                                  ARGS are given)
#   scripts/dev.sh test            build and run every test (build/)
#   scripts/dev.sh test-sanitize   the same under ASan + UBSan (build-sanitize/)
#   scripts/dev.sh coverage        every test in a coverage build (build-coverage/),
#                                  then the line coverage of the product code
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${HARBOLT_JOBS:-2}

configure() {  # configure DIR [cmake options...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

build() {  # build DIR [cmake options...]
  configure "$@"
  cmake --build "$1" -j "$jobs"
}

run_tests() {  # run_tests DIR
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 300
}

scripts/install-deps.sh

case "${1:-}" in
  demo)
    shift
    configure build
    echo "Building the add-in and the command-line caller into build/ ..."
    cmake --build build -j "$jobs" --target harbolt_cli
    [ $# -gt 0 ] || set -- --dir build/demo
    exec build/bin/harbolt demo "$@"
    ;;
  test)
    build build
    run_tests build
    ;;
  test-sanitize)
    build build-sanitize -DHARBOLT_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      run_tests build-sanitize
    ;;
  coverage)
    build build-coverage -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage \
      -DCMAKE_C_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage \
      -DCMAKE_SHARED_LINKER_FLAGS=--coverage -DCMAKE_MODULE_LINKER_FLAGS=--coverage
    find build-coverage -name '*.gcda' -delete
    run_tests build-coverage
    # Product code only: not the tests, the fuzz targets, the benchmarks or
    # the Windows-only sources, which this build does not compile.
    gcovr -r . build-coverage -j "$jobs" --exclude 'tests/' --exclude 'fuzz/' \
      --exclude 'bench/' --exclude 'build-coverage/' --exclude '.*/win/' --exclude 'windows/'
    ;;
  *)
    echo "usage: scripts/dev.sh demo [ARGS] | test | test-sanitize | coverage" >&2
    exit 64
    ;;
esac
