#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/data_field.h"
#include "fakes/fake_clock.h"
#include "fakes/memory_environment.h"
#include "fakes/memory_profile.h"
#include "platform/environment.h"
#include "platform/seam.h"

namespace MBDataContainer {
class CycleRater;
class DataList;
}  // namespace MBDataContainer
namespace MBDataAquisition {
class Harddisk;
}

namespace list_test {

// The sensors a test data list is built from, named as the data source would name them.
struct ListShape {
    std::vector<std::wstring> fans;
    std::vector<std::wstring> temps;
    std::vector<std::wstring> voltages;
    bool ups = true;
    // The disk source; without one the list has the five disk fields at 0.
    MBDataAquisition::Harddisk* disk = nullptr;
};

// A data list with its cycle rater, and what they reach, in memory: settings, calendar clock and
// TEMP.
class ListTest : public testing::Test {
protected:
    ListTest();
    ~ListTest() override;

    // Builds the data list and its rater: sensor fields with setpoints 0 (always ok), the two UPS
    // fields (when asked) with readings that rate ok, and the disk fields of the shape's disk
    // source.
    void BuildList(const ListShape& p_Shape);
    MBDataContainer::DataList* List() { return m_pList.get(); }
    MBDataContainer::CycleRater& Rater() { return *m_pRater; }
    MBDataContainer::MBDataField& Field(const std::wstring& p_strName);
    std::size_t FieldCount();

    // Sets a field's reading and setpoint with the default bands (warning 10 %, error 20 %).
    void Set(const std::wstring& p_strName, std::int32_t p_nValue, std::int32_t p_nSetpoint);

    static constexpr const wchar_t* kTemp = L"C:\\Users\\op\\Temp";
    static constexpr const wchar_t* kValuesFile = L"C:\\Users\\op\\Temp\\VexaValues.ini";

    // The environment the monitor sees: TEMP only, unless a test changes it.
    fakes::MemoryEnvironment m_Environment{{{L"TEMP", kTemp}}};
    platform::Substitute<platform::Environment> m_EnvironmentInPlace{m_Environment};
    fakes::MemoryProfile m_Profile;
    platform::Substitute<platform::Profile> m_ProfileInPlace{m_Profile};
    fakes::FakeClock m_Clock;
    platform::Substitute<platform::Clock> m_ClockInPlace{m_Clock};

private:
    struct Sources;
    std::unique_ptr<Sources> m_pSources;
    std::unique_ptr<MBDataContainer::DataList> m_pList;
    std::unique_ptr<MBDataContainer::CycleRater> m_pRater;
};

}  // namespace list_test
