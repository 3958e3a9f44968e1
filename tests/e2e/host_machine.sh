# Sourced by the end-to-end runners (form, scenario and work set): the failure report, a fresh
# work folder, and the prepared machine's settings files in it.

fail() { echo "FAIL ($form $scenario): $*" >&2; exit 1; }
# A command that ends the run through errexit says which one, so that no failure is silent.
set -E
trap 'echo "FAIL ($form $scenario): line $LINENO: \"$BASH_COMMAND\" exited with status $?" >&2' ERR

rm -rf "$work"
mkdir -p "$work"
work="$(cd "$work" && pwd)"

# The same Windows paths serve both forms: the posix platform drops the drive letter and reads
# "\" as a separator, and Wine maps Z: to the root.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }
machine_win="$(winpath "$work")"

# Copies the machine of folder MACHINE into the work folder: Computer.ini with the broadcast
# version, InstallSP.ini with the service pack, the probe's files and the HMI variable list VARS;
# the environment names that machine.
prepare_machine() {
  local machine="$1" service_pack="$2" broadcast_version="$3" vars="$4"
  sed -e "s|@MACHINE@|$(printf '%s' "$machine_win" | sed 's/\\/\\\\/g')|" \
      -e "s|@BROADCAST_VERSION@|$broadcast_version|" "$machine/Computer.ini" >"$work/Computer.ini"
  sed -e "s|@SERVICE_PACK@|$service_pack|" "$machine/InstallSP.ini" >"$work/InstallSP.ini"
  cp "$machine/probe-history.txt" "$machine/VW_Vexa.ini" "$machine/$vars" "$work/"
  export COMPUTER_INI="$machine_win\\Computer.ini"
  export SERVICEPACKDIR="$machine_win"
  export MAINDIR="$machine_win"
}

# Registers the work folder's VW_Vexa.dll with Wine's regsvr32. Wine's launcher has been seen to
# fail to start regsvr32 once in a fresh prefix ("Application could not be started"): one more
# attempt tells that apart from a DLL that cannot register.
register_dll() {
  wine regsvr32 /s "$machine_win\\VW_Vexa.dll" </dev/null && return
  echo "regsvr32 failed once; trying again" >&2
  sleep 1
  wine regsvr32 /s "$machine_win\\VW_Vexa.dll" </dev/null || fail "regsvr32 failed"
}
