#!/usr/bin/env bash
# Installs the system packages Harbolt needs to build, test and benchmark.
# Runs apt-get as root (directly, or through sudo when not root).
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsqlite3-dev libxml2-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev gcovr
)

# scripts/install-deps.sh --windows: the tools of the Windows build and its
# tests instead (scripts/windows-build.sh, tests/wine/run.sh): the mingw-w64
# cross compiler and widl, Wine with its IDL files and type libraries, what
# building SQLite and libxml2 from Debian's source packages needs, and the
# JSON headers of the simulated host that the Wine tests load the module into.
windows_packages() {
  PACKAGES=(
    cmake ninja-build g++ make tcl dpkg-dev xz-utils
    mingw-w64 mingw-w64-tools wine64 wine libwine-dev nlohmann-json3-dev
  )
}
if [ "${1:-}" = --windows ]; then
  windows_packages
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
echo "installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
