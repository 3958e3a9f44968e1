#include "acquisition/mb_probe.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "acquisition/last_line.h"
#include "acquisition/leading_number.h"
#include "acquisition/sensor_names.h"
#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/device_path.h"
#include "settings/sensor_source.h"
#include "settings/settings.h"

namespace MBDataAquisition {

namespace {

constexpr std::uint32_t kFanCount = 3;
constexpr std::uint32_t kTempCount = 4;
constexpr std::uint32_t kVoltageCount = 8;
const std::array<const wchar_t*, kVoltageCount> kVoltageNames = {
    L"Mbvccp1", L"Mbvtt", L"Mb5vsb", L"V33", L"V5", L"V12", L"V5a", L"V12a"};

// Positions of the measurements in a history line.
constexpr std::size_t kFieldSlots = 20;
constexpr std::size_t kFirstVoltageField = 2;
constexpr std::size_t kBatteryField = 10;
constexpr std::size_t kFirstTempField = 11;
constexpr std::size_t kFirstFanField = 15;

// Reported for a fan while its condition temperature is below the configured limit.
constexpr std::uint32_t kConditionedFanValue = 501;

using Fields = std::array<std::string_view, kFieldSlots>;

// Splits at spaces only (a tab belongs to its field); runs of spaces count as one. Stops at the
// first piece longer than a line may be, and after the last slot. Missing fields stay empty.
Fields SplitFields(std::string_view p_strLine)
{
    Fields l_Fields{};
    std::size_t l_nSlot = 0;
    std::size_t l_nPos = 0;
    while (l_nSlot < kFieldSlots && l_nPos < p_strLine.size()) {
        std::size_t l_nEnd = p_strLine.find(' ', l_nPos);
        if (l_nEnd == std::string_view::npos) {
            l_nEnd = p_strLine.size();
        }
        const std::string_view l_strPiece = p_strLine.substr(l_nPos, l_nEnd - l_nPos);
        if (l_strPiece.size() > kMaxLineChars) {
            break;
        }
        if (!l_strPiece.empty()) {
            l_Fields[l_nSlot++] = l_strPiece;
        }
        l_nPos = l_nEnd + 1;
    }
    return l_Fields;
}

std::uint32_t IntegerReading(std::string_view p_strField)
{
    return static_cast<std::uint32_t>(LeadingInteger(p_strField)) | 1u;
}

// Volts to hundredths of a volt, truncated.
std::int32_t VoltageReading(std::string_view p_strField)
{
    return TruncateToInt32(LeadingDecimal(p_strField) * 100) | 1;
}

std::int32_t BatteryReading(std::string_view p_strField)
{
    const auto l_nWide =
        static_cast<std::uint64_t>(TruncateToInt64(LeadingDecimal(p_strField) * 100));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(l_nWide) | 1u);
}

}  // namespace

MBProbe::MBProbe() : m_strIniFile(GetComputerIniPath())
{
    m_strSection = ProbeSectionName();
    SensorNames.FanCount = kFanCount;
    SensorNames.TempCount = kTempCount;
    SensorNames.VoltageCount = kVoltageCount;
    for (std::uint32_t i = 0; i < kVoltageCount; ++i) {
        StoreSensorName(SensorNames.VoltageNames, i, kVoltageNames[i]);
    }
    for (std::uint32_t i = 0; i < kTempCount; ++i) {
        StoreSensorName(SensorNames.TempNames, i, L"Temp" + std::to_wstring(i));
    }
    for (std::uint32_t i = 0; i < kFanCount; ++i) {
        StoreSensorName(SensorNames.FanNames, i, L"Fan" + std::to_wstring(i));
    }
    StoreSensorName(SensorNames.BatteryNames, 0, L"VBat");
}

std::string MBProbe::ReadLastLine(const std::wstring& p_strPath)
{
    return MBDataAquisition::ReadLastLine(p_strPath);
}

void MBProbe::Update()
{
    // The file name and the fan conditions are read on every update, so a change takes
    // effect at the next cycle.
    const std::wstring l_strHistory = platform::Use<platform::Profile>().GetString(
        m_strSection, L"HistoryFile", L"", kHistoryFileBuffer, m_strIniFile);
    // A pipe's server would learn the runtime's identity from the open, a device would be read
    // as if it were the probe's file: such a path is not opened, and said once.
    const std::wstring l_strDevice = DeviceKindOf(l_strHistory);
    if (!l_strDevice.empty() && l_strHistory != m_strRefusedHistory) {
        dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::MBProbe::Update"), 0,
                     L"HistoryFile \"" + l_strHistory + L"\" names " + l_strDevice +
                         L", not a file; it is not read");
    }
    m_strRefusedHistory = l_strDevice.empty() ? std::wstring() : l_strHistory;
    const std::string l_strLine = l_strDevice.empty() ? ReadLastLine(l_strHistory) : std::string();
    // Every sample carries its date and time: a line that stays is a probe that stopped.
    m_strRawData = l_strLine;
    // Without its file every reading becomes 1, which the ratings alone cannot tell from a
    // machine in trouble.
    const bool l_bMissing =
        l_strDevice.empty() ? l_strLine.empty() && !PathExists(l_strHistory) : m_bHistoryMissing;
    if (l_bMissing != m_bHistoryMissing) {
        m_bHistoryMissing = l_bMissing;
        dbg::LogLine(VEXA_LOCATION(L"MBDataAquisition::MBProbe::Update"), 0,
                     (l_bMissing ? L"History file not found: \"" : L"History file found: \"") +
                         l_strHistory + L"\"");
    }
    const Fields l_Fields = SplitFields(l_strLine);

    for (std::uint32_t i = 0; i < kTempCount; ++i) {
        m_mapTemp[SensorNameAt(SensorNames.TempNames, i)] =
            IntegerReading(l_Fields[kFirstTempField + i]);
    }

    for (std::uint32_t i = 0; i < kFanCount; ++i) {
        std::uint32_t l_nValue = IntegerReading(l_Fields[kFirstFanField + i]);
        const std::wstring l_strBase = NumberedName(L"Fan", static_cast<int>(i));
        const std::wstring l_strCondVar =
            ReadIniString(m_strSection, l_strBase + L"_CondVar", m_strIniFile);
        if (!l_strCondVar.empty()) {
            const unsigned int l_nCondVal =
                ReadIniInt(m_strSection, l_strBase + L"_CondVal", 0, m_strIniFile);
            const auto l_Temp = m_mapTemp.find(l_strCondVar);
            // A condition naming no temperature is ignored.
            if (l_Temp != m_mapTemp.end() && l_Temp->second < l_nCondVal) {
                l_nValue = kConditionedFanValue;
            }
        }
        m_mapFan[SensorNameAt(SensorNames.FanNames, i)] = l_nValue;
    }

    for (std::uint32_t i = 0; i < kVoltageCount; ++i) {
        m_mapVoltage[SensorNameAt(SensorNames.VoltageNames, i)] =
            VoltageReading(l_Fields[kFirstVoltageField + i]);
    }
    m_mapBattery[SensorNameAt(SensorNames.BatteryNames, 0)] =
        BatteryReading(l_Fields[kBatteryField]);
}

}  // namespace MBDataAquisition
