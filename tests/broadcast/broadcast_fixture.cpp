#ifdef _WIN32
#include "platform/win32/com_apartment.h"
#include "standins/win32/vwcontrol_server.h"
#endif

#include "broadcast/broadcast_fixture.h"

#include <stdexcept>

#include "acquisition/sensor_names.h"
#include "acquisition/ups_info.h"
#include "acquisition/vexa_tool.h"
#include "data/data_list.h"
#include "data/sensor_fields.h"
#include "settings/values_file_writer.h"

namespace broadcast_test {
namespace {

class QuietSource : public MBDataAquisition::VexaTool {
public:
    void Update() override {}
};

}  // namespace

struct BroadcastTest::Sources {
    QuietSource source;
    MBDataAquisition::UpsInfo ups;
};

#ifdef _WIN32
struct BroadcastTest::Serving {
    explicit Serving(platform::SubstituteHmiRuntime& p_Runtime)
    {
        m_pObject = platform::win32::CreateVWControlObject(p_Runtime.Control());
        m_pRegistration =
            std::make_unique<platform::win32::ActiveVWControlRegistration>(m_pObject.Get());
    }
    ~Serving()
    {
        m_pRegistration.reset();
        m_pObject.Reset();
    }
    void Stop() { m_pRegistration.reset(); }

    // Before the COM pointers, which go first.
    platform::win32::ComApartment m_Apartment;
    Microsoft::WRL::ComPtr<IUnknown> m_pObject;
    std::unique_ptr<platform::win32::ActiveVWControlRegistration> m_pRegistration;
};
#else
struct BroadcastTest::Serving {
    explicit Serving(platform::SubstituteHmiRuntime& p_Runtime)
        : m_Runtime(p_Runtime), m_InPlace(p_Runtime)
    {
    }
    void Stop() { m_Runtime.SetRunning(false); }

    platform::SubstituteHmiRuntime& m_Runtime;
    platform::Substitute<platform::HmiRuntime> m_InPlace;
};
#endif

BroadcastTest::BroadcastTest()
    : m_pSources(std::make_unique<Sources>()), m_pServing(std::make_unique<Serving>(m_Runtime))
{
    m_Runtime.KeepTrace();
    ValuesFileWriter::Instance().Forget();
}

BroadcastTest::~BroadcastTest()
{
    m_pList.reset();
    m_pServing.reset();
    MBDataAquisition::SensorNames = MBDataAquisition::SensorNameTable();
    ValuesFileWriter::Instance().Forget();
}

void BroadcastTest::BuildList(const ListShape& p_Shape)
{
    using MBDataAquisition::SensorNames;
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
}

void BroadcastTest::StopRuntime()
{
    m_pServing->Stop();
}

MBDataContainer::MBDataField& BroadcastTest::Field(const std::wstring& p_strName)
{
    for (const auto& l_pField : m_pList->Fields()) {
        if (l_pField && l_pField->m_strName == p_strName) {
            return *l_pField;
        }
    }
    throw std::runtime_error("no such field");
}

std::size_t BroadcastTest::FieldCount()
{
    std::size_t l_nCount = 0;
    for (const auto& l_pField : m_pList->Fields()) {
        l_nCount += l_pField ? 1 : 0;
    }
    return l_nCount;
}

void BroadcastTest::Set(const std::wstring& p_strName, std::int32_t p_nValue,
                        std::int32_t p_nSetpoint)
{
    auto& l_Field = Field(p_strName);
    l_Field.m_nValue = p_nValue;
    l_Field.m_nSetpoint = p_nSetpoint;
}

}  // namespace broadcast_test
