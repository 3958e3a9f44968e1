#include "common/list_fixture.h"

#include <stdexcept>

#include "acquisition/sensor_names.h"
#include "acquisition/ups_info.h"
#include "acquisition/vexa_tool.h"
#include "data/cycle_rater.h"
#include "data/data_list.h"
#include "data/sensor_fields.h"

namespace list_test {
namespace {

class QuietSource : public MBDataAquisition::VexaTool {
public:
    void Update() override {}
};

}  // namespace

struct ListTest::Sources {
    QuietSource source;
    MBDataAquisition::UpsInfo ups;
};

ListTest::ListTest() : m_pSources(std::make_unique<Sources>()) {}

ListTest::~ListTest()
{
    m_pRater.reset();
    m_pList.reset();
    MBDataAquisition::SensorNames = MBDataAquisition::SensorNameTable();
}

void ListTest::BuildList(const ListShape& p_Shape)
{
    using MBDataAquisition::SensorNames;
    m_pRater.reset();
    m_pList.reset();
    SensorNames = MBDataAquisition::SensorNameTable();
    SensorNames.FanNames = p_Shape.fans;
    SensorNames.TempNames = p_Shape.temps;
    SensorNames.VoltageNames = p_Shape.voltages;
    SensorNames.FanCount = static_cast<std::uint32_t>(p_Shape.fans.size());
    SensorNames.TempCount = static_cast<std::uint32_t>(p_Shape.temps.size());
    SensorNames.VoltageCount = static_cast<std::uint32_t>(p_Shape.voltages.size());

    m_pList = std::make_unique<MBDataContainer::DataList>();
    m_pList->SetDataSource(&m_pSources->source);
    if (p_Shape.ups) {
        m_pList->SetUpsInfo(&m_pSources->ups);
        Field(L"Fan P24V250W").m_nValue = 1000;
        auto& battery = dynamic_cast<MBDataContainer::UpsBattData&>(Field(L"C9900-U330"));
        battery.m_nValue = 100;
        battery.m_nCapacity = 100;
    }
    m_pList->SetHarddisk(p_Shape.disk);
    m_pRater = std::make_unique<MBDataContainer::CycleRater>(*m_pList, L"probe");
}

MBDataContainer::MBDataField& ListTest::Field(const std::wstring& p_strName)
{
    for (const auto& l_pField : m_pList->Fields()) {
        if (l_pField && l_pField->m_strName == p_strName) {
            return *l_pField;
        }
    }
    throw std::runtime_error("no such field");
}

std::size_t ListTest::FieldCount()
{
    std::size_t l_nCount = 0;
    for (const auto& l_pField : m_pList->Fields()) {
        l_nCount += l_pField ? 1 : 0;
    }
    return l_nCount;
}

void ListTest::Set(const std::wstring& p_strName, std::int32_t p_nValue, std::int32_t p_nSetpoint)
{
    auto& l_Field = Field(p_strName);
    l_Field.m_nValue = p_nValue;
    l_Field.m_nSetpoint = p_nSetpoint;
}

}  // namespace list_test
