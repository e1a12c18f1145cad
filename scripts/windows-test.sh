#!/usr/bin/env bash
# The Windows module from scratch: installs the Windows tools when missing,
# builds harbolt.dll and runs the tests under Wine.
#   scripts/windows-test.sh [BUILD_DIR]      (default build-mingw)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-mingw}
scripts/install-deps.sh --windows
scripts/windows-build.sh "$dir"
tests/wine/run.sh "$dir"
