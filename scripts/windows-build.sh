#!/usr/bin/env bash
# Builds harbolt.dll for 64-bit Windows with mingw-w64, and the client that
# the Wine tests run:
#   scripts/windows-build.sh [BUILD_DIR]     (default build-mingw)
# SQLite and libxml2 are built first (scripts/windows-deps.sh) into
# BUILD_DIR/third-party. The module is BUILD_DIR/bin/harbolt.dll.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(realpath -m "${1:-build-mingw}")
jobs=${HARBOLT_JOBS:-2}

scripts/windows-deps.sh "$dir/third-party/prefix"
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DHARBOLT_WINDOWS_DEPS="$dir/third-party/prefix" >/dev/null
cmake --build "$dir" -j "$jobs" --target harbolt dispatch_client fault_translation platform_resources host_round_trip
echo "built $dir/bin/harbolt.dll"
