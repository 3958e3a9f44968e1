#!/usr/bin/env bash
# The Windows Installer package of one build, installed, used, upgraded and removed by Wine's
# msiexec in a Wine prefix of this test's own, created first:
#  - msiexec /i /qn with an INSTALLDIR installs exactly the package's files there, writes exactly
#    the add-on's registry entries (vexa-registry-probe "listed") and remembers the folder;
#  - vexa-host.exe from the installed folder activates the class through its ProgID and runs a
#    cycle, which gives the values file and HMI trace of the end-to-end run "values-file";
#  - msiexec /x without INSTALLDIR removes every listed entry and every packaged file from the
#    chosen folder, and leaves the VW_Vexa.ini placed beside the DLL;
#  - regsvr32 of the same DLL in the same folder writes what the package wrote, and regsvr32 /u
#    removes it all;
#  - through all of it the HMI runtime's interface entries keep their values and last-write times;
#  - with "upgrade": the package of the next version (made here with wixl from the same
#    description) installed over this one into the default folder leaves one product and the next
#    version's files, and its uninstall leaves nothing;
#  - with "beside=X64_MSI" (x86): both packages installed side by side, the x86 one removed: the
#    x64 registration stays whole, the ProgIDs and the type library's key that both share too.
# Prints how long each msiexec call took.
#
# usage: msi_wine.sh x64|x86 MSI WXS STAGED CONTENTS PROBE WORK [upgrade|beside=X64_MSI]
#   WXS       the package's description (for the next version's package)
#   STAGED    the zip's staged files (x64/, x86/ and the common files)
#   CONTENTS  the zip's list of files (tests/deploy/package-contents.txt)
#   PROBE     vexa-registry-probe.exe
set -euo pipefail
arch="$1" msi="$2" wxs="$3" staged="$4" contents="$5" probe="$6" work="$7" mode="${8:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
e2e="$here/../e2e"
form=msi scenario="$arch"
source "$e2e/host_machine.sh"

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine_prefix="$here/../../cmake/wine-prefix.sh"
trap 'sh "$wine_prefix" stop' EXIT
sh "$wine_prefix" start

if [[ $arch == x64 ]]; then
  bits=64 regsvr='C:\windows\system32\regsvr32.exe' default_dir='C:\Program Files\Vexa'
else
  bits=32 regsvr='C:\windows\syswow64\regsvr32.exe' default_dir='C:\Program Files (x86)\Vexa'
fi
install_dir='C:\Vexa Test\Add-on'
unix_path() { printf '%s/drive_c/%s' "$WINEPREFIX" "$(printf '%s' "${1#C:\\}" | tr '\\' '/')"; }
probe_win="$(winpath "$probe")"
probe() { wine "$probe_win" "$@" </dev/null | tr -d '\r'; }

# Runs msiexec with the arguments and prints how long it took under the label.
msiexec() {
  local label="$1" start end
  shift
  start=$(date +%s%N)
  wine msiexec "$@" </dev/null || fail "$label: msiexec $* exited with status $?"
  end=$(date +%s%N)
  printf '%s %s: %d ms\n' "$arch" "$label" $(((end - start) / 1000000))
}

# The package's files, by path below the installation folder, one a line.
packaged_files() {
  sed -n -e "s|^$arch/||p" -e 't' -e '/^x64\//d' -e '/^x86\//d' -e 'p' "$contents" | sort
}
installed_files() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }

# Checks that FOLDER holds exactly the packaged files, byte for byte those of SOURCE.
expect_package_files() {
  local folder="$1" source="$2" label="$3" file
  diff -u <(packaged_files) <(installed_files "$folder") || fail "$label: files differ"
  while read -r file; do
    local from="$source/$file"
    [[ -f $from ]] || from="$source/$arch/$file"
    cmp -s "$from" "$folder/$file" || fail "$label: $file is not the package's"
  done < <(packaged_files)
}

expect_runtime_untouched() {
  diff -u "$work/runtime-before.txt" <(probe runtime) || fail "$1: the runtime's interface entries changed"
}

dll_win="$install_dir\\VW_Vexa.dll"
probe lay-runtime || fail "could not lay the runtime's interface entries"
probe runtime >"$work/runtime-before.txt"
[[ -s $work/runtime-before.txt ]] || fail "no runtime interface entries laid"
probe listed "$bits" "$dll_win" >"$work/listed.txt"

# Install into a folder of the administrator's choice.
msiexec install /i "$(winpath "$msi")" /qn "INSTALLDIR=$install_dir"
folder="$(unix_path "$install_dir")"
expect_package_files "$folder" "$staged" "install"
probe owned "$bits" "$dll_win" >"$work/owned-msi.txt"
diff -u "$work/listed.txt" "$work/owned-msi.txt" || fail "install: registry differs from the add-on's list"
expect_runtime_untouched install
remembered="$(wine reg query 'HKLM\Software\Vexa\VW_Vexa' /v InstallDir "/reg:$bits" </dev/null |
  tr -d '\r' | sed -n -E 's/^ +InstallDir +REG_SZ +//p')"
[[ $remembered == "$install_dir\\" ]] || fail "install: remembered folder '$remembered'"

# The COM client: the installed host activates the class by its ProgID and runs a cycle.
prepare_machine "$e2e/machine" 2.8 0 values-file.vars
cp "$e2e/machine/VW_Vexa.ini" "$folder/VW_Vexa.ini"
run_status=0
wine "$install_dir\\vexa-host.exe" --cycles 1 --seconds 60 --hmi-vars "$machine_win\\values-file.vars" \
  --hmi-trace "$machine_win\\trace.txt" >"$work/stdout.txt" 2>"$work/stderr.txt" </dev/null || run_status=$?
[[ $run_status == 0 ]] || fail "the installed host exited with $run_status: $(cat "$work/stderr.txt")"
expected="$e2e/expected/values-file"
diff -u "$expected/trace.txt" <(awk '!seen[$0]++' "$work/trace.txt") || fail "HMI trace differs"
values="$(find "$WINEPREFIX/drive_c/users" -name VexaValues.ini | head -n 1)"
[[ -n $values ]] || fail "no values file written"
diff -u <(tr -d '\r' <"$expected/VexaValues.ini") \
  <(tr -d '\r' <"$values" | awk '/^\[/ { status = ($0 == "[VEXA_STATUS]") } !status') ||
  fail "values file differs"

# Uninstall: msiexec finds the chosen folder by itself.
msiexec uninstall /x "$(winpath "$msi")" /qn
[[ "$(installed_files "$folder")" == VW_Vexa.ini ]] ||
  fail "uninstall: left $(installed_files "$folder" | tr '\n' ' ')"
probe owned "$bits" "$dll_win" >"$work/owned-after.txt"
[[ ! -s $work/owned-after.txt ]] || fail "uninstall: left registry entries: $(cat "$work/owned-after.txt")"
! wine reg query 'HKLM\Software\Vexa\VW_Vexa' "/reg:$bits" >/dev/null 2>&1 </dev/null ||
  fail "uninstall: the remembered folder stayed"
expect_runtime_untouched uninstall

# regsvr32 of the same DLL in the same place writes what the package wrote.
cp "$staged/$arch/VW_Vexa.dll" "$folder/VW_Vexa.dll"
wine "$regsvr" /s "$dll_win" </dev/null || fail "regsvr32 failed"
diff -u "$work/owned-msi.txt" <(probe owned "$bits" "$dll_win") || fail "regsvr32 wrote other entries than msiexec"
expect_runtime_untouched regsvr32
wine "$regsvr" /s /u "$dll_win" </dev/null || fail "regsvr32 /u failed"
[[ -z $(probe owned "$bits" "$dll_win") ]] || fail "regsvr32 /u left registry entries"
expect_runtime_untouched "regsvr32 /u"

if [[ $mode == upgrade ]]; then
  # The next version: its third part raised (the fourth does not count for an upgrade), and a
  # documentation file that tells its files from this version's.
  version="$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')"
  IFS=. read -r major minor build revision <<<"$version"
  next="$major.$minor.$((build + 1)).${revision:-0}"
  cp -r "$staged" "$work/next"
  printf '\nVersion %s.\n' "$next" >>"$work/next/docs/README.md"
  (cd "$work/next" && wixl -a "$arch" -D "Version=$next" -o "$work/next.msi" "$wxs" 2>/dev/null) ||
    fail "wixl failed on the next version's package"
  msiexec "install $version" /i "$(winpath "$msi")" /qn
  msiexec "upgrade to $next" /i "$(winpath "$work/next.msi")" /qn
  default_folder="$(unix_path "$default_dir")"
  expect_package_files "$default_folder" "$work/next" upgrade
  products="$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$bits" </dev/null |
    tr -d '\r' | grep -A20 -E '^ +DisplayName +REG_SZ +Vexa hardware-health monitor' |
    sed -n -E 's/^ +DisplayVersion +REG_SZ +//p')"
  [[ $products == "$next" ]] || fail "upgrade: products of versions '$products', expected one of $next"
  default_dll="$default_dir\\VW_Vexa.dll"
  diff -u <(probe listed "$bits" "$default_dll") <(probe owned "$bits" "$default_dll") ||
    fail "upgrade: registry differs from the add-on's list"
  msiexec "uninstall $next" /x "$(winpath "$work/next.msi")" /qn
  [[ ! -e $default_folder ]] || fail "uninstall after the upgrade left $(installed_files "$default_folder" | tr '\n' ' ')"
  [[ -z $(probe owned "$bits" "$default_dll") ]] || fail "uninstall after the upgrade left registry entries"
  expect_runtime_untouched upgrade
fi
if [[ $mode == beside=* ]]; then
  x64_msi="$(winpath "${mode#beside=}")" x64_dll='C:\Program Files\Vexa\VW_Vexa.dll'
  msiexec "install x64 beside" /i "$x64_msi" /qn
  msiexec "install beside x64" /i "$(winpath "$msi")" /qn
  msiexec "uninstall beside x64" /x "$(winpath "$msi")" /qn
  diff -u <(probe listed 64 "$x64_dll") <(probe owned 64 "$x64_dll") ||
    fail "uninstalling the x86 package broke the x64 registration"
  msiexec "uninstall x64 beside" /x "$x64_msi" /qn
  [[ -z $(probe owned 64 "$x64_dll") ]] || fail "the x64 package left registry entries"
fi
echo "ok (msi $arch)"
