#!/usr/bin/env bash
# Bad input to vexa-host, the small tools and the scripts, case by case: the exit status and the
# one line on standard error that names what is wrong. A run that must not start the monitor
# leaves no log behind; --help prints clean text on standard output.
#
# usage: usage.sh HOST SCRAMBLE SENSOR_MEMORY DRIVE WORK
#   HOST the native vexa-host, SCRAMBLE vexa-scramble, SENSOR_MEMORY vexa-sensor-memory, DRIVE
#   vexa-drive, WORK a scratch folder, emptied first
set -euo pipefail

form=native scenario=usage
host="$1" scramble="$2" sensor_memory="$3" drive="$4" work="$5"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$here/host_machine.sh"
prepare_machine "$here/machine" 2.8 0 values-file.vars
cp "$here/machine/missing-variable.vars" "$work/"
export TEMP="$machine_win"

long_password="$(printf 'x%.0s' {1..52})"
# TOOL | ARGUMENTS (words; W stands for the work folder) | STATUS | the line on standard error
# (an extended regular expression; "-" for none). Runs that start the monitor end after a cycle.
cases=(
  "host|--cycles 0|1|vexa-host: --cycles needs a whole number, 1 or more, not 0; see --help"
  "host|--seconds abc|1|vexa-host: --seconds needs a number of seconds, 0 or more, not abc; see --help"
  "host|--bogus|1|vexa-host: unknown option --bogus; see --help"
  "host|--seconds 1 --bogus|1|vexa-host: unknown option --bogus; see --help"
  "host|--bogus 1|1|vexa-host: unknown option --bogus; see --help"
  "host|stray|1|vexa-host: unexpected argument stray; see --help"
  "host|--cycles|1|vexa-host: --cycles needs a value; see --help"
  "host|--hmi-vars --status|1|vexa-host: --hmi-vars needs a value; see --help"
  "host|--module-ini W/no-such.ini|1|vexa-host: cannot read the settings file W/no-such.ini"
  "host|--registry W/no-such.reg|1|vexa-host: cannot read the registry file W/no-such.reg"
  "host|--accounts W/no-such.txt|1|vexa-host: cannot read the accounts file W/no-such.txt"
  "host|--hmi-vars W/no-such.vars|1|vexa-host: cannot read W/no-such.vars"
  "host|--smart-dir W/no-such|1|vexa-host: not a folder: W/no-such"
  "host|--cycles 1 --event-log W/no-such.txt|0|-"
  "host|--cycles 1 --no-hmi-runtime|2|vexa-host: the monitor did not start: no HMI runtime is running \(GetRunningObject failed\): start the HMI runtime first"
  "host|--cycles 1 --hmi-vars W/missing-variable.vars|2|vexa-host: the monitor did not start: the HMI project has no variable mb_fan_1_set: .*"
  "host|--cycles 1 COMPUTER_INI=W/no-such.ini|0|vexa-host: warning: Computer.ini W/no-such.ini is missing: its keys take their defaults"
  "scramble|--hlep|1|vexa-scramble: unknown option --hlep; see --help"
  "scramble||1|vexa-scramble: no password given; see --help"
  "scramble|a b|1|vexa-scramble: give one password; see --help"
  "scramble|EMPTY|2|vexa-scramble: this password cannot be scrambled: it is empty \(a password has 1 to 51 characters\)"
  "scramble|$long_password|2|vexa-scramble: this password cannot be scrambled: it has 52 characters \(at most 51 can be scrambled\)"
  "sensor-memory|--fan 1=99999999999|1|vexa-sensor-memory: bad value 99999999999 in --fan 1=99999999999 \(a 32-bit integer, -2147483648 to 4294967295\); see --help"
  "sensor-memory|--temp 32=40|1|vexa-sensor-memory: bad index 32 in --temp 32=40 \(0 to 31\); see --help"
  "sensor-memory|--fan|1|vexa-sensor-memory: --fan needs a value; see --help"
  "drive||1|vexa-drive: --dir is missing; see --help"
  "drive|--dir W/d --temperature 300|1|vexa-drive: --temperature needs degrees Celsius, 0 to 200, not 300; see --help"
  "drive|--dir W/d --current 5|1|vexa-drive: --current needs ID=V, both 0 to 255, not 5; see --help"
  "drive|--dir W/d --hours|1|vexa-drive: --hours needs a value; see --help"
  "new-machine||1|new-machine: the machine folder is missing; see --help"
  "new-machine|W/a W/b|1|new-machine: unexpected argument W/b; see --help"
  "soak|--cycles abc|1|soak: --cycles needs a whole number of at least 1, not abc; see --help"
  "soak|--cycles|1|soak: --cycles needs a value; see --help"
  "soak|--hlep|1|soak: unknown option --hlep; see --help"
)
for case in "${cases[@]}"; do
  IFS='|' read -r tool arguments want_status want_line <<<"$case"
  arguments="${arguments//W\//$work/}" want_line="${want_line//W\//$work/}"
  rm -f "$work/Vexa.log"
  environment=()
  words=()
  for word in $arguments; do
    case "$word" in
      COMPUTER_INI=*) environment+=("COMPUTER_INI=$(winpath "${word#*=}")") ;;
      EMPTY) words+=("") ;;
      *) words+=("$word") ;;
    esac
  done
  case "$tool" in
    host) command=("$host" --module-ini "$work/VW_Vexa.ini") ;;
    scramble) command=("$scramble") ;;
    sensor-memory) command=("$sensor_memory") ;;
    drive) command=("$drive") ;;
    new-machine) command=("$root/scripts/new-machine") ;;
    soak) command=("$root/scripts/soak" --host "$host" --work "$work/soak") ;;
  esac
  # The settings file of its own goes first, so that a case's --module-ini is the one used.
  [[ $tool == host && $arguments == *--module-ini* ]] && command=("$host")
  status=0
  env ${environment[@]+"${environment[@]}"} "${command[@]}" ${words[@]+"${words[@]}"} \
    >"$work/stdout.txt" 2>"$work/stderr.txt" </dev/null || status=$?
  label="$tool $arguments"
  [[ $status == "$want_status" ]] || fail "$label: status $status, expected $want_status: $(cat "$work/stderr.txt")"
  if [[ $want_line == - ]]; then
    [[ ! -s $work/stderr.txt ]] || fail "$label: said $(cat "$work/stderr.txt")"
  else
    grep -qxE -- "$want_line" "$work/stderr.txt" || fail "$label: said $(cat "$work/stderr.txt")"
  fi
  if [[ $want_status == 1 ]]; then
    [[ $(wc -l <"$work/stderr.txt") == 1 ]] || fail "$label: more than one line: $(cat "$work/stderr.txt")"
    [[ ! -s $work/stdout.txt && ! -e $work/Vexa.log ]] || fail "$label: ran despite bad usage"
  fi
done

# Asked for, the help goes to standard output, without the monitor and without comment marks.
"$host" --cycles 3 --help >"$work/help.txt" || fail "--help exited with status $?"
grep -q '^usage: vexa-host' "$work/help.txt" && grep -q '^Exit status' "$work/help.txt" ||
  fail "--help printed: $(cat "$work/help.txt")"
[[ ! -e $work/Vexa.log ]] || fail "the monitor ran for --help"
for script in "$root"/scripts/*; do
  [[ -f $script && -x $script ]] || continue
  "$script" --help >"$work/help.txt" || fail "$script --help exited with status $?"
  [[ -s $work/help.txt ]] && ! grep -q '^#' "$work/help.txt" ||
    fail "$script --help printed: $(cat "$work/help.txt")"
done
echo "ok (usage)"
