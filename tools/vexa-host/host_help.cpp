#include "host_options.h"

namespace host {

// One text for both forms: the options of the native form are marked, and vexa-host.exe refuses
// them by name.
std::string Usage()
{
    return R"(usage: vexa-host [OPTION]...

Runs the hardware-health monitor beside a substitute HMI runtime that records every call on
HMI variables, then stops it. vexa-host.exe activates the registered VW_Vexa.dll through COM, as
the HMI runtime does; the native vexa-host runs the same monitor on stand-ins of the machine.

The run
  --seconds S         stop after S seconds (a decimal number, 0 or more)
  --cycles N          stop after N ended cycles, failed ones included (a whole number, 1 or more)
                      Without --seconds and --cycles the run lasts until Ctrl-C.
  --status            after the run, print the files the monitor uses (each found, missing or
                      off) and the last cycle as a table
  --help, -h          print this text and run nothing

The HMI runtime
  --hmi-vars FILE     the HMI variables the runtime knows, one name a line (default: every name)
  --hmi-trace FILE    append one line per call: connect, checkin NAME NUMBER, checkin-failed
                      NAME, set NAME VALUE, checkout NAME, disconnect
  --no-hmi-runtime    no HMI runtime is running (the monitor's start-up then fails)

The machine (native form only)
  --module-ini FILE   the add-on's own settings file (default: this program's path + ".ini")
  --registry FILE     the registry, a .reg file ("Windows Registry Editor Version 5.00"). The UPS
                      is key HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\UPS\Status with
                      the dword values "TcChargeFlags" (bit 0x100: not working, 0x80: battery
                      fault) and "BatteryCapacity" (percent). Without it: no UPS service.
  --event-log FILE    the Application event log, one record a line: TYPE ID SOURCE; TYPE is a
                      number or information, warning, error; ID a decimal or 0x number; SOURCE
                      the rest of the line. The monitor counts events 67 and 69 of sources
                      containing TwinCAT or EventLog. Without the option the log is empty; a
                      FILE that does not exist stands for a log that cannot be opened.
  --smart-dir DIR     the physical drives, files of DIR (tools/vexa-drive writes them):
                      PhysicalDriveN.bin   drive N's 512-byte S.M.A.R.T. attribute data block:
                                           a revision word, then 30 entries of 12 bytes (ID,
                                           flags word, current, worst, 6-byte raw value,
                                           reserved); watched IDs 9, 198, 196, 197, 5, and 194
                                           (temperature)
                      PhysicalDriveN.nvme  or an NVMe drive's 512-byte health page: critical
                                           warning at byte 0, temperature (kelvin, 16 bits) at
                                           1, percentage used at 5, power-on hours at 128,
                                           media errors at 160
                      PhysicalDriveN.thr   the threshold block: revision word, 30 entries of 12
                                           bytes (ID, threshold, 10 reserved)
                      PhysicalDriveN.failing  present: the drive reports a threshold exceeded
                      PhysicalDriveN.devstat  the Device Statistics log, page k at byte 512*k
                      PhysicalDriveN.ident model and serial number, one a line
                      PhysicalDriveN.behaviour  one flag a line: refuses-pass-through,
                                           aborts-read-log-ext, driver-error, sense-only,
                                           no-rights-only, blocks (see the README)
                      SystemDrive          the number of the drive holding the Windows volume,
                                           or one number for each of its extents (absent:
                                           the volume query fails)
                      A missing drive file is a missing drive.
  --accounts FILE     the accounts that can log on, name:password lines
  --no-admin          the machine acts as an account without administrator rights: a drive
                      opens for reading and writing only while a logged-on account is
                      impersonated; the queries without rights always answer
  --simulate-days D   run D days of cycles on a simulated clock without pausing, with one line
                      of the process's figures a day (a whole number, 1 or more; scripts/soak);
                      the days end at about the real time
  --wear-per-day P    with --simulate-days: the system disk of --smart-dir (its .nvme page or
                      .devstat log) wears by P percent a simulated day (a decimal number) and
                      gains 24 power-on hours

Environment (Windows paths; natively "\" is a separator and the drive letter is dropped, so
c:\temp\x.ini is /temp/x.ini)
  COMPUTER_INI        the path of Computer.ini (unset: c:\Computer.ini)
  SERVICEPACKDIR      the folder of InstallSP.ini (unset: c:\Servicepacks)
  MAINDIR             the folder of Computer.xml (unset: c:\)
  TEMP                the folder of the log Vexa.log and the values file VexaValues.ini (unset:
                      the log goes to \Vexa.log and the values file to c:\temp)

Exit status
  0  the run ended cleanly
  1  bad usage, or a file named by an option cannot be read (not --event-log's FILE, see above)
  2  the monitor reported a start-up failure (its message and its cause on standard error)
  3  (native) the monitor had not stopped 30 s after the run ended
  4  cycles ran but none succeeded (the first failure's reason on standard error)

Every setting and file in full: docs/configuration.md; a machine folder to start from:
scripts/new-machine DIR.
)";
}

}  // namespace host
