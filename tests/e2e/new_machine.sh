#!/usr/bin/env bash
# The quick start of the README: scripts/new-machine writes a machine folder, and the command it
# prints runs vexa-host on it: three good cycles, every file found but the credentials file, the
# drive that vexa-drive wrote read as written. Then vexa-drive describes the drive anew as an
# NVMe drive with a critical warning, and the same command shows it.
#
# usage: new_machine.sh BUILD WORK
#   BUILD the native build folder (tools/vexa-host, tools/vexa-drive), WORK a scratch folder
set -euo pipefail

form=native scenario=new-machine
build="$1" work="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$here/host_machine.sh"
unset COMPUTER_INI SERVICEPACKDIR MAINDIR TEMP

"$root/scripts/new-machine" --build "$build" "$work/machine" >"$work/new-machine.txt"
[[ $(wc -l <"$work/new-machine.txt") == 1 ]] || fail "printed more than the command: $(cat "$work/new-machine.txt")"
command="$(cat "$work/new-machine.txt")"
bash -c "$command" >"$work/stdout.txt" 2>"$work/stderr.txt" || fail "the command failed: $(cat "$work/stderr.txt")"
[[ ! -s $work/stderr.txt ]] || fail "the command warned: $(cat "$work/stderr.txt")"

status="$(tr -s ' ' <"$work/stdout.txt")"
for line in "settings file found $work/machine/VW_Vexa.ini" "Computer.ini found $work/machine/Computer.ini" \
            "InstallSP.ini found $work/machine/InstallSP.ini" "Computer.xml missing $work/machine/Computer.xml" \
            "history file found $work/machine/probe-history.txt" "metrics file found $work/machine/vexa.prom" \
            "HddLifetime 12000 45000 > 45000 - ok" "HddPercentageUsed 12 90 > 90 - ok" "HddTemperature 38 70 > 70 - ok" \
            "IPC_HARDDISK 1 ok" "UPS_WORKING 1 ok" "disk source ATA" "system disk drive 0, SATA SSD 240GB" \
            "cycle interval 1000 ms" "cycles 3, failed 0, failed in a row 0"; do
  grep -qxF "$line" <<<"$status" || fail "no line \"$line\" in: $status"
done
# Every group but the CMOS battery's is rated, and rated ok.
[[ $(grep -c '^IPC_[A-Z]* 1 ok$\|^UPS_WORKING 1 ok$' <<<"$status") == 5 ]] || fail "groups: $status"

"$build/tools/vexa-drive/vexa-drive" --dir "$work/machine/drives" --nvme --critical-warning 4 \
  --hours 70000 --uncorrectable 2 --temperature 45 --percentage-used 95
[[ ! -e $work/machine/drives/PhysicalDrive0.bin ]] || fail "the ATA drive's files stayed"
bash -c "$command" >"$work/stdout.txt" 2>"$work/stderr.txt" || fail "the second run failed: $(cat "$work/stderr.txt")"
status="$(tr -s ' ' <"$work/stdout.txt")"
for line in "HddLifetime 70000 45000 > 45000 - warning" "HddOfflineUncorrectable 2 0 > 0, also rising - warning" \
            "HddCriticalWarning 4 0 - not 0 error" "HddPercentageUsed 95 90 > 90 - warning" \
            "HddTemperature 45 70 > 70 - ok" "IPC_HARDDISK 3 error" "disk source NVMe"; do
  grep -qxF "$line" <<<"$status" || fail "no line \"$line\" in: $status"
done
echo "ok (new-machine)"
