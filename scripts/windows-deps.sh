#!/usr/bin/env bash
# Builds SQLite and libxml2 for 64-bit Windows (static libraries) from
# Debian's source packages, with Debian's patches applied, and copies the
# header-only nlohmann/json beside them:
#   scripts/windows-deps.sh PREFIX
# installs PREFIX/include and PREFIX/lib, and keeps the sources in
# PREFIX/../third-party-src. Nothing is built when PREFIX already holds both
# libraries.
# Needs the Windows tools (scripts/install-deps.sh --windows), tclsh and a
# native C compiler (SQLite's single-file source is generated natively).
set -euo pipefail

prefix=$(realpath -m "${1:?usage: scripts/windows-deps.sh PREFIX}")
src=$(realpath -m "$prefix/../third-party-src")
jobs=${HARBOLT_JOBS:-2}
triple=x86_64-w64-mingw32
toolchain=$(realpath "$(dirname "$0")/../cmake/toolchain-mingw64.cmake")

mkdir -p "$prefix/include" "$prefix/lib"
# nlohmann/json is header-only: the system's headers serve the simulated host
# of the Wine tests as they are (nlohmann-json3-dev).
if [ ! -f "$prefix/include/nlohmann/json.hpp" ]; then
  cp -r /usr/include/nlohmann "$prefix/include/"
fi
if [ -f "$prefix/lib/libsqlite3.a" ] && [ -f "$prefix/lib/libxml2.a" ]; then
  exit 0
fi
mkdir -p "$src"
cd "$src"

# The source packages come from the same archive as the system's binary
# packages, through a private source list (the system's apt setup is left
# as it is).
apt_dir=$src/apt
mkdir -p "$apt_dir/lists/partial"
apt_uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
apt_uri=${apt_uri:-http://deb.debian.org/debian}
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
cat >"$apt_dir/sources.list" <<EOF
deb-src $apt_uri $suite main
deb-src ${apt_uri}-security $suite-security main
EOF
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o "Dir::State::Lists=$apt_dir/lists" -o APT::Sandbox::User=root)
if [ ! -d sqlite3-src ] || [ ! -d libxml2-src ]; then
  apt-get "${apt_opts[@]}" update -qq
  rm -rf sqlite3-[0-9]* libxml2-[0-9]*
  apt-get "${apt_opts[@]}" source -qq sqlite3 libxml2 >/dev/null
  mv "$(find . -maxdepth 1 -type d -name 'sqlite3-[0-9]*' | head -1)" sqlite3-src
  mv "$(find . -maxdepth 1 -type d -name 'libxml2-[0-9]*' | head -1)" libxml2-src
fi

# SQLite: generate the single-file source natively, compile it for Windows.
if [ ! -f "$prefix/lib/libsqlite3.a" ]; then
  mkdir -p sqlite3-native
  (cd sqlite3-native && [ -f Makefile ] || ../sqlite3-src/configure --disable-tcl >/dev/null)
  make -C sqlite3-native -j"$jobs" sqlite3.c >/dev/null
  "$triple-gcc" -O2 -c sqlite3-native/sqlite3.c -o sqlite3-native/sqlite3-win64.o \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0
  rm -f "$prefix/lib/libsqlite3.a"
  "$triple-ar" rcs "$prefix/lib/libsqlite3.a" sqlite3-native/sqlite3-win64.o
  cp sqlite3-native/sqlite3.h sqlite3-native/sqlite3ext.h "$prefix/include/"
fi

# libxml2: its own CMake build, parser, tree and XPath only; compiled as a
# static library (LIBXML_STATIC), so that the module does not export it.
if [ ! -f "$prefix/lib/libxml2.a" ]; then
  off=()
  for feature in C14N CATALOG DEBUG DOCB FTP HTML HTTP ICONV ICU ISO8859X LEGACY LZMA MODULES \
    PROGRAMS PYTHON READER SCHEMAS SCHEMATRON TESTS VALID WRITER XINCLUDE XPTR ZLIB; do
    off+=("-DLIBXML2_WITH_$feature=OFF")
  done
  cmake -S libxml2-src -B libxml2-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS=-DLIBXML_STATIC \
    "${off[@]}" >/dev/null
  cmake --build libxml2-win64 -j "$jobs" >/dev/null
  cmake --install libxml2-win64 >/dev/null
fi
echo "SQLite and libxml2 for Windows are in $prefix"
