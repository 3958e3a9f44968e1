#include "standins/win32/vwcontrol_server.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

#include "fakes/engine_manager_win32.h"
#include "platform/win32/com_apartment.h"
#include "fakes/scripted_hmi_runtime.h"
#include "platform/hmi_runtime.h"

namespace {

using Microsoft::WRL::ComPtr;
using platform::win32::ActiveVWControlRegistration;
using platform::win32::CreateVWControlObject;
using Recorder = fakes::ScriptedHmiRuntime::Control;

class HmiComTest : public testing::Test {
protected:
    std::optional<platform::win32::ComApartment> m_Apartment;

    void SetUp() override
    {
        m_Apartment.emplace();
        ASSERT_TRUE(SUCCEEDED(m_Apartment->Result()));
        fakes::EngineManagerRegistration::RemoveProgId();
    }
    void TearDown() override { m_Apartment.reset(); }

    std::shared_ptr<platform::HmiObject> Lookup(bool& found)
    {
        std::shared_ptr<platform::HmiObject> object;
        found = platform::HmiRuntime::System().GetRunningObject(object);
        return object;
    }

    std::shared_ptr<Recorder> m_pRecorder = std::make_shared<Recorder>();
};

TEST_F(HmiComTest, WithoutManagerOrRunningObjectNothingIsFound)
{
    bool found = true;
    EXPECT_EQ(Lookup(found), nullptr);
    EXPECT_FALSE(found);
}

TEST_F(HmiComTest, RunningObjectTableFallbackFindsTheObjectButReportsFailure)
{
    const ComPtr<IUnknown> object = CreateVWControlObject(m_pRecorder);
    const ActiveVWControlRegistration registration(object.Get());
    ASSERT_EQ(registration.Result(), S_OK);

    bool found = true;
    auto running = Lookup(found);
    EXPECT_FALSE(found);
    ASSERT_NE(running, nullptr);

    std::shared_ptr<platform::HmiControl> control;
    ASSERT_EQ(running->QueryControl(control), S_OK);
    ASSERT_NE(control, nullptr);

    // Every call reaches the served object with the caller's arguments.
    EXPECT_EQ(control->Connect(0), S_OK);
    m_pRecorder->numbers[L"mb_fan_1"] = 12;
    std::int32_t varNo = 0;
    EXPECT_EQ(control->CheckInByName(0, L"mb_fan_1", platform::MessageMode::OnNever, 0, varNo),
              S_OK);
    EXPECT_EQ(varNo, 12);
    m_pRecorder->refusedNames.insert(L"mb_fan_9");
    EXPECT_NE(control->CheckInByName(0, L"mb_fan_9", platform::MessageMode::OnChange, 7, varNo),
              S_OK);
    platform::VisiVariant value;
    value.vt = platform::kVisiTypeInt32;
    value.lVal = -91;
    EXPECT_EQ(control->SetValue(12, value), S_OK);
    EXPECT_EQ(control->CheckOut(0, 12), S_OK);
    EXPECT_EQ(control->Disconnect(0), S_OK);

    const auto& calls = m_pRecorder->calls;
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[1].name, L"mb_fan_1");
    EXPECT_EQ(calls[1].mode, platform::MessageMode::OnNever);
    EXPECT_EQ(calls[2].name, L"mb_fan_9");
    EXPECT_EQ(calls[2].mode, platform::MessageMode::OnChange);
    EXPECT_EQ(calls[2].handle, 7);
    EXPECT_EQ(calls[3].op, "set");
    EXPECT_EQ(calls[3].varNo, 12);
    EXPECT_EQ(calls[3].value.vt, 0x173u);
    EXPECT_EQ(calls[3].value.lVal, -91);
    EXPECT_EQ(calls[4].op, "checkout");
    EXPECT_EQ(calls[5].op, "disconnect");
}

TEST_F(HmiComTest, AnObjectWithoutTheControlInterfaceFailsTheQuery)
{
    // A running object that is not the runtime: the engine manager itself will do.
    fakes::EngineManagerRegistration manager;
    ComPtr<IUnknown> stranger;
    ASSERT_EQ(CoCreateInstance(fakes::kClsidSubstituteManager, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(stranger.GetAddressOf())),
              S_OK);
    manager.state().runningObject = stranger;
    bool found = false;
    auto running = Lookup(found);
    ASSERT_NE(running, nullptr);
    std::shared_ptr<platform::HmiControl> control;
    EXPECT_EQ(running->QueryControl(control), E_NOINTERFACE);
    EXPECT_EQ(control, nullptr);
}

TEST_F(HmiComTest, TheEngineManagerIsAskedForTheRuntimeClassFirst)
{
    fakes::EngineManagerRegistration manager;
    ASSERT_EQ(manager.Result(), S_OK);
    manager.state().runningObject = CreateVWControlObject(m_pRecorder);

    bool found = false;
    auto running = Lookup(found);
    EXPECT_TRUE(found);
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(manager.state().created, 1);
    ASSERT_EQ(manager.state().askedFor.size(), 1u);
    EXPECT_TRUE(IsEqualCLSID(manager.state().askedFor[0], platform::win32::kClsidVWControl));

    std::shared_ptr<platform::HmiControl> control;
    ASSERT_EQ(running->QueryControl(control), S_OK);
    EXPECT_EQ(control->Connect(0), S_OK);
    ASSERT_EQ(m_pRecorder->calls.size(), 1u);
}

TEST_F(HmiComTest, AManagerAnsweringWithASuccessCodeStillCountsAsFound)
{
    fakes::EngineManagerRegistration manager;
    manager.state().runningObject = CreateVWControlObject(m_pRecorder);
    manager.state().queryResult = S_FALSE;
    bool found = false;
    EXPECT_NE(Lookup(found), nullptr);
    EXPECT_TRUE(found);
}

TEST_F(HmiComTest, AManagerWithoutTheRunningObjectReportsFailure)
{
    fakes::EngineManagerRegistration manager;
    manager.state().queryResult = MK_E_UNAVAILABLE;
    bool found = true;
    EXPECT_EQ(Lookup(found), nullptr);
    EXPECT_FALSE(found);
}

TEST_F(HmiComTest, AManagerWithoutTheControllerInterfaceGivesNoFallback)
{
    const ComPtr<IUnknown> object = CreateVWControlObject(m_pRecorder);
    const ActiveVWControlRegistration registration(object.Get());
    ASSERT_EQ(registration.Result(), S_OK);
    fakes::EngineManagerRegistration manager;
    manager.state().offerController = false;

    bool found = true;
    EXPECT_EQ(Lookup(found), nullptr) << "the running object table must not be asked";
    EXPECT_FALSE(found);
    EXPECT_EQ(manager.state().created, 1);
}

TEST_F(HmiComTest, AManagerThatCannotBeCreatedFallsBackToTheRunningObjectTable)
{
    const ComPtr<IUnknown> object = CreateVWControlObject(m_pRecorder);
    const ActiveVWControlRegistration registration(object.Get());
    ASSERT_EQ(registration.Result(), S_OK);
    // The ProgID names a class that no server provides.
    fakes::EngineManagerRegistration::RegisterProgIdOnly(
        {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}});

    bool found = true;
    EXPECT_NE(Lookup(found), nullptr);
    EXPECT_FALSE(found);
    fakes::EngineManagerRegistration::RemoveProgId();
}

TEST_F(HmiComTest, ValueLayoutMatchesTheComDeclaration)
{
    platform::VisiVariant value;
    value.vt = 0x173;
    value.lVal = 0x12345678;
    tagVISIVARIANT com;
    std::memcpy(&com, &value, sizeof com);
    EXPECT_EQ(com.vt, 0x173u);
    EXPECT_EQ(com.lVal, 0x12345678);
    unsigned char bytes[16];
    std::memcpy(bytes, &com, sizeof bytes);
    EXPECT_EQ(bytes[8], 0x78);
    EXPECT_EQ(bytes[11], 0x12);
}

}  // namespace
