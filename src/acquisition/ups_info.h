#pragma once

#include <cstdint>
#include <string>

#include "acquisition/shutdown_event_scan.h"

namespace MBDataAquisition {

// The state of the PC's uninterruptible power supply: the UPS service's status in the registry
// and the shutdown failures that TwinCAT components report in the Application event log.
// Repeated failures add the message "2Shutdown failure!" to the values file once per run of
// failures. Used by the data list on the worker thread, which owns it for the whole run.
class UpsInfo {
public:
    UpsInfo();

    // EvalEventLog, then ReadRegistryStatus, then the two flags. An Application log that cannot
    // be opened or read leaves the failure count and the message as they were for that cycle;
    // the registry is read all the same. Its loss and its return are logged once each.
    void Update();

    // 0 when the UPS reports it is not working, else 1000.
    std::int32_t GetWorkingValue() const;
    // 0 on a battery fault or without registry status; else 100 - min(5 * failures^2, 100).
    std::int32_t GetChargeState() const;
    // The UPS service's status key could be opened at the last read: false on a machine without
    // a UPS service (and before the first read).
    bool IsPresent() const { return m_bStatusKeyPresent; }
    std::wstring GetFanName() const;
    std::wstring GetBatteryName() const;

    void EvalEventLog();
    void ReadRegistryStatus();

private:
    std::int32_t m_nFailureCount = 0;
    std::uint32_t m_dwChargeFlags = 0;
    bool m_bNotWorking = false;
    bool m_bBatteryFault = false;
    bool m_bRegistryError = true;
    bool m_bStatusKeyPresent = false;
    bool m_bMessageWritten = false;
    bool m_bEventLogLost = false;  // the last scan could not open or read the event log

public:
    // Battery capacity in percent (0 to 100; 0 for anything else), read by the data list.
    std::int32_t m_nBatteryCapacity = 0;

private:
    ShutdownEventScan m_EventScan;
};

}  // namespace MBDataAquisition
