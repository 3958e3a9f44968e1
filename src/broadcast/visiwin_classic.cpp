#include "broadcast/visiwin_classic.h"

#include "data/field_walk.h"
#include "logging/log.h"

namespace MBBroadcast {
namespace {

const wchar_t kSetSuffix[] = L"_set";

}  // namespace

VisiWinClassic::VisiWinClassic(const MBDataContainer::DataList* p_pDataList)
{
    m_NameMap = {
        {L"Mbvccp1", L"mb_vccp1"}, {L"Mbvtt", L"mb_vtt"},     {L"Mb5vsb", L"mb_5vsb"},
        {L"V33", L"mb_volt_3_3"},  {L"V5", L"mb_volt_5"},     {L"V12", L"mb_volt_12"},
        {L"V5a", L"mb_volt_5a"},   {L"V12a", L"mb_volt_12a"}, {L"VBat", L"mb_vbat"},
    };
    for (unsigned l_nIndex = 0; l_nIndex < 3; ++l_nIndex) {
        m_NameMap[L"Fan" + std::to_wstring(l_nIndex)] = L"mb_fan_" + std::to_wstring(l_nIndex);
    }
    for (unsigned l_nIndex = 0; l_nIndex < 4; ++l_nIndex) {
        m_NameMap[L"Temp" + std::to_wstring(l_nIndex)] = L"mb_temp_" + std::to_wstring(l_nIndex);
    }

    MBDataContainer::ForEachField(
        *p_pDataList, [this](const MBDataContainer::MBDataField& p_Field) {
            const auto l_Entry = m_NameMap.find(p_Field.m_strName);
            if (l_Entry == m_NameMap.end()) {
                return;
            }
            m_VarNoMap[p_Field.m_strName] = VarConnect(l_Entry->second);
            m_VarNoMap[p_Field.m_strName + kSetSuffix] = VarConnect(l_Entry->second + kSetSuffix);
        });
}

VisiWinClassic::~VisiWinClassic() = default;

void VisiWinClassic::Send(const MBDataContainer::CycleSnapshot& p_Cycle)
{
    // The line number of this location is the one service staff know from the field.
    const std::wstring l_strLocation = dbg::MakeLocation(L"MBBroadcast::VisiWinClassic::Send", 66);
    for (const MBDataContainer::FieldSnapshot& l_Field : p_Cycle.fields) {
        dbg::LogValueLine(l_strLocation, 5, L"Label", l_Field.name);
        SetVwValue(l_Field.name, l_Field.value);
        SetVwValue(l_Field.name + kSetSuffix, l_Field.setpoint);
    }
}

}  // namespace MBBroadcast
