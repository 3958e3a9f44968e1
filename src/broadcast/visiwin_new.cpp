#include "broadcast/visiwin_new.h"

#include <algorithm>

#include "errors/exceptions.h"
#include "logging/log.h"
#include "settings/settings.h"
#include "settings/values_file.h"
#include "settings/values_file_writer.h"

namespace MBBroadcast {
namespace {

const wchar_t kPulseVariable[] = L"mb_fan_1";
const wchar_t kPulseSetVariable[] = L"mb_fan_1_set";
const wchar_t kValuesSection[] = L"Values";

// Values of "mb_fan_1": at rest, during an error pulse, during a warning pulse.
constexpr std::int32_t kPulseRest = 101;
constexpr std::int32_t kPulseError = 1;
constexpr std::int32_t kPulseWarning = 91;
// "mb_fan_1_set" after construction and after every Send.
constexpr std::int32_t kSetAfterConstruction = 100;
constexpr std::int32_t kSetAfterSend = 101;

// A current-state key is rewritten at the latest on this many-plus-one-th call.
constexpr std::int32_t kRewriteAfterCalls = 100;

std::wstring RatingDigit(MBDataContainer::Rating p_Rating)
{
    if (p_Rating < MBDataContainer::RatingNone || p_Rating > MBDataContainer::RatingError) {
        return L"0";
    }
    return std::to_wstring(p_Rating);
}

std::int64_t ReadPeriod(const std::wstring& p_strKey, int p_nDefault)
{
    return ReadIniInt(L"Timer", p_strKey, p_nDefault, GetModuleIniPath());
}

}  // namespace

VisiWinNew::VisiWinNew()
{
    m_VarNoMap[kPulseVariable] = VarConnect(kPulseVariable);
    m_VarNoMap[kPulseSetVariable] = VarConnect(kPulseSetVariable);
    SetVwValue(kPulseSetVariable, kSetAfterConstruction);
    if (m_VarNoMap[kPulseVariable] == 0 || m_VarNoMap[kPulseSetVariable] == 0) {
        throw err::VisiWinException(L"Setpoints",
                                    VEXA_LOCATION(L"MBBroadcast::VisiWinNew::VisiWinNew"), 3);
    }

    m_WriteTimer.m_nPeriod = ReadPeriod(L"WriteIniFile", 900);
    m_WriteTimer.Start();
    m_DurationTimer.m_nPeriod = ReadPeriod(L"Duration", 60);
    m_WarningTimer.m_nPeriod = ReadPeriod(L"TimeSpanWarning", 21600);
    m_ErrorTimer.m_nPeriod = ReadPeriod(L"TimeSpanError", 3600);
}

VisiWinNew::~VisiWinNew() = default;

void VisiWinNew::ResetWriteCounters()
{
    s_nCallCounter = 0;
}

void VisiWinNew::Send(const MBDataContainer::CycleSnapshot& p_Cycle)
{
    WriteMessages(p_Cycle);

    // A stale source's warning pulses as any other warning does.
    std::uint32_t l_nWorst = 0;
    for (const MBDataContainer::GroupSnapshot& l_Group : p_Cycle.groups) {
        l_nWorst = std::max(l_nWorst, static_cast<std::uint32_t>(l_Group.rating));
    }
    const bool l_bError = l_nWorst == static_cast<std::uint32_t>(MBDataContainer::RatingError);
    const bool l_bWarning = l_nWorst == static_cast<std::uint32_t>(MBDataContainer::RatingWarning);
    const bool l_bOk = !l_bError && !l_bWarning;

    const bool l_bWarningDue = l_bWarning && m_WarningTimer.IsElapsed();
    bool l_bErrorDue = l_bError && m_ErrorTimer.IsElapsed();

    if (l_bError) {
        if (!m_ErrorTimer.m_bRunning) {
            m_ErrorTimer.Start();
            l_bErrorDue = true;
        }
    } else {
        m_ErrorTimer.Stop();
    }

    // A warning that has just begun starts its pulse here, whatever else is due.
    bool l_bPulseStarted = false;
    if (l_bWarning) {
        if (!m_WarningTimer.m_bRunning) {
            m_WarningTimer.Start();
            m_DurationTimer.Start();
            l_bPulseStarted = true;
        }
    } else {
        m_WarningTimer.Stop();
    }
    if (!l_bPulseStarted && (l_bWarningDue || l_bErrorDue)) {
        m_DurationTimer.Start();
    }

    SetVwValue(kPulseSetVariable, kSetAfterSend);

    if (m_DurationTimer.IsElapsed() || !m_DurationTimer.m_bRunning || l_bOk) {
        SetVwValue(kPulseVariable, kPulseRest);
        m_DurationTimer.Stop();
    } else if (l_bError) {
        SetVwValue(kPulseVariable, kPulseError);
    } else {
        SetVwValue(kPulseVariable, kPulseWarning);
    }
}

void VisiWinNew::WriteMessages(const MBDataContainer::CycleSnapshot& p_Cycle)
{
    // The snapshot holds the group digits in the order of the current-state section.
    for (const MBDataContainer::GroupSnapshot& l_Group : p_Cycle.groups) {
        WriteIniChanges(l_Group.name, RatingDigit(l_Group.rating), p_Cycle.fields);
    }
    WriteIniChanges(L"UPS_STATE_OF_CHARGE", std::to_wstring(p_Cycle.upsStateOfCharge),
                    p_Cycle.fields);
}

void VisiWinNew::WriteIniChanges(const std::wstring& p_strKey, const std::wstring& p_strText,
                                 const std::vector<MBDataContainer::FieldSnapshot>& p_Fields)
{
    ++s_nCallCounter;
    ValuesFileWriter& l_Writer = ValuesFileWriter::Instance();
    const std::wstring l_strCurrent =
        l_Writer.Read(kValuesCurrentSection, p_strKey, m_strValuesFile);
    // The timer is asked only about an unchanged value, so a change does not use up its period.
    const bool l_bDue = l_strCurrent != p_strText || m_WriteTimer.IsElapsed() ||
                        s_nCallCounter > kRewriteAfterCalls;
    if (!l_bDue) {
        return;
    }
    s_nCallCounter = 0;

    // Gathered for the cycle's one write of the whole file, which the worker makes at its end.
    l_Writer.SetValue(kValuesCurrentSection, p_strKey, p_strText);
    for (const MBDataContainer::FieldSnapshot& l_Field : p_Fields) {
        l_Writer.SetValue(kValuesSection, l_Field.name, std::to_wstring(l_Field.value));
    }
}

}  // namespace MBBroadcast
