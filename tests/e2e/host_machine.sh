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

# One 12-byte entry of a S.M.A.R.T. attribute data block: ID, status flags, current and worst
# value, a 48-bit raw value (only its low 16 bits given here), reserved. FLAGS defaults to 3
# (pre-failure, on-line). A threshold block's entry is ID and threshold: THRESHOLD_ENTRY.
smart_entry() {
  local id=$1 current=$2 raw=$3 flags=${4:-3}
  printf '\\x%02x' "$id" "$flags" 0 "$current" "$current" $((raw & 255)) $((raw >> 8)) 0 0 0 0 0
}
threshold_entry() { printf '\\x%02x' "$1" "$2" 0 0 0 0 0 0 0 0 0 0; }
# N zero bytes.
zeros() { head -c "$1" /dev/zero; }
# An NVMe health page: critical warning, temperature in kelvin, percentage used, power-on hours.
nvme_page() {
  local warning=$1 kelvin=$2 used=$3 hours=$4
  printf "$(printf '\\x%02x' "$warning" $((kelvin & 255)) $((kelvin >> 8)) 100 10 "$used")"
  zeros 122
  printf "$(printf '\\x%02x' $((hours & 255)) $(((hours >> 8) & 255)) $((hours >> 16)))"
  zeros 381
}
# One 512-byte page of the Device Statistics log: header naming PAGE, then the statistic at
# offset 8 with its supported and valid flags and the low byte VALUE.
devstat_page() {
  local page=$1 value=$2
  printf "$(printf '\\x%02x' 1 0 "$page" 0 0 0 0 0 "$value" 0 0 0 0 0 0 0xc0)"
  zeros 496
}
# The Device Statistics log of a SATA SSD: page 0 lists pages 0, 5 and 7; the current
# temperature (degrees Celsius) and the percentage used.
devstat_log() {
  local celsius=$1 used=$2
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x05\x07'; zeros 500
  zeros $((512 * 4))
  devstat_page 5 "$celsius"
  zeros 512
  devstat_page 7 "$used"
}
