#!/usr/bin/env bash
# Runs vexa-host end to end on the machine files of ../machine/ with one fault laid into the
# machine, and checks the outcome: nothing crashes, the failure leaves a clear line in the log
# or a clear message, and nothing already written to the values file is lost.
#
# usage: run_fault.sh native|wine SCENARIO HOST DLL WORK
#   HOST  vexa-host (native) or vexa-host.exe (wine)
#   DLL   VW_Vexa.dll (wine; "-" natively)
#   WORK  a scratch folder, emptied first
# Scenarios (both forms unless marked):
#   values-file-unwritable  the values file cannot be written (a folder holds its name): logged
#                           once, and the pulse is set all the same
#   no-hmi-runtime          no HMI runtime is running
#   missing-classic-variable  the HMI project lacks one variable of the classic broadcast
#   event-log-unopenable    (native) the Application event log cannot be opened
#   credentials-malformed   Computer.xml is not well formed
#   no-drives               (native) no drive 0 answers; drive 1 does
#   disk-cooled             (native) the NVMe system disk is hot for a while, then cools down:
#                           the disk group's digit returns to ok
#   failing-drive           (native) the ATA system disk reports a threshold exceeded and has a
#                           pre-failure attribute at its threshold
#   worn-ssd                (native) a SATA SSD past its rated endurance, per Device Statistics
#   no-rights               (native) no administrator password on a machine without rights: the
#                           drive is still read through the queries that need none
#   history-recreated       the probe's history file is deleted and written anew while running
#   computer-ini-changed    Computer.ini names another history file while running
#   log-folder-missing      TEMP names a folder that does not exist
#   values-file-disk-full   (native) no file may grow past 64 KB (ulimit -f), less than the values
#                           file needs: it stays whole, then catches up in a run with room
#   log-disk-full           (native) the log is /dev/full
#   drive-hangs             (native) every call on drive 0 hangs: the cycles keep their pace, the
#                           disk is blocked
set -euo pipefail
# With pipefail, a reader that stops early (grep -q, head, awk's exit) can fail the writer of
# its pipe with SIGPIPE: such readers here read a here-string or a variable instead of a pipe.

form="$1" scenario="$2" host="$3" dll="$4" work="$5"
machine="$(cd "$(dirname "${BASH_SOURCE[0]}")/../machine" && pwd)"

source "$(dirname "${BASH_SOURCE[0]}")/../host_machine.sh"
temp_win="$machine_win"

# The machine of the values-file scenario: service pack 2.8, the probe, log level 3.
vars=values-file.vars
prepare_machine "$machine" 2.8 0 "$vars"

# The value of KEY in SECTION of an INI file (empty when absent).
ini_value() {
  [[ -f $1 ]] || return 0
  awk -v section="[$2]" -v key="$3" '
    { sub(/\r$/, "") }
    /^\[/ { inside = ($0 == section); next }
    inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$1"
}
log_text() { [[ -f $work/Vexa.log ]] && tr -d '\r' <"$work/Vexa.log" || true; }
# The messages of the log's lines written at LOCATION (a qualified name).
log_messages() { log_text | sed -n -E "s/^.*$1  line: [0-9]+\t\t(.*)$/\1/p"; }
count_lines() { grep -c "$@" || true; }

# Polls COMMAND until it succeeds, for at most SECONDS.
wait_for() {
  local what="$1" seconds="$2"
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || fail "timed out waiting for $what; host process: \
$(host_process), stderr: $(cat "$work/stderr.txt" 2>/dev/null), log: $(log_text | grep -v '^$' | tail -n 3)"
    sleep 0.1
  done
}
fan0_is() { [[ "$(ini_value "$work/VexaValues.ini" Values Fan0)" == "$1" ]]; }

host_args=(--hmi-vars "$work/$vars" --hmi-trace "$work/trace.txt")
native_args=()
host_prefix=()
run_status=0

# Starts the host in the background (host_pid); the run ends by itself after --seconds, or
# natively at an interrupt.
start_host() {
  case "$form" in
    native)
      TEMP="$temp_win" ${host_prefix[@]+"${host_prefix[@]}"} "$host" --module-ini "$work/VW_Vexa.ini" \
        ${native_args[@]+"${native_args[@]}"} "${host_args[@]}" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" &
      host_pid=$!
      ;;
    wine)
      : "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
      cp "$dll" "$work/VW_Vexa.dll"
      cp "$host" "$work/vexa-host.exe"
      register_dll
      local arg command="set TEMP=$temp_win&& $machine_win\\vexa-host.exe"
      for arg in "${host_args[@]}" "$@"; do
        [[ $arg == /* ]] && arg="$(winpath "$arg")"
        command+=" $arg"
      done
      # Wine takes TEMP from the prefix, not from Unix: the command interpreter sets it.
      wine cmd /c "$command" >"$work/stdout.txt" 2>"$work/stderr.txt" </dev/null &
      host_pid=$!
      ;;
    *) fail "unknown form" ;;
  esac
}

wait_host() {
  wait "$host_pid" || run_status=$?
  host_pid=
  if [[ $form == wine ]]; then
    wine regsvr32 /s /u "$machine_win\\VW_Vexa.dll" </dev/null || fail "regsvr32 /u failed"
  fi
}

# The host's own process: natively the background job, under Wine a process of its own beside
# the command interpreter. Empty when there is none.
host_process() {
  [[ -n ${host_pid:-} ]] || return 0
  if [[ $form == native ]]; then
    echo "$host_pid"
    return
  fi
  # The list is taken before it is searched: a search in the same pipeline as ps could find
  # itself, since its own arguments hold the host's path.
  local processes
  processes="$(ps -eo pid=,args=)"
  printf '%s\n' "$processes" | grep -F "$machine_win\\vexa-host.exe" | grep -v -F 'cmd' |
    awk '{ print $1; exit }' || true
}

# A run that fails while its host still runs does not leave the host behind to disturb the next.
kill_leftover_host() {
  # At exit nothing may fail any more: the checks of the run are over.
  set +eE
  trap - ERR
  local pid
  pid="$(host_process)"
  [[ -z $pid ]] || kill -KILL "$pid" 2>/dev/null || true
  [[ -z ${host_pid:-} ]] || kill -KILL "$host_pid" 2>/dev/null || true
}
trap kill_leftover_host EXIT

# Ends a background run by an interrupt, as Ctrl-C does: a clean stop. Under Wine, Wine turns
# the signal into a Ctrl-C event.
stop_host() {
  local pid
  pid="$(host_process)"
  [[ -n $pid ]] || fail "no host process to stop"
  if ! kill -INT "$pid" 2>/dev/null; then
    wait_host
    fail "the host ended before it was stopped: exit status $run_status, stderr: $(cat "$work/stderr.txt")"
  fi
  wait_host
}

# One run of a few cycles; under Wine a minute bounds a run that hangs.
run_host() {
  local cycles="$1"
  shift
  if [[ $form == native ]]; then
    start_host --cycles "$cycles" "$@"
  else
    start_host --cycles "$cycles" --seconds 60 "$@"
  fi
  wait_host
}

expect_status() {
  [[ $run_status == "$1" ]] ||
    fail "exit status $run_status, expected $1; stderr: $(cat "$work/stderr.txt")"
}

# The trace of a monitor that connected and later let go of everything it checked in.
expect_clean_release() {
  [[ "$(head -n 1 "$work/trace.txt")" == connect ]] || fail "the monitor did not connect"
  [[ "$(tail -n 1 "$work/trace.txt")" == disconnect ]] || fail "the runtime was not disconnected"
  local checked_in checked_out
  checked_in="$(count_lines '^checkin ' "$work/trace.txt")"
  checked_out="$(count_lines '^checkout ' "$work/trace.txt")"
  [[ $checked_in == "$checked_out" ]] ||
    fail "$checked_in variables checked in, $checked_out checked out"
}

expect_no_exception() {
  local errors
  errors="$(log_text | grep ' \*\* ' || true)"
  [[ -z $errors ]] || fail "the log holds error lines: $errors"
}

# Every key a running values-file broadcast writes, each with a value where it must have one
# (missing_key names the first one missing).
values_file_complete() {
  local key
  for key in IPC_FANS IPC_TEMP IPC_VOLTAGE IPC_CMOS_BAT IPC_HARDDISK UPS_WORKING UPS_STATE_OF_CHARGE; do
    missing_key=$key
    [[ -n "$(ini_value "$work/VexaValues.ini" VEXA_CURRENT "$key")" ]] || return 1
  done
  for key in Fan0 Fan1 Fan2 Temp0 Temp1 Temp2 Temp3 Mbvccp1 Mbvtt Mb5vsb V33 V5 V12 V5a V12a \
             'Fan P24V250W' C9900-U330 HddLifetime HddOfflineUncorrectable HddReallocationCount \
             HddCurrentPendingSectorCount ReallocatedSectorCount; do
    missing_key=$key
    [[ -n "$(ini_value "$work/VexaValues.ini" Values "$key")" ]] || return 1
  done
}
# After the run. While it runs, a reader may meet the file in the middle of a rewrite (the
# system's profile functions rewrite the whole file in place), so a check polls.
expect_complete_values_file() { values_file_complete || fail "values file lost $missing_key"; }

case "$scenario" in
  values-file-unwritable)
    mkdir "$work/VexaValues.ini"
    run_host 4
    expect_status 0
    messages="$(log_messages 'service::CycleExport::WriteValuesFile')"
    # The failure is told once, with its error code, however many cycles it lasts; no cycle fails.
    [[ "$(count_lines -x 'Unable to write ini file!' <<<"$messages")" == 1 ]] ||
      fail "failed writes not logged once: $(log_text | tail -n 20)"
    grep -q -E '^l_dwLastError	[1-9][0-9]*$' <<<"$messages" || fail "no error code logged"
    ! grep -q -E 'CMain::MyThread  line: [0-9]+'$'\t\t''exception$' <<<"$(log_text)" ||
      fail "a cycle failed: $(log_text | tail -n 20)"
    # The pulse follows the ratings in every cycle (the temperatures rate error).
    [[ "$(count_lines -x 'set mb_fan_1_set 101' <"$work/trace.txt")" -ge 4 &&
       "$(count_lines -x 'set mb_fan_1 1' <"$work/trace.txt")" -ge 4 ]] ||
      fail "the pulse was not set every cycle: $(cat "$work/trace.txt")"
    [[ -d $work/VexaValues.ini ]] || fail "the folder in the way was removed"
    expect_clean_release
    ;;

  no-hmi-runtime)
    run_host 1 --no-hmi-runtime
    expect_status 2
    grep -q $'^Error:\r$' "$work/stderr.txt" && grep -q $'^GetRunningObject\r$' "$work/stderr.txt" &&
      grep -q '^MBBroadcast::VisiWin::ConnectVisu  line: [0-9]*$' "$work/stderr.txt" ||
      fail "start-up failure not reported: $(cat "$work/stderr.txt")"
    [[ "$(log_messages 'CMain::MyThread' | tail -n 1)" == exception ]] || fail "no error line in the log"
    [[ ! -s $work/trace.txt ]] || fail "a runtime was used: $(cat "$work/trace.txt")"
    ;;

  missing-classic-variable)
    # A classic broadcast on a project without "mb_temp_3_set".
    sed -i -e "s|^Version=.*|Version=2.7|" "$work/InstallSP.ini"
    grep -v -x 'mb_temp_3_set' "$machine/classic.vars" >"$work/classic.vars"
    vars=classic.vars
    host_args=(--hmi-vars "$work/$vars" --hmi-trace "$work/trace.txt")
    run_host 1
    expect_status 2
    grep -q $'^mb_temp_3_set\r$' "$work/stderr.txt" &&
      grep -q '^MBBroadcast::VisiWin::VarConnect  line: [0-9]*$' "$work/stderr.txt" ||
      fail "the missing variable is not named: $(cat "$work/stderr.txt")"
    grep -qx 'checkin-failed mb_temp_3_set' "$work/trace.txt" || fail "no failed check-in in the trace"
    ! grep -q '^set ' "$work/trace.txt" || fail "values were written without a complete broadcast"
    expect_clean_release
    ;;

  event-log-unopenable)
    [[ $form == native ]] || fail "native only"
    # A slower cycle, so the pause after each cycle can be seen in the run's length.
    sed -i -e 's/^CycleTime=.*/CycleTime=400/' "$work/VW_Vexa.ini"
    native_args=(--event-log "$work/no-such-log.txt")
    started=$(date +%s%N)
    run_host 4
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    expect_status 0
    ((elapsed_ms >= 3 * 400)) || fail "four cycles took only $elapsed_ms ms: no pause between them"
    # Only the event log's part of the cycle is skipped: its loss is logged once, the cycle
    # fails no more, and everything else is broadcast.
    [[ "$(log_messages 'MBDataAquisition::UpsInfo::EvalEventLog')" == \
       'Could not open the Application event log. Err No: 2' ]] ||
      fail "the lost event log is not logged once: $(log_text)"
    expect_no_exception
    expect_complete_values_file
    expect_clean_release
    ;;

  credentials-malformed)
    # The password element is never closed. The monitor goes on without the administrator.
    printf '%s\n' '<?xml version="1.0" encoding="ISO-8859-1"?>' '<SysMgmt>' '  <Users>' \
      '    <TarselAdmin>' '      <Password>Geheim-17' '  </Users>' '</SysMgmt>' >"$work/Computer.xml"
    run_host 3
    expect_status 0
    grep -q 'Computer\.xml' <<<"$(log_messages 'cfg::ComputerXml::ComputerXml')" ||
      fail "the unreadable credentials file is not named in the log: $(log_text)"
    expect_no_exception
    expect_complete_values_file
    expect_clean_release
    ;;

  no-drives)
    [[ $form == native ]] || fail "native only"
    # The administrator logs on, but only drive 1 answers; drive 0 is the one that counts.
    cp "$machine/Computer-with-password.xml" "$work/Computer.xml"
    cp "$machine/accounts.txt" "$work/"
    mkdir "$work/drives"
    head -c 512 /dev/zero >"$work/drives/PhysicalDrive1.bin"
    native_args=(--smart-dir "$work/drives" --accounts "$work/accounts.txt")
    run_host 3
    expect_status 0
    expect_complete_values_file
    for key in HddLifetime HddOfflineUncorrectable HddReallocationCount HddCurrentPendingSectorCount \
               ReallocatedSectorCount; do
      [[ "$(ini_value "$work/VexaValues.ini" Values "$key")" == 0 ]] || fail "$key is not 0"
    done
    [[ "$(log_messages 'MBDataAquisition::Harddisk::Update')" == 'No S.M.A.R.T. data from drive 0' ]] ||
      fail "the missing drive is not logged once: $(log_messages 'MBDataAquisition::Harddisk::Update')"
    expect_no_exception
    expect_clean_release
    ;;

  drive-hangs)
    [[ $form == native ]] || fail "native only"
    # Every call on drive 0 waits for ever, the first read at the start included. The cycles
    # (200 ms, and as long a deadline) keep their pace without it.
    cp "$machine/Computer-with-password.xml" "$work/Computer.xml"
    cp "$machine/accounts.txt" "$work/"
    mkdir "$work/drives"
    head -c 512 /dev/zero >"$work/drives/PhysicalDrive0.bin"
    printf 'blocks\n' >"$work/drives/PhysicalDrive0.behaviour"
    head -c 512 /dev/zero >"$work/drives/PhysicalDrive1.bin"
    native_args=(--smart-dir "$work/drives" --accounts "$work/accounts.txt")
    started=$SECONDS
    run_host 8 --status
    expect_status 0
    ((SECONDS - started < 15)) || fail "8 cycles took $((SECONDS - started)) s"
    expect_complete_values_file
    [[ "$(ini_value "$work/VexaValues.ini" VEXA_CURRENT IPC_HARDDISK)" == [23] ]] ||
      fail "IPC_HARDDISK: $(ini_value "$work/VexaValues.ini" VEXA_CURRENT IPC_HARDDISK)"
    [[ "$(log_messages 'service::BoundedRead::Wait')" == 'The system disk has not answered for 1 s' ]] ||
      fail "the hung drive is not logged once: $(log_text | tail -n 20)"
    grep -Eq '^blocked sources +disk for [0-9]+ s$' "$work/stdout.txt" ||
      fail "status: $(cat "$work/stdout.txt")"
    expect_no_exception
    expect_clean_release
    ;;

  disk-cooled)
    [[ $form == native ]] || fail "native only"
    # An NVMe health page: no critical warning, 10 % used, 100 power-on hours, at KELVIN.
    page_at() {
      nvme_page 0 "$1" 10 100 >"$work/drives/PhysicalDrive0.nvme.new"
      mv "$work/drives/PhysicalDrive0.nvme.new" "$work/drives/PhysicalDrive0.nvme"
    }
    disk_is() {
      [[ "$(ini_value "$work/VexaValues.ini" Values HddTemperature)" == "$1" &&
         "$(ini_value "$work/VexaValues.ini" VEXA_CURRENT IPC_HARDDISK)" == "$2" ]]
    }
    mkdir "$work/drives"
    page_at 353
    native_args=(--smart-dir "$work/drives")
    start_host --seconds 60
    wait_for "the hot disk's warning" 30 disk_is 80 2
    page_at 313
    wait_for "the cooled disk's ok" 30 disk_is 40 1
    stop_host
    expect_status 0
    expect_no_exception
    expect_clean_release
    ;;

  failing-drive | worn-ssd | no-rights | sense-only)
    [[ $form == native ]] || fail "native only"
    mkdir "$work/drives"
    # Drive 0: 1500 power-on hours, 41 degrees Celsius in attribute 194 (not pre-failure),
    # reallocated sectors at a normalised 9 against a threshold of 10.
    block="$(printf '\\x%02x' 16 0)$(smart_entry 9 100 1500)$(smart_entry 194 59 41 34)"
    block+="$(smart_entry 5 9 0)"
    printf "$block" >"$work/drives/PhysicalDrive0.bin"
    zeros 300 >>"$work/drives/PhysicalDrive0.bin"
    printf "$(printf '\\x%02x' 16 0)$(threshold_entry 9 0)$(threshold_entry 194 0)$(threshold_entry 5 10)" \
      >"$work/drives/PhysicalDrive0.thr"
    native_args=(--smart-dir "$work/drives")
    case "$scenario" in
      failing-drive)
        touch "$work/drives/PhysicalDrive0.failing"
        expected='HddCriticalWarning=3 HddTemperature=41 IPC_HARDDISK=3'
        source_line='Drive 0: ATA S.M.A.R.T. attributes' ;;
      worn-ssd)
        # A SATA SSD whose attribute sits above its threshold: its wear shows only in the log.
        printf "$(printf '\\x%02x' 16 0)$(threshold_entry 5 5)" >"$work/drives/PhysicalDrive0.thr"
        devstat_log 38 104 >"$work/drives/PhysicalDrive0.devstat"
        expected='HddCriticalWarning=0 HddPercentageUsed=104 HddTemperature=38 IPC_HARDDISK=2'
        source_line='Drive 0: ATA S.M.A.R.T. attributes' ;;
      no-rights)
        # Without rights: the drive's verdict through the predict-failure query (bit 0 alone, the
        # thresholds need rights), its attributes, and the temperature from attribute 194.
        touch "$work/drives/PhysicalDrive0.failing"
        devstat_log 38 104 >"$work/drives/PhysicalDrive0.devstat"
        native_args+=(--no-admin)
        expected='HddLifetime=1500 HddCriticalWarning=1 HddTemperature=41 IPC_HARDDISK=3'
        source_line='Drive 0: ATA S.M.A.R.T. attributes (without administrator rights)' ;;
      sense-only)
        # A driver that takes the verdict from SCSI sense data: the predict-failure query alone
        # answers, without attribute data. The drive's own prediction of its failure rates error.
        touch "$work/drives/PhysicalDrive0.failing"
        printf 'sense-only\r\n' >"$work/drives/PhysicalDrive0.behaviour"
        native_args+=(--no-admin)
        expected='HddLifetime=0 HddCriticalWarning=1 IPC_HARDDISK=3'
        source_line="Drive 0: the drive's verdict alone (without administrator rights)" ;;
    esac
    run_host 3 --status
    expect_status 0
    expect_complete_values_file
    for pair in $expected; do
      key="${pair%%=*}" section=Values
      [[ $key == IPC_HARDDISK ]] && section=VEXA_CURRENT
      [[ "$(ini_value "$work/VexaValues.ini" "$section" "$key")" == "${pair#*=}" ]] ||
        fail "$key is $(ini_value "$work/VexaValues.ini" "$section" "$key"), not ${pair#*=}"
    done
    if [[ $scenario == no-rights ]]; then
      [[ -z "$(ini_value "$work/VexaValues.ini" Values HddPercentageUsed)" ]] ||
        fail "the wear was read without rights"
      grep -q '^disk read  *without administrator rights$' "$work/stdout.txt" ||
        fail "the status table does not say how the disk was read: $(cat "$work/stdout.txt")"
    fi
    [[ "$(log_messages 'MBDataAquisition::Harddisk::NoteSource')" == "$source_line" ]] ||
      fail "the source line is: $(log_messages 'MBDataAquisition::Harddisk::NoteSource')"
    expect_no_exception
    expect_clean_release
    ;;

  history-recreated)
    start_host --seconds 60
    wait_for "the first readings" 30 fan0_is 2481
    rm "$work/probe-history.txt"
    # Without the file every reading is 1; the file's other keys stay.
    wait_for "the readings without history" 30 fan0_is 1
    wait_for "a complete values file" 30 values_file_complete
    printf '%s\r\n' '2026-12-08 10:00:10 1.21 1.05 5.02 3.31 5.01 12.10 5.00 12.05 3.04 41 38 52 30 2490 2610 1650' \
      >"$work/probe-history.txt"
    wait_for "the readings of the new file" 30 fan0_is 2491
    stop_host
    expect_status 0
    expect_complete_values_file
    [[ "$(ini_value "$work/VexaValues.ini" Values Temp2)" == 53 ]] || fail "Temp2 of the new file not read"
    # The loss and the return of the file, each logged once.
    [[ "$(log_messages 'MBDataAquisition::MBProbe::Update' | sed -E 's/: ".*\\probe-history\.txt"$//')" == \
       $'History file not found\nHistory file found' ]] ||
      fail "history file lines of the log: $(log_messages 'MBDataAquisition::MBProbe::Update')"
    expect_no_exception
    expect_clean_release
    ;;

  computer-ini-changed)
    cp "$work/probe-history.txt" "$work/other-history.txt"
    printf '%s\r\n' '2026-12-08 10:00:10 1.21 1.05 5.02 3.31 5.01 12.10 5.00 12.05 3.04 41 38 52 30 2300 2610 1650' \
      >>"$work/other-history.txt"
    start_host --seconds 60
    wait_for "the first readings" 30 fan0_is 2481
    # An editor writes the whole file anew: the probe reads its keys again on every cycle.
    sed -e 's|probe-history\.txt|other-history.txt|' "$work/Computer.ini" >"$work/Computer.ini.new"
    mv "$work/Computer.ini.new" "$work/Computer.ini"
    wait_for "the readings of the other history file" 30 fan0_is 2301
    stop_host
    expect_status 0
    expect_complete_values_file
    expect_no_exception
    expect_clean_release
    ;;

  values-file-disk-full)
    # An HMI project's own section makes the file larger than the 64 KB that any file may grow to
    # in the first run (ulimit -f), so no write of the values file can succeed, as on a full disk.
    { printf '[HMI]\r\n'; for ((i = 0; i < 4000; i++)); do printf 'Key%04d=0123456789\r\n' "$i"; done
      printf '[HMI_END]\r\nlast=1\r\n'; } >"$work/VexaValues.ini"
    cp "$work/VexaValues.ini" "$work/before.ini"
    # A reader beside the monitor never sees the file empty or cut.
    watch_values() {
      while kill -0 "$host_pid" 2>/dev/null; do
        content="$(cat "$work/VexaValues.ini")"
        [[ $content == *$'[HMI_END]\r\nlast=1\r'* ]] || echo "cut: ${#content} characters" >>"$work/cut.txt"
      done
    }
    host_prefix=(bash -c 'trap "" XFSZ; ulimit -f 64; exec "$@"' limited)
    start_host --cycles 4
    watch_values
    wait_host
    expect_status 0
    cmp -s "$work/before.ini" "$work/VexaValues.ini" || fail "the values file changed on a full disk"
    messages="$(log_messages 'service::CycleExport::WriteValuesFile')"
    [[ "$(count_lines -x 'Unable to write ini file!' <<<"$messages")" == 1 ]] ||
      fail "the failed write is not logged once: $(log_text | tail -n 20)"
    # With room again the file catches up, and keeps the project's sections.
    host_prefix=()
    start_host --cycles 2
    watch_values
    wait_host
    expect_status 0
    [[ ! -e $work/cut.txt ]] || fail "a reader saw the values file cut: $(cat "$work/cut.txt")"
    values="$(tr -d '\r' <"$work/VexaValues.ini")"
    [[ $values == '[HMI]'$'\n''Key0000=0123456789'$'\n'* && $values == *$'\n''[HMI_END]'$'\n''last=1'$'\n''[VEXA_CURRENT]'$'\n'* &&
       $values == *$'\n''[VEXA_STATUS]'$'\n''LAST_CYCLE='* ]] || fail "values file: $values"
    ;;

  log-disk-full)
    # Every write of the log fails (ENOSPC); the monitor goes on and publishes as ever.
    ln -s /dev/full "$work/Vexa.log"
    run_host 3
    expect_status 0
    grep -q '^IPC_TEMP=3'$'\r''$' "$work/VexaValues.ini" && grep -q '^LAST_CYCLE=' "$work/VexaValues.ini" ||
      fail "values file: $(cat "$work/VexaValues.ini")"
    [[ "$(count_lines -x 'set mb_fan_1_set 101' <"$work/trace.txt")" -ge 3 ]] || fail "cycles missing"
    expect_clean_release
    ;;

  log-folder-missing)
    temp_win="$machine_win\\missing"
    run_host 2
    expect_status 0
    grep -q -F 'Vexa.log' "$work/stderr.txt" || fail "the lost log is not reported: $(cat "$work/stderr.txt")"
    [[ ! -e $work/missing ]] || fail "the monitor created the missing folder"
    expect_clean_release
    ;;

  *) fail "unknown scenario" ;;
esac
echo "ok ($form $scenario)"
