#!/usr/bin/env bash
# The Windows module under Wine, in a fresh 64-bit prefix made in a
# temporary directory and removed at the end (its wineserver is stopped
# first, also when a check or the script itself fails):
#   tests/wine/run.sh [BUILD_DIR]     (default build-mingw, made by
#                                      scripts/windows-build.sh)
# Needs no display: Wine runs without its X11 driver.
# 1. regsvr32 registers harbolt.dll; the registry entries are read back with
#    reg query.
# 2. cscript runs late_binding.vbs: the object by its program identifier,
#    members called by name.
# 3. dispatch_client.exe: GetIDsOfNames/Invoke, DISPIDs, help strings through
#    ITypeInfo, the COM error object, the other classes, resources, exports;
#    fault_translation.exe: faults become the program's exception;
#    platform_resources.exe: strings, bitmaps and text resources come from
#    the module's resource section, and the thread locale;
#    host_round_trip.exe: the simulated host loads the module through the
#    registry, and an export and an import of the sample run in it.
# 4. regsvr32 /u removes the entries, and leaves the shared keys.
# Prints one line per check and "N passed, N failed"; exits non-zero when a
# check failed.
set -uo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build-mingw}")
dll=$build/bin/harbolt.dll
client=$build/bin/dispatch_client.exe
for f in "$dll" "$client" "$build/bin/fault_translation.exe" "$build/bin/platform_resources.exe" \
  "$build/bin/host_round_trip.exe"; do
  [ -f "$f" ] || { echo "missing $f: run scripts/windows-build.sh first" >&2; exit 2; }
done

# The prefix and Wine's own temporary files (its server's socket directory)
# live in one scratch directory.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/harbolt-wine.XXXXXX") || exit 2
export WINEPREFIX=$scratch/prefix
export TMPDIR=$scratch/tmp
mkdir -p "$WINEPREFIX" "$TMPDIR"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok   $what"
  else
    failed=$((failed + 1))
    echo "FAIL $what"
  fi
}

# A Unix path as Wine's drive Z: sees it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Runs a Windows program; its output without carriage returns.
wine_run() { timeout 300 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The value (REG_SZ/REG_DWORD text) of NAME under KEY ("" for the default
# value); fails when the key or the value does not exist.
reg_value() {  # reg_value KEY NAME
  local out
  if [ -z "$2" ]; then
    out=$(timeout 60 wine reg query "$1" /ve </dev/null 2>/dev/null) || return 1
  else
    out=$(timeout 60 wine reg query "$1" /v "$2" </dev/null 2>/dev/null) || return 1
  fi
  printf '%s\n' "$out" | tr -d '\r' | awk -v name="${2:-(Default)}" '
    { line = $0; sub(/^ +/, "", line) }
    index(line, name " ") == 1 {
      sub(/^[^ ]+( [^ ]+)* +REG_[A-Z_]+ */, "", line); print line; found = 1; exit }
    END { exit !found }'
}
has_value() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
key_exists() { timeout 60 wine reg query "$1" </dev/null >/dev/null 2>&1; }
key_missing() { ! key_exists "$1"; }

# Runs a test program that ends with "N passed, N failed" and counts it as one
# check: it must print that line, fail nothing and exit 0.
summary_check() {  # summary_check DESCRIPTION COMMAND...
  local what=$1 out status line
  shift
  out=$("$@")
  status=$?
  printf '%s\n' "$out" | sed 's/^/    /'
  line=$(printf '%s\n' "$out" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -1)
  check "$what" test -n "$line" -a "$status" -eq 0 -a "${line#* passed, }" = "0 failed"
}

started=$(date +%s)
cleanup() {
  timeout 60 wineserver -k >/dev/null 2>&1 </dev/null
  sleep 1  # the server writes the prefix's registry files as it ends
  rm -rf "$scratch" 2>/dev/null || { sleep 2; rm -rf "$scratch"; }
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
wineserver -p >/dev/null 2>&1 </dev/null
timeout 300 wine wineboot -i </dev/null >/dev/null 2>&1
echo "wine prefix ready in $(($(date +%s) - started)) s"

clsid='{1C227C16-C127-4F54-B26C-EF8F2BA2448D}'
appid='{7B8BAA99-AB92-415D-A210-42402A6E7686}'
addins='HKLM\SOFTWARE\SolidWorks\AddIns'

# 1. Registration.
check "regsvr32 registers harbolt.dll" timeout 120 wine regsvr32 /s "$(winpath "$dll")" \
  </dev/null
# KEY|NAME|VALUE: the value NAME ("" for the default value) of KEY.
while IFS='|' read -r key name value; do
  check "$key: ${name:-default value} = $value" has_value "$key" "$name" "$value"
done <<EOF
$addins\\$clsid||0x0
$addins\\$clsid|Title|Harbolt
$addins\\$clsid|Description|Harbolt AddIn
HKCR\AppID\\$appid||Harbolt
HKCR\AppID\Harbolt.DLL|AppID|$appid
HKCR\Harbolt.Harbolt\CLSID||$clsid
HKCR\Harbolt.Harbolt\CurVer||Harbolt.Harbolt.1
HKCR\Harbolt.Harbolt.1\CLSID||$clsid
HKCR\CLSID\\$clsid\ProgID||Harbolt.Harbolt.1
HKCR\CLSID\\$clsid\VersionIndependentProgID||Harbolt.Harbolt
HKCR\CLSID\\$clsid\InprocServer32||$(winpath "$dll")
HKCR\CLSID\\$clsid\InprocServer32|ThreadingModel|apartment
HKCR\CLSID\\$clsid\TypeLib||{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}
HKCR\HarboltSwDocument.1\CLSID||{E78843C2-6D58-4740-9A12-AACD2D9F758E}
HKCR\TypeLib\\$appid\1.0||Harbolt 1.0 Type Library
HKCR\Interface\{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}||IHarbolt
EOF
check "the class is Programmable" key_exists "HKCR\\CLSID\\$clsid\\Programmable"

# 2. Late binding from a script.
summary_check "cscript late_binding.vbs" \
  wine_run cscript //nologo "$(winpath "$PWD/tests/wine/late_binding.vbs")"

# 3. The C++ client.
summary_check "dispatch_client.exe" wine_run "$(winpath "$client")" "$(winpath "$dll")"

# The fault handlers under the system's exception dispatcher.
summary_check "fault_translation.exe" wine_run "$(winpath "$build/bin/fault_translation.exe")"

# The platform reads the module's own resources, and the thread locale.
summary_check "platform_resources.exe" wine_run "$(winpath "$build/bin/platform_resources.exe")"

# The simulated host loads the registered module and exports and imports a
# copy of the sample.
mkdir -p "$scratch/sample" "$scratch/work"
cp examples/sample/* "$scratch/sample/"
summary_check "host_round_trip.exe" wine_run "$(winpath "$build/bin/host_round_trip.exe")" \
  "$(winpath "$scratch/sample")" "$(winpath "$scratch/work")"

# 4. Unregistration.
check "regsvr32 /u unregisters harbolt.dll" timeout 120 wine regsvr32 /u /s "$(winpath "$dll")" \
  </dev/null
for key in "$addins\\$clsid" "HKCR\\AppID\\$appid" 'HKCR\AppID\Harbolt.DLL' "HKCR\\CLSID\\$clsid" \
  'HKCR\Harbolt.Harbolt' 'HKCR\Harbolt.Harbolt.1' "HKCR\\TypeLib\\$appid\\1.0"; do
  check "$key is gone" key_missing "$key"
done
for key in "$addins" 'HKCR\AppID' 'HKCR\CLSID'; do
  check "$key stays" key_exists "$key"
done

echo "wine tests took $(($(date +%s) - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
