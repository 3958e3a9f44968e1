#include "acquisition/ups_info.h"

#include <algorithm>
#include <string>

#include "logging/log.h"
#include "platform/profile_integer.h"
#include "platform/registry.h"
#include "platform/seam.h"
#include "settings/settings.h"
#include "settings/values_file.h"
#include "settings/values_file_writer.h"
#include "support/registry.h"

namespace MBDataAquisition {
namespace {

constexpr std::uint32_t kNotWorkingBit = 0x100;
constexpr std::uint32_t kBatteryFaultBit = 0x80;
constexpr const wchar_t* kStatusKey = L"SYSTEM\\CurrentControlSet\\Services\\UPS\\Status";

}  // namespace

UpsInfo::UpsInfo() = default;

void UpsInfo::Update()
{
    EvalEventLog();
    ReadRegistryStatus();
    m_bNotWorking = (m_dwChargeFlags & kNotWorkingBit) != 0;
    m_bBatteryFault = m_bRegistryError || (m_dwChargeFlags & kBatteryFaultBit) != 0;
}

std::int32_t UpsInfo::GetWorkingValue() const
{
    return m_bNotWorking ? 0 : 1000;
}

std::int32_t UpsInfo::GetChargeState() const
{
    if (m_bBatteryFault || m_bRegistryError) {
        return 0;
    }
    // From 5 failures on the charge is 0; testing that first keeps the square from overflowing.
    if (m_nFailureCount >= 5) {
        return 0;
    }
    return 100 - std::min(5 * m_nFailureCount * m_nFailureCount, 100);
}

std::wstring UpsInfo::GetFanName() const
{
    return L"Fan P24V250W";
}

std::wstring UpsInfo::GetBatteryName() const
{
    return L"C9900-U330";
}

void UpsInfo::EvalEventLog()
{
    // The line numbers of these locations are the ones service staff know from the field.
    const wchar_t* const l_strLocation = L"MBDataAquisition::UpsInfo::EvalEventLog";
    const ShutdownEventScan::Result l_Result =
        m_EventScan.Scan(platform::Use<platform::EventLog>());
    if (l_Result != ShutdownEventScan::Result::Done) {
        // The rest of the cycle goes on without the event log: the count and the message stay
        // as they were. The loss is logged once, not every cycle.
        if (!m_bEventLogLost) {
            m_bEventLogLost = true;
            const bool l_bOpenFailed = l_Result == ShutdownEventScan::Result::OpenFailed;
            dbg::LogLine(dbg::MakeLocation(l_strLocation, l_bOpenFailed ? 75 : 85), 0,
                         std::wstring(l_bOpenFailed ? L"Could not open the Application event log."
                                                    : L"Record not found!") +
                             L" Err No: " + std::to_wstring(m_EventScan.LastError()));
        }
        return;
    }
    if (m_bEventLogLost) {
        m_bEventLogLost = false;
        dbg::LogLine(VEXA_LOCATION(l_strLocation), 0, L"The Application event log is read again.");
    }
    const std::int32_t counter = m_EventScan.Counter();
    m_nFailureCount = counter - 1;

    if (counter < 2) {
        m_nFailureCount = 0;
        if (m_bMessageWritten) {
            ValuesFileWriter::Instance().SetValue(kValuesCurrentSection, kMessageCountKey, L"");
            m_bMessageWritten = false;
        }
    } else if (!m_bMessageWritten) {
        // The count as the file will hold it, the pending messages counted; it wraps as the
        // unsigned profile integer does.
        ValuesFileWriter& writer = ValuesFileWriter::Instance();
        const std::wstring count =
            writer.Read(kValuesCurrentSection, kMessageCountKey, GetValuesFilePath());
        const auto message =
            static_cast<std::int32_t>(platform::ParseProfileInteger(count).Unsigned() + 1u);
        writer.SetValue(kValuesCurrentSection, kMessageCountKey, std::to_wstring(message));
        writer.SetValue(kValuesCurrentSection, NumberedName(L"MESSAGE_", message),
                        L"2Shutdown failure!");
        m_bMessageWritten = true;
    }
}

void UpsInfo::ReadRegistryStatus()
{
    CRegistry registry;
    m_bStatusKeyPresent =
        registry.ConnectRoot(CRegistry::GetRootKeyHandle(L"HKEY_LOCAL_MACHINE"), nullptr) &&
        registry.OpenKey(kStatusKey, platform::kKeyRead);
    if (!m_bStatusKeyPresent) {
        m_bRegistryError = true;
        return;
    }
    const bool flagsRead = registry.ReadDword(L"TcChargeFlags", m_dwChargeFlags);
    std::uint32_t capacity = 0;
    const bool capacityRead = registry.ReadDword(L"BatteryCapacity", capacity);
    m_nBatteryCapacity = capacity <= 100 ? static_cast<std::int32_t>(capacity) : 0;
    m_bRegistryError = !(flagsRead && capacityRead);
    registry.Close();
}

}  // namespace MBDataAquisition
