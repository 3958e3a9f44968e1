#!/usr/bin/env bash
# The drive record across host runs (native): a first run of 40 simulated days of hourly cycles,
# its NVMe system disk wearing 0.5 % a day from 40 % as in the soak run, writes the record (its
# last day at 59 or 60 %) and forecasts about 80 days; a second run on the real clock reads those
# days back and forecasts from them; a third run, its system disk's serial number changed, logs
# the replacement and starts the new drive's record.
#
# usage: drive_record.sh HOST WORK
set -euo pipefail

host="$1" work="$2"
form=native scenario=drive-record
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/host_machine.sh"

prepare_machine "$here/machine" 2.8 0 values-file.vars
printf '\r\n[Export]\r\nMetricsFile=%s\\vexa.prom\r\n' "$machine_win" >>"$work/VW_Vexa.ini"
mkdir "$work/drives"
nvme_page 0 318 40 12000 >"$work/drives/PhysicalDrive0.nvme"
printf 'NVMe SSD 980 500GB\r\nS6XNNF0R123456\r\n' >"$work/drives/PhysicalDrive0.ident"
record="$work/VexaDriveRecord.txt"

run() {
  TEMP="$machine_win" "$host" --module-ini "$work/VW_Vexa.ini" --hmi-vars "$work/values-file.vars" \
    --smart-dir "$work/drives" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" ||
    fail "the host failed: $(cat "$work/stderr.txt")"
}
value() { tr -d '\r' <"$work/VexaValues.ini" | sed -n "s/^$1=//p"; }

sed -i 's/^CycleTime=.*/CycleTime=3600000\r/' "$work/VW_Vexa.ini"
run --simulate-days 40 --wear-per-day 0.5
days="$(grep -c '^20[0-9-]* ' "$record")" || true
((days >= 40 && days <= 42)) || fail "the first run recorded $days days: $(cat "$record")"
tr -d '\r' <"$record" | grep -q '^model: NVMe SSD 980 500GB$' &&
  tr -d '\r' <"$record" | grep -q '^serial: S6XNNF0R123456$' &&
  tr -d '\r' <"$record" | grep -Eq '^20[0-9-]{8} 129[0-9]{2} (59|60) 0 0 0 0 45$' ||
  fail "the record's drive or last day: $(cat "$record")"
left="$(sed -n -E 's/^simulated .*; days left ([0-9]+) \(basis wear, wear (59|60) %\)$/\1/p' "$work/stdout.txt")"
[[ -n $left ]] && ((left >= 78 && left <= 82)) ||
  fail "the summary line's forecast: $(tail -n 1 "$work/stdout.txt")"

# The same drive on the real clock: the first run's days give the forecast at once, 40 % left at
# 0.5 % a day, within the band of DaysLeftWarning (180) but not DaysLeftError (30).
sed -i 's/^CycleTime=.*/CycleTime=100\r/' "$work/VW_Vexa.ini"
run --cycles 2 --status
# The values file's section of readings follows a cycle behind when no group digit changes.
left="$(value HddDaysLeft)"
((left >= 78 && left <= 82)) || fail "HddDaysLeft=$left after the first run's days"
[[ $(value IPC_HARDDISK) == 2 ]] || fail "IPC_HARDDISK=$(value IPC_HARDDISK), expected warning"
left="$(sed -n -E 's/^disk days left +([0-9]+) \(basis wear, wear 60 %\)$/\1/p' "$work/stdout.txt")"
[[ -n $left ]] && ((left >= 78 && left <= 82)) || fail "status: $(cat "$work/stdout.txt")"
grep -qx "vexa_disk_days_left{basis=\"wear\"} $left" "$work/vexa.prom" ||
  fail "metrics: $(grep days_left "$work/vexa.prom")"
first_seen="$(sed -n 's/^vexa_disk_first_seen_timestamp_seconds //p' "$work/vexa.prom")"
(( $(date +%s) - first_seen >= 39 * 86400 )) || fail "first seen at $first_seen"
! grep -q 'System disk replaced' "$work/Vexa.log" || fail "a replacement logged for the same drive"

# Another drive: one replacement line, a new record of its own, no forecast yet.
printf 'NVMe SSD 990 PRO 1TB\r\nS7KGNU0X000042\r\n' >"$work/drives/PhysicalDrive0.ident"
run --cycles 2 --status
[[ $(grep -c 'System disk replaced: NVMe SSD 980 500GB S6XNNF0R123456 -> NVMe SSD 990 PRO 1TB S7KGNU0X000042$' \
  <(tr -d '\r' <"$work/Vexa.log")) == 1 ]] || fail "no single replacement line: $(cat "$work/Vexa.log")"
[[ $(value HddDaysLeft) == -1 ]] || fail "HddDaysLeft=$(value HddDaysLeft) for a new drive"
grep -Eq '^disk days left +not enough data \(0 of 14 days\)$' "$work/stdout.txt" ||
  fail "status: $(cat "$work/stdout.txt")"
[[ $(grep -c '^drive' "$record") == 2 ]] || fail "the record does not hold both drives: $(cat "$record")"
(( $(sed -n 's/^vexa_disk_first_seen_timestamp_seconds //p' "$work/vexa.prom") > first_seen )) ||
  fail "the new drive's first-seen time is not later"
echo "ok (native drive-record)"
