#!/usr/bin/env bash
# One entry point for a fresh machine: installs what is missing, configures,
# builds and runs.
#   scripts/dev.sh demo [ARGS]     build the caller and the add-in (build/) and run
#                                  build/bin/harbolt demo (in build/demo unless
#                                  ARGS are given)
#   scripts/dev.sh test            build and run every test (build/)
#   scripts/dev.sh test-sanitize   the same under ASan + UBSan (build-sanitize/)
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
  *)
    echo "usage: scripts/dev.sh demo [ARGS] | test | test-sanitize" >&2
    exit 64
    ;;
esac
