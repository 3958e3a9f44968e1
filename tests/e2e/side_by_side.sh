#!/usr/bin/env bash
# The x64 and the x86 VW_Vexa.dll registered side by side in one WoW64 prefix, each with the
# regsvr32 of its bitness: each writes its class to its own registry view and its path to its
# own system's entry of the shared type library. Unregistering the x86 one leaves the x64 one
# whole: its class, its ProgIDs and its type library entry; unregistering that one too removes
# them.
#
# usage: side_by_side.sh X64_DLL X86_DLL WORK_DIR      (WINEPREFIX names the prefix)
set -euo pipefail
x64_dll="$1" x86_dll="$2" work="$3"
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
clsid='{C062FA4F-7FCA-45D0-937B-372B3D322E14}' libid='{08EE4F7F-FAE1-493B-A46B-EDF65686AE51}'

fail() { echo "FAIL (side by side): $*" >&2; exit 1; }
[[ -f $x64_dll ]] || fail "no x64 build at $x64_dll: build the preset mingw first"

rm -rf "$work"
mkdir -p "$work/x64" "$work/x86"
cp "$x64_dll" "$work/x64/VW_Vexa.dll"
cp "$x86_dll" "$work/x86/VW_Vexa.dll"
work="$(cd "$work" && pwd)"
x64_win="Z:$(printf '%s' "$work/x64/VW_Vexa.dll" | tr '/' '\\')"
x86_win="Z:$(printf '%s' "$work/x86/VW_Vexa.dll" | tr '/' '\\')"
regsvr64='C:\windows\system32\regsvr32.exe'
regsvr32='C:\windows\syswow64\regsvr32.exe'

# The default value of KEY in registry view VIEW (32 or 64), or nothing when it is absent.
default_value() {
  wine reg query "$1" /ve "/reg:$2" 2>/dev/null </dev/null | tr -d '\r' |
    sed -n -E 's/^ +\(Default\) +REG_[A-Z_]+ +//p' || true
}

expect_value() {
  local key="$1" view="$2" expected="$3" actual
  actual="$(default_value "$key" "$view")"
  [[ $actual == "$expected" ]] || fail "$4: $key in the $view-bit view is '$actual', expected '$expected'"
}

cleanup() {
  wine "$regsvr32" /s /u "$x86_win" </dev/null >/dev/null 2>&1 || true
  wine "$regsvr64" /s /u "$x64_win" </dev/null >/dev/null 2>&1 || true
}
trap cleanup EXIT

wine "$regsvr64" /s "$x64_win" </dev/null || fail "the 64-bit regsvr32 failed on the x64 DLL"
wine "$regsvr32" /s "$x86_win" </dev/null || fail "the 32-bit regsvr32 failed on the x86 DLL"

inproc="HKCR\\CLSID\\$clsid\\InprocServer32"
typelib="HKCR\\TypeLib\\$libid\\1.0\\0"
expect_value "$inproc" 64 "$x64_win" "both registered"
expect_value "$inproc" 32 "$x86_win" "both registered"
for view in 64 32; do
  expect_value "$typelib\\win64" "$view" "$x64_win" "both registered"
  expect_value "$typelib\\win32" "$view" "$x86_win" "both registered"
  expect_value 'HKCR\VW_Vexa.VW_Vexa.1\CLSID' "$view" "$clsid" "both registered"
done

wine "$regsvr32" /s /u "$x86_win" </dev/null || fail "the 32-bit regsvr32 /u failed on the x86 DLL"
expect_value "$inproc" 32 "" "x86 unregistered"
expect_value "$typelib\\win32" 32 "" "x86 unregistered"
for view in 64 32; do
  expect_value "$typelib\\win64" "$view" "$x64_win" "x86 unregistered"
  expect_value 'HKCR\VW_Vexa.VW_Vexa.1\CLSID' "$view" "$clsid" "x86 unregistered"
  expect_value 'HKCR\VW_Zorbel.VW_ZorbelObj\CurVer' "$view" 'VW_Vexa.VW_Vexa.1' "x86 unregistered"
done
expect_value "$inproc" 64 "$x64_win" "x86 unregistered"

wine "$regsvr64" /s /u "$x64_win" </dev/null || fail "the 64-bit regsvr32 /u failed on the x64 DLL"
for view in 64 32; do
  expect_value "$inproc" "$view" "" "both unregistered"
  expect_value 'HKCR\VW_Vexa.VW_Vexa.1\CLSID' "$view" "" "both unregistered"
  expect_value "$typelib\\win64" "$view" "" "both unregistered"
done
echo "side by side: both registered, the x64 registration whole after the x86 one left"
