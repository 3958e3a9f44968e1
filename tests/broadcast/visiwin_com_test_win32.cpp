#include "standins/win32/vwcontrol_server.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "broadcast/visiwin.h"
#include "broadcast/open_visiwin.h"
#include "errors/exceptions.h"
#include "fakes/engine_manager_win32.h"
#include "platform/win32/com_apartment.h"
#include "fakes/scripted_hmi_runtime.h"

namespace {

using Microsoft::WRL::ComPtr;
using Recorder = fakes::ScriptedHmiRuntime::Control;

using broadcast_test::OpenVisiWin;

// The broadcast connection against the real COM look-up, with a substitute runtime served in
// this process, once through the running object table and once through an engine manager.
class VisiWinOverComTest : public testing::Test {
protected:
    std::optional<platform::win32::ComApartment> m_Apartment;

    void SetUp() override
    {
        m_Apartment.emplace();
        ASSERT_TRUE(SUCCEEDED(m_Apartment->Result()));
        fakes::EngineManagerRegistration::RemoveProgId();
        m_pRecorder->numbers = {{L"mb_fan_1", 5}, {L"mb_fan_1_set", 6}};
    }
    void TearDown() override { m_Apartment.reset(); }

    // Checks in two variables, writes both and ends the connection.
    void RunConnection()
    {
        OpenVisiWin visiWin;
        visiWin.m_VarNoMap[L"Fan1"] = visiWin.VarConnect(L"mb_fan_1");
        visiWin.m_VarNoMap[L"Fan1_set"] = visiWin.VarConnect(L"mb_fan_1_set");
        visiWin.SetVwValue(L"Fan1", -7);
        visiWin.SetVwValue(L"Fan1_set", 3000);
        visiWin.SetVwValue(L"NotCheckedIn", 1);
    }

    void ExpectReceived()
    {
        const auto& calls = m_pRecorder->calls;
        ASSERT_EQ(calls.size(), 8u);
        EXPECT_EQ(calls[0].op, "connect");
        EXPECT_EQ(calls[0].cookie, 0u);
        for (int i : {1, 2}) {
            EXPECT_EQ(calls[i].op, "checkin");
            EXPECT_EQ(calls[i].cookie, 0u);
            EXPECT_EQ(calls[i].mode, platform::MessageMode::OnNever);
            EXPECT_EQ(calls[i].handle, 0);
        }
        EXPECT_EQ(calls[1].name, L"mb_fan_1");
        EXPECT_EQ(calls[2].name, L"mb_fan_1_set");
        EXPECT_EQ(calls[3].op, "set");
        EXPECT_EQ(calls[3].varNo, 5);
        EXPECT_EQ(calls[3].value.vt, 0x173u);
        unsigned char bytes[16];
        std::memcpy(bytes, &calls[3].value, sizeof bytes);
        EXPECT_EQ(bytes[8], 0xF9);
        EXPECT_EQ(bytes[9], 0xFF);
        EXPECT_EQ(bytes[10], 0xFF);
        EXPECT_EQ(bytes[11], 0xFF);
        EXPECT_EQ(calls[4].op, "set");
        EXPECT_EQ(calls[4].varNo, 6);
        EXPECT_EQ(calls[4].value.lVal, 3000);
        // Check-out of every stored key in the map's order, then one disconnect.
        EXPECT_EQ(calls[5].op, "checkout");
        EXPECT_EQ(calls[5].varNo, 5);
        EXPECT_EQ(calls[6].op, "checkout");
        EXPECT_EQ(calls[6].varNo, 6);
        EXPECT_EQ(calls[7].op, "disconnect");
        EXPECT_EQ(calls[7].cookie, 0u);
    }

    std::shared_ptr<Recorder> m_pRecorder = std::make_shared<Recorder>();
};

TEST_F(VisiWinOverComTest, NoRuntimeRunningThrowsCode2)
{
    try {
        OpenVisiWin visiWin;
        FAIL() << "connected to nothing";
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), 2u);
        EXPECT_EQ(e.GetMessage(), L"GetRunningObject");
    }
}

TEST_F(VisiWinOverComTest, ReachesARuntimeInTheRunningObjectTable)
{
    const ComPtr<IUnknown> object = platform::win32::CreateVWControlObject(m_pRecorder);
    const platform::win32::ActiveVWControlRegistration registration(object.Get());
    ASSERT_EQ(registration.Result(), S_OK);
    RunConnection();
    ExpectReceived();
}

TEST_F(VisiWinOverComTest, ReachesARuntimeThroughTheEngineManager)
{
    fakes::EngineManagerRegistration manager;
    ASSERT_EQ(manager.Result(), S_OK);
    manager.state().runningObject = platform::win32::CreateVWControlObject(m_pRecorder);
    RunConnection();
    ExpectReceived();
    ASSERT_EQ(manager.state().askedFor.size(), 1u);
    EXPECT_TRUE(IsEqualCLSID(manager.state().askedFor[0], platform::win32::kClsidVWControl));
}

TEST_F(VisiWinOverComTest, AManagerWithoutControllerHidesTheRunningObjectTable)
{
    const ComPtr<IUnknown> object = platform::win32::CreateVWControlObject(m_pRecorder);
    const platform::win32::ActiveVWControlRegistration registration(object.Get());
    fakes::EngineManagerRegistration manager;
    manager.state().offerController = false;
    EXPECT_THROW(OpenVisiWin visiWin, err::VisiWinException);
    EXPECT_TRUE(m_pRecorder->calls.empty());
}

TEST_F(VisiWinOverComTest, ARefusedConnectThrowsCode2)
{
    m_pRecorder->connectResult = S_FALSE;
    const ComPtr<IUnknown> object = platform::win32::CreateVWControlObject(m_pRecorder);
    const platform::win32::ActiveVWControlRegistration registration(object.Get());
    try {
        OpenVisiWin visiWin;
        FAIL();
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), 2u);
        EXPECT_EQ(e.GetMessage(), L"Connect failed!");
    }
}

}  // namespace
