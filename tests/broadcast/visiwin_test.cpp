#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "broadcast/visiwin.h"
#include "broadcast/open_visiwin.h"
#include "errors/exceptions.h"
#include "fakes/memory_environment.h"
#include "fakes/scripted_hmi_runtime.h"
#include "platform/byte_order.h"
#include "platform/seam.h"

namespace {

using Summary = std::vector<std::string>;

using broadcast_test::OpenVisiWin;

class VisiWinTest : public testing::Test {
protected:
    fakes::ScriptedHmiRuntime m_Runtime;
    platform::Substitute<platform::HmiRuntime> m_InPlace{m_Runtime};
};

void ExpectVisiWinFailure(const std::function<void()>& action, std::uint32_t code,
                          const std::wstring& message, const std::wstring& where)
{
    try {
        action();
        ADD_FAILURE() << "no exception";
    } catch (const err::VisiWinException& e) {
        EXPECT_EQ(e.GetErrNo(), code);
        EXPECT_EQ(e.GetMessage(), message);
        EXPECT_NE(e.GetLocation().find(where), std::wstring::npos)
            << std::string(e.GetLocation().begin(), e.GetLocation().end());
    }
}

TEST_F(VisiWinTest, ConnectsOnceWithCookieZero)
{
    OpenVisiWin visiWin;
    ASSERT_EQ(m_Runtime.Calls().size(), 1u);
    EXPECT_EQ(m_Runtime.Calls()[0].op, "connect");
    EXPECT_EQ(m_Runtime.Calls()[0].cookie, 0u);
}

TEST_F(VisiWinTest, NoRunningRuntimeThrowsCode2GetRunningObject)
{
    m_Runtime.giveObject = false;
    ExpectVisiWinFailure([] { OpenVisiWin visiWin; }, 2, L"GetRunningObject",
                         L"MBBroadcast::VisiWin::ConnectVisu  line: 68");
    EXPECT_TRUE(m_Runtime.Calls().empty());
}

TEST_F(VisiWinTest, OnlyTheObjectCountsNotTheLookupResult)
{
    m_Runtime.found = false;
    OpenVisiWin visiWin;
    EXPECT_EQ(m_Runtime.Summary(), (Summary{"connect"}));
}

TEST_F(VisiWinTest, AFailedQueryThrowsCode2)
{
    m_Runtime.object->queryResult = platform::kENoInterface;
    m_Runtime.object->giveControl = false;
    ExpectVisiWinFailure([] { OpenVisiWin visiWin; }, 2, L"QueryInterface failed!",
                         L"ConnectVisu  line: 65");
}

TEST_F(VisiWinTest, AQuerySucceedingWithoutAnInterfaceThrowsCode2)
{
    m_Runtime.object->giveControl = false;
    ExpectVisiWinFailure([] { OpenVisiWin visiWin; }, 2, L"QueryInterface failed!",
                         L"ConnectVisu  line: 74");
}

TEST_F(VisiWinTest, SuccessCodesOtherThanSOkAreFailures)
{
    m_Runtime.object->queryResult = platform::kSFalse;
    ExpectVisiWinFailure([] { OpenVisiWin visiWin; }, 2, L"QueryInterface failed!", L"line: 65");
    m_Runtime.object->queryResult = platform::kSOk;
    m_Runtime.control().connectResult = platform::kSFalse;
    ExpectVisiWinFailure([] { OpenVisiWin visiWin; }, 2, L"Connect failed!",
                         L"ConnectVisu  line: 71");
}

TEST_F(VisiWinTest, VarConnectChecksInByNameWithoutMessagesAndStoresNothing)
{
    OpenVisiWin visiWin;
    m_Runtime.control().numbers[L"mb_vbat"] = 42;
    EXPECT_EQ(visiWin.VarConnect(L"mb_vbat"), 42);
    EXPECT_TRUE(visiWin.m_VarNoMap.empty());
    const auto& call = m_Runtime.Calls().back();
    EXPECT_EQ(call.op, "checkin");
    EXPECT_EQ(call.cookie, 0u);
    EXPECT_EQ(call.name, L"mb_vbat");
    EXPECT_EQ(call.mode, platform::MessageMode::OnNever);
    EXPECT_EQ(call.handle, 0);
}

TEST_F(VisiWinTest, ARefusedNameThrowsCode1WithTheName)
{
    OpenVisiWin visiWin;
    m_Runtime.control().refusedNames.insert(L"mb_temp_3_set");
    ExpectVisiWinFailure([&] { visiWin.VarConnect(L"mb_temp_3_set"); }, 1, L"mb_temp_3_set",
                         L"MBBroadcast::VisiWin::VarConnect  line: 90");
}

TEST_F(VisiWinTest, SetVwValueSendsType0x173WithTheValueInTheFirstFourBytes)
{
    OpenVisiWin visiWin;
    visiWin.m_VarNoMap[L"Temp2"] = 17;
    visiWin.SetVwValue(L"Temp2", -45);
    const auto& call = m_Runtime.Calls().back();
    ASSERT_EQ(call.op, "set");
    EXPECT_EQ(call.varNo, 17);
    EXPECT_EQ(call.value.vt, 0x173u);
    std::uint8_t bytes[16];
    std::memcpy(bytes, &call.value, sizeof bytes);
    const auto sent = static_cast<std::int32_t>(platform::le::Load32(bytes + 8));
    EXPECT_EQ(sent, -45);
}

TEST_F(VisiWinTest, AnUnknownKeyIsSkippedSilently)
{
    OpenVisiWin visiWin;
    visiWin.SetVwValue(L"HddLifetime", 5);
    EXPECT_EQ(m_Runtime.Summary(), (Summary{"connect"}));
}

TEST_F(VisiWinTest, AStoredNumberOfZeroThrowsCode4WithTheKey)
{
    OpenVisiWin visiWin;
    visiWin.m_VarNoMap[L"Fan0_set"] = 0;
    ExpectVisiWinFailure([&] { visiWin.SetVwValue(L"Fan0_set", 1); }, 4, L"Fan0_set",
                         L"MBBroadcast::VisiWin::SetVwValue  line: 107");
}

TEST_F(VisiWinTest, ARejectedWriteIsIgnored)
{
    OpenVisiWin visiWin;
    visiWin.m_VarNoMap[L"Fan0"] = 3;
    m_Runtime.control().setValueResult = platform::kEFail;
    EXPECT_NO_THROW(visiWin.SetVwValue(L"Fan0", 1));
    EXPECT_NO_THROW(visiWin.SetVwValue(L"Fan0", 2));
    EXPECT_EQ(m_Runtime.Summary(), (Summary{"connect", "set 3 1", "set 3 2"}));
}

TEST_F(VisiWinTest, DestructionChecksOutEveryStoredKeyThenDisconnectsOnce)
{
    {
        OpenVisiWin visiWin;
        visiWin.m_VarNoMap[L"b"] = 7;
        visiWin.m_VarNoMap[L"a"] = 9;
        visiWin.m_VarNoMap[L"a_set"] = 0;
    }
    EXPECT_EQ(m_Runtime.Summary(),
              (Summary{"connect", "checkout 9", "checkout 0", "checkout 7", "disconnect"}));
    EXPECT_EQ(m_Runtime.Calls().back().cookie, 0u);
}

TEST_F(VisiWinTest, ASecondObjectTakesOverTheSharedConnection)
{
    fakes::ScriptedHmiRuntime other;
    auto first = std::make_unique<OpenVisiWin>();
    {
        platform::Substitute<platform::HmiRuntime> otherInPlace(other);
        auto second = std::make_unique<OpenVisiWin>();
        second->m_VarNoMap[L"x"] = 1;
        first->m_VarNoMap[L"y"] = 2;
        first->SetVwValue(L"y", 5);
        EXPECT_EQ(other.Summary(), (Summary{"connect", "set 2 5"}));
        second.reset();
        EXPECT_EQ(other.Summary(), (Summary{"connect", "set 2 5", "checkout 1", "disconnect"}));
    }
    // The connection is gone: writing and destroying the first object must not crash.
    EXPECT_NO_THROW(first->SetVwValue(L"y", 6));
    first.reset();
    EXPECT_EQ(m_Runtime.Summary(), (Summary{"connect"}));
}

// Every broadcast resolves the values file, also the classic one, which never writes it.
TEST_F(VisiWinTest, TheValuesFileLiesInTempOrInTheFallbackFolder)
{
    const struct {
        const char* what;
        std::map<std::wstring, std::wstring> variables;
        const wchar_t* path;
    } cases[] = {
        {"TEMP", {{L"TEMP", L"C:\\Users\\op\\Temp"}}, L"C:\\Users\\op\\Temp\\VexaValues.ini"},
        {"no TEMP", {}, L"c:\\temp\\VexaValues.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::MemoryEnvironment environment(c.variables);
        const platform::Substitute<platform::Environment> inPlace(environment);
        EXPECT_EQ(OpenVisiWin().m_strValuesFile, c.path);
    }
}

}  // namespace
