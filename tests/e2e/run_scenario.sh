#!/usr/bin/env bash
# Runs vexa-host end to end on the machine files of machine/ and checks what the monitor
# produced: the values file with its heartbeat, the HMI trace, the log, the metrics file, the
# status table of --status and the exit status.
#
# usage: run_scenario.sh native|wine SCENARIO HOST DLL WORK EXPECTED
#   HOST      vexa-host (native) or vexa-host.exe (wine)
#   DLL       VW_Vexa.dll (wine; "-" natively)
#   WORK      a scratch folder, emptied first
#   EXPECTED  the folder of expected results (expected/SCENARIO/...); "-" runs without checking
# Scenarios: values-file, classic, forced-values-file, missing-variable, late-failure (no runtime
# to find, and the time is up before the monitor reports it), password and unrouted-message-boxes
# (wine only; DLL is then a stand-in of the add-on that imports no MessageBoxW),
# dotted-module-ini (native only: the settings file in a folder named like a module, its fast
# cycle the proof that it was read), stale-sensors and fresh-sensors (native only: a history
# file that stops changing, or one that a writer keeps extending, under limits of 1 or 2 s),
# machine, nvme and two-drives (native only: the stand-ins of the registry, the event log, the
# drives and the accounts, with an ATA or an NVMe drive 0, or an ATA drive 0 beside the NVMe
# system disk 1). Bad command lines are usage.sh's.
# Under Wine the DLL is registered with regsvr32 for the run and unregistered after it, which must
# leave none of its keys behind.
set -euo pipefail

form="$1" scenario="$2" host="$3" dll="$4" work="$5" expected="$6"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

source "$here/host_machine.sh"
clsid='{C062FA4F-7FCA-45D0-937B-372B3D322E14}' libid='{08EE4F7F-FAE1-493B-A46B-EDF65686AE51}'

service_pack=2.8 broadcast_version=0 vars=values-file.vars status=0 password=0
case "$scenario" in
  values-file) ;;
  classic) service_pack=2.7 vars=classic.vars ;;
  forced-values-file) service_pack=2.7 broadcast_version=1 ;;
  missing-variable) vars=missing-variable.vars status=2 ;;
  late-failure) status=2 ;;
  dotted-module-ini) ;;
  stale-sensors|fresh-sensors) ;;
  password) password=1 status=2 ;;
  unrouted-message-boxes) status=2 ;;
  machine|nvme|two-drives) password=1 ;;
  *) fail "unknown scenario" ;;
esac

prepare_machine "$here/machine" "$service_pack" "$broadcast_version" "$vars"
# The metrics file beside the values file, from the add-on's own settings file.
printf '\r\n[Export]\r\nMetricsFile=%s\\vexa.prom\r\n' "$machine_win" >>"$work/VW_Vexa.ini"
if [[ $password == 1 ]]; then
  cp "$here/machine/Computer-with-password.xml" "$work/Computer.xml"
fi

native_machine=()
if [[ $scenario == stale-sensors ]]; then
  printf '\r\n[Freshness]\r\nSensorSeconds=1\r\nDiskSeconds=1\r\n' >>"$work/VW_Vexa.ini"
elif [[ $scenario == fresh-sensors ]]; then
  # The writer appends a sample every 0.1 s; 2 s without one would be a stalled test machine.
  printf '\r\n[Freshness]\r\nSensorSeconds=2\r\nDiskSeconds=0\r\n' >>"$work/VW_Vexa.ini"
fi
if [[ $scenario == machine || $scenario == nvme || $scenario == two-drives ]]; then
  cp "$here/machine/ups-status.reg" "$here/machine/application-log.txt" "$here/machine/accounts.txt" "$work/"
  mkdir -p "$work/drives"
fi
if [[ $scenario == machine || $scenario == two-drives ]]; then
  # Drive 0: 21000 power-on hours, 2 pending, 1 reallocation event, 3 reallocated sectors.
  block="$(printf '\\x%02x' 16 0)$(smart_entry 9 95 21000)$(smart_entry 198 100 0)$(smart_entry 196 99 1)"
  block+="$(smart_entry 197 99 2)$(smart_entry 5 98 3)"
  printf "$block" >"$work/drives/PhysicalDrive0.bin"
elif [[ $scenario == nvme ]]; then
  # Drive 0, an NVMe drive's health page: critical warning 4 (reliability degraded; the disk
  # group's error comes from it alone), 318 K (45 degrees Celsius), spare 100 % (threshold 10 %),
  # 95 % of its life used, 70000 power-on hours (beyond 16 bits), 2 media and data integrity errors.
  {
    printf '\x04\x3e\x01\x64\x0a\x5f'; zeros 122
    printf '\x70\x11\x01'; zeros 29
    printf '\x02'; zeros 351
  } >"$work/drives/PhysicalDrive0.nvme"
fi
if [[ $scenario == two-drives ]]; then
  # The Windows volume lies on drive 1, a sound NVMe drive: 45 degrees Celsius, 20 % used,
  # 12000 power-on hours. Drive 0's counters, which would rate warning, play no part.
  nvme_page 0 318 20 12000 >"$work/drives/PhysicalDrive1.nvme"
  printf 'NVMe SSD 980 500GB\r\nS6XNNF0R123456\r\n' >"$work/drives/PhysicalDrive1.ident"
  printf '1\r\n' >"$work/drives/SystemDrive"
fi
if [[ $scenario == machine || $scenario == nvme || $scenario == two-drives ]]; then
  native_machine=(--registry "$work/ups-status.reg" --event-log "$work/application-log.txt"
    --smart-dir "$work/drives" --accounts "$work/accounts.txt")
fi

run_status=0
case "$form" in
  native)
    if [[ $scenario == late-failure ]]; then
      set -- --seconds 0 --no-hmi-runtime --module-ini "$work/VW_Vexa.ini"
    elif [[ $scenario == dotted-module-ini ]]; then
      # Three cycles of 200 ms end the run; with the default pause of 10 s only one runs in time.
      mkdir "$work/Settings.dll.d"
      mv "$work/VW_Vexa.ini" "$work/Settings.dll.d/vexa-host.exe.ini"
      set -- --cycles 3 --seconds 8 --status --module-ini "$work/Settings.dll.d/vexa-host.exe.ini" \
        --hmi-vars "$work/$vars" --hmi-trace "$work/trace.txt"
    elif [[ $scenario == stale-sensors || $scenario == fresh-sensors ]]; then
      # 15 cycles of 200 ms: three seconds, past both limits.
      set -- --cycles 15 --status --module-ini "$work/VW_Vexa.ini" --hmi-vars "$work/$vars" \
        --hmi-trace "$work/trace.txt"
    else
      set -- --cycles 3 --status --module-ini "$work/VW_Vexa.ini" --hmi-vars "$work/$vars" \
        --hmi-trace "$work/trace.txt" ${native_machine[@]+"${native_machine[@]}"}
    fi
    writer=
    if [[ $scenario == fresh-sensors ]]; then
      # New samples: the date and time fields change, the readings stay.
      readings="$(tail -n 1 "$work/probe-history.txt" | tr -d '\r' | cut -d ' ' -f 3-)"
      (for ((n = 0; ; n++)); do
        printf '2026-12-08 %d %s\r\n' "$n" "$readings" >>"$work/probe-history.txt"
        sleep 0.1
      done) &
      writer=$!
    fi
    TEMP="$machine_win" "$host" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" || run_status=$?
    if [[ -n $writer ]]; then
      kill "$writer"
      wait "$writer" 2>/dev/null || true
    fi
    if [[ $scenario == late-failure ]]; then
      # Whether the worker reports before or after the time is up varies from run to run.
      for run in 2 3 4 5 6; do
        [[ $run_status == "$status" ]] || break
        grep -q '^GetRunningObject' "$work/stderr.txt" || break
        run_status=0
        TEMP="$machine_win" "$host" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" || run_status=$?
      done
    fi
    ;;
  wine)
    : "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
    cp "$dll" "$work/VW_Vexa.dll"
    cp "$host" "$work/vexa-host.exe"
    register_dll
    # Wine takes TEMP from the prefix, not from Unix: the command interpreter sets it.
    # Three cycles end the run; the minute only bounds a run that hangs.
    host_options="--cycles 3 --seconds 60 --status --hmi-vars $machine_win\\$vars --hmi-trace $machine_win\\trace.txt"
    [[ $scenario != late-failure ]] || host_options="--seconds 0 --no-hmi-runtime"
    wine cmd /c "set TEMP=$machine_win&& $machine_win\\vexa-host.exe $host_options" \
      >"$work/stdout.txt" 2>"$work/stderr.txt" </dev/null || run_status=$?
    wine regsvr32 /s /u "$machine_win\\VW_Vexa.dll" || fail "regsvr32 /u failed"
    if [[ $scenario == values-file ]]; then
      # Unregistering removes the class's keys and its type library, and keeps CLSID itself.
      for key in 'HKCR\VW_Vexa.VW_Vexa.1' 'HKCR\VW_Zorbel.VW_ZorbelObj' "HKCR\CLSID\\$clsid" \
                 "HKCR\TypeLib\\$libid"; do
        ! wine reg query "$key" >/dev/null 2>&1 </dev/null || fail "regsvr32 /u left $key behind"
      done
      wine reg query 'HKCR\CLSID' /ve >/dev/null 2>&1 </dev/null || fail "regsvr32 /u removed HKCR\CLSID"
    fi
    ;;
  *) fail "unknown form" ;;
esac

[[ $run_status == "$status" ]] ||
  fail "exit status $run_status, expected $status; stderr: $(cat "$work/stderr.txt")"

[[ $expected == - ]] && exit 0

case "$scenario" in
  stale-sensors|fresh-sensors)
    current="$(tr -d '\r' <"$work/VexaValues.ini")"
    log="$(tr -d '\r' <"$work/Vexa.log")"
    # The voltages rate ok on their own; a stale probe raises them, and the sensor groups, to a
    # warning (the fans are in warning and the temperatures in error on their own).
    if [[ $scenario == stale-sensors ]]; then
      digits=$'IPC_FANS=2\nIPC_TEMP=3\nIPC_VOLTAGE=2\nIPC_CMOS_BAT=0\nIPC_HARDDISK=2'
      [[ $current =~ $'\n''SENSOR_AGE='([0-9]+)$'\n''DISK_AGE='([0-9]+) ]] &&
        ((BASH_REMATCH[1] >= 1 && BASH_REMATCH[2] >= 1)) || fail "ages: $current"
      [[ $(grep -c 'SourceFreshness::Observe  line: [0-9]*'$'\t\t''Sensor data unchanged for [0-9]* s$' <<<"$log") == 1 &&
         $(grep -c $'\t\t''System disk never read$' <<<"$log") == 1 ]] ||
        fail "the log does not tell once that the sources are stale: $log"
      grep -qx 'vexa_source_stale{source="sensors"} 1' "$work/vexa.prom" &&
        grep -qx 'vexa_source_stale{source="disk"} 1' "$work/vexa.prom" || fail "metrics: not stale"
      grep -Eq '^sensor data age +[0-9]+ s, stale$' "$work/stdout.txt" || fail "status: not stale"
    else
      digits=$'IPC_FANS=2\nIPC_TEMP=3\nIPC_VOLTAGE=1\nIPC_CMOS_BAT=0\nIPC_HARDDISK=1'
      [[ $current =~ $'\n''SENSOR_AGE='[01]$'\n''DISK_AGE='[0-9]+ ]] || fail "ages: $current"
      ! grep -q 'Sensor data unchanged\|System disk not read' <<<"$log" || fail "stale: $log"
      grep -qx 'vexa_source_stale{source="sensors"} 0' "$work/vexa.prom" || fail "metrics: stale"
      grep -Eq '^sensor data age +[01] s$' "$work/stdout.txt" || fail "status: stale"
    fi
    [[ $current == *$'\n'"$digits"$'\n'* ]] || fail "digits: $current"
    ;;
  missing-variable)
    grep -q $'^Error:\r$' "$work/stderr.txt" && grep -q $'^mb_fan_1_set\r$' "$work/stderr.txt" &&
      grep -q $'^at:\r$' "$work/stderr.txt" &&
      grep -q '^MBBroadcast::VisiWin::VarConnect  line: [0-9]*$' "$work/stderr.txt" ||
      fail "start-up failure not reported: $(cat "$work/stderr.txt")"
    grep -qx 'checkin-failed mb_fan_1_set' "$work/trace.txt" || fail "no failed check-in in the trace"
    [[ "$(tail -n 1 "$work/trace.txt")" == disconnect ]] || fail "the runtime was not disconnected"
    ;;
  late-failure)
    grep -q $'^GetRunningObject\r$' "$work/stderr.txt" &&
      grep -q '^MBBroadcast::VisiWin::ConnectVisu  line: [0-9]*$' "$work/stderr.txt" ||
      fail "start-up failure not reported: $(cat "$work/stderr.txt")"
    ;;
  unrouted-message-boxes)
    grep -q '^vexa-host: the message boxes of .*VW_Vexa.dll cannot be routed to the host' \
      "$work/stderr.txt" || fail "no message about the routing: $(cat "$work/stderr.txt")"
    ! grep -q 'S\(Init\|Start\)Server called' "$work/stderr.txt" ||
      fail "the add-on was started: $(cat "$work/stderr.txt")"
    ;;
  password)
    grep -qx 'Impersonation failed!' "$work/stderr.txt" ||
      fail "impersonation failure not reported: $(cat "$work/stderr.txt")"
    ;;
  *)
    # The run's cycles repeat the same calls: compared without repetitions, both forms and any
    # number of cycles give the same trace.
    awk '!seen[$0]++' "$work/trace.txt" >"$work/trace-distinct.txt"
    [[ $(wc -l <"$work/trace.txt") -gt $(wc -l <"$work/trace-distinct.txt") ]] ||
      fail "fewer than two cycles ran"
    diff -u "$expected/trace.txt" "$work/trace-distinct.txt" || fail "HMI trace differs"
    # The heartbeat section comes last and carries the time: checked apart from the rest.
    tr -d '\r' <"$work/VexaValues.ini" | awk '/^\[/ { status = ($0 == "[VEXA_STATUS]") } !status' \
      >"$work/values-without-status.ini"
    diff -u <(tr -d '\r' <"$expected/VexaValues.ini") "$work/values-without-status.ini" ||
      fail "values file differs"
    heartbeat="$(tr -d '\r' <"$work/VexaValues.ini" | sed -n '/^\[VEXA_STATUS\]$/,$p')"
    if [[ $scenario == classic ]]; then
      [[ -z $heartbeat ]] || fail "the classic broadcast wrote a heartbeat: $heartbeat"
    else
      disk_source=none disk_drive=0
      [[ $scenario == machine ]] && disk_source=ATA
      [[ $scenario == nvme ]] && disk_source=NVMe
      [[ $scenario == two-drives ]] && disk_source=NVMe disk_drive=1
      [[ $heartbeat =~ ^'[VEXA_STATUS]'$'\n''LAST_CYCLE='[0-9]{4}-[0-9]{2}-[0-9]{2}' '[0-9]{2}:[0-9]{2}:[0-9]{2}$'\n''FAILED_CYCLES=0'$'\n''DISK_SOURCE='$disk_source$'\n''DISK_DRIVE='$disk_drive$'\n''SENSOR_AGE='[0-9]+$'\n''DISK_AGE='[0-9]+$ ]] ||
        fail "heartbeat: $heartbeat"
    fi
    # Time and cycle counts differ from run to run and between the forms.
    # Without the drive stand-ins the bus is the machine's own: Wine's disk driver answers the
    # descriptor query (a SCSI bus), the native host has no drives.
    bus_mask='s/^/&/'
    [[ ${#native_machine[@]} != 0 ]] || bus_mask='s/^(vexa_disk_info\{bus=)"[a-z]+"/\1"B"/'
    sed -E -e 's/^(vexa_last_cycle_timestamp_seconds|vexa_cycles_total|vexa_(sensor|disk)_data_age_seconds|vexa_disk_first_seen_timestamp_seconds) [0-9]+$/\1 N/' \
      -e "$bus_mask" "$work/vexa.prom" >"$work/metrics-masked.prom"
    diff -u "$expected/metrics.prom" "$work/metrics-masked.prom" || fail "metrics file differs"
    if command -v promtool >/dev/null; then
      promtool check metrics <"$work/vexa.prom" || fail "promtool rejects the metrics file"
    fi
    # The status begins with the files the monitor used, one a line up to the first empty one:
    # their paths differ between runs and forms, their states do not.
    credentials=missing
    [[ $password == 1 ]] && credentials=found
    states="$(sed -n -E '/^$/q; s/^(settings file|Computer\.ini|InstallSP\.ini|Computer\.xml|history file|values file|log|metrics file) +(found|missing|off)( .*)?$/\1 \2/p' "$work/stdout.txt")"
    [[ $states == "settings file found"$'\n'"Computer.ini found"$'\n'"InstallSP.ini found"$'\n'"Computer.xml $credentials"$'\n'"history file found"$'\n'"values file found"$'\n'"log found"$'\n'"metrics file found" ]] ||
      fail "the files of --status: $(sed '/^$/q' "$work/stdout.txt")"
    sed -E -e '1,/^$/d' -e 's/^(last cycle +)[0-9 :-]+$/\1T/' -e 's/^(cycles +)[0-9]+(, failed 0, failed in a row 0)$/\1N\2/' \
      -e 's/^((sensor|disk) data age +)[0-9]+ s(, .*)?$/\1N s\3/' -e 's/^(disk first seen +)[0-9]{4}-[0-9]{2}-[0-9]{2}$/\1D/' \
      "$work/stdout.txt" >"$work/status-masked.txt"
    diff -u "$expected/status.txt" "$work/status-masked.txt" || fail "status table differs"
    progress="$(tr -d '\r' <"$work/Vexa.log" | sed -n -E 's/^.*CMain::MyThread  line: [0-9]+\t\t(.*)$/\1/p')"
    [[ "$progress" == $'Start\nInit data sources\nInit data containers.\nInit data broadcast objects\nStart loop' ]] ||
      fail "progress lines of the log: $progress"
    ;;
esac
# The disk source names the system disk once and what answered for it once.
case "$scenario" in
  machine) system_line='System disk: drive 0, the disk query of the volume C: failed (error 1)'
    source_line='Drive 0: ATA S.M.A.R.T. attributes' ;;
  nvme) system_line='System disk: drive 0, the disk query of the volume C: failed (error 1)'
    source_line='Drive 0: NVMe health information' ;;
  two-drives) system_line='System disk: drive 1' source_line='Drive 1: NVMe health information' ;;
  *) source_line= ;;
esac
if [[ -n $source_line ]]; then
  [[ $(tr -d '\r' <"$work/Vexa.log" | grep -c "Harddisk::NoteSource  line: [0-9]*"$'\t\t'"$source_line\$") == 1 ]] ||
    fail "the log does not name the disk source once as: $source_line"
  [[ $(tr -d '\r' <"$work/Vexa.log" | grep -c "Harddisk::Harddisk  line: [0-9]*"$'\t\t'"$system_line\$") == 1 ]] ||
    fail "the log does not name the system disk once as: $system_line"
fi
echo "ok ($form $scenario)"
