#include "broadcast/broadcast.h"

#include <algorithm>

#include "broadcast/field_walk.h"
#include "data/sensor_fields.h"
#include "logging/log.h"

namespace MBBroadcast {
namespace {

const wchar_t kEvaluate[] = L"MBBroadcast::Broadcast::Evaluate";
constexpr std::uint32_t kTraceLevel = 3;

}  // namespace

void Broadcast::Evaluate()
{
    using namespace MBDataContainer;

    dbg::LogLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"Start");
    dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"m_ResultHarddisk",
                      m_ResultHarddisk);

    m_ResultFans = m_nResultBase;
    m_ResultTemp = m_nResultBase;
    m_ResultVoltage = m_nResultBase;
    m_ResultCmosBatt = m_nResultBase;
    m_ResultUps = m_nResultBase;

    // Disk fields belong to no group here, but their rating runs: the critical-event rule
    // remembers the counts it has seen, and the second pass below relies on that.
    ForEachField(*m_pDataList, [this](MBDataField& p_Field) {
        dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                          p_Field.m_nValue);
        const Rating l_Result = p_Field.Evaluate();
        if (dynamic_cast<FanData*>(&p_Field) != nullptr) {
            m_ResultFans = std::max(m_ResultFans, l_Result);
        } else if (dynamic_cast<TempData*>(&p_Field) != nullptr) {
            m_ResultTemp = std::max(m_ResultTemp, l_Result);
        } else if (dynamic_cast<VoltageData*>(&p_Field) != nullptr) {
            m_ResultVoltage = std::max(m_ResultVoltage, l_Result);
        } else if (dynamic_cast<CMosBattData*>(&p_Field) != nullptr) {
            m_ResultCmosBatt = std::max(m_ResultCmosBatt, l_Result);
        }
        if (const auto* l_pBattery = dynamic_cast<UpsBattData*>(&p_Field)) {
            m_ResultUps = std::max(m_ResultUps, l_Result);
            m_nUpsStateOfCharge = l_pBattery->m_nCapacity;
        }
    });

    ForEachHddField(*m_pDataList, [this](MBDataField& p_Field) {
        dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, p_Field.m_strName,
                          p_Field.m_nValue);
        const Rating l_CurrentResult = p_Field.Evaluate();
        dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"l_CurrentResult",
                          l_CurrentResult);
        m_ResultHarddisk = std::max(m_ResultHarddisk, l_CurrentResult);
        dbg::LogValueLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"m_ResultHarddisk",
                          m_ResultHarddisk);
    });

    dbg::LogLine(VEXA_LOCATION(kEvaluate), kTraceLevel, L"End");
}

}  // namespace MBBroadcast
