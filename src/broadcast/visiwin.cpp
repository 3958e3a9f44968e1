#include "broadcast/visiwin.h"

#include "errors/exceptions.h"
#include "logging/log.h"
#include "platform/seam.h"

namespace MBBroadcast {
namespace {

// The log locations of this class keep the line numbers that service staff know from the field.
const wchar_t kConnectVisu[] = L"MBBroadcast::VisiWin::ConnectVisu";
const wchar_t kVarConnect[] = L"MBBroadcast::VisiWin::VarConnect";
const wchar_t kSetVwValue[] = L"MBBroadcast::VisiWin::SetVwValue";

constexpr std::uint32_t kNoRuntime = 2;
constexpr std::uint32_t kCheckInFailed = 1;
constexpr std::uint32_t kNotConnected = 3;
constexpr std::uint32_t kNoVariable = 4;

}  // namespace

VisiWin::VisiWin()
{
    ConnectVisu();
}

VisiWin::~VisiWin()
{
    if (m_pVisuInterface) {
        for (const auto& entry : m_VarNoMap) {
            m_pVisuInterface->CheckOut(0, entry.second);
        }
        m_pVisuInterface->Disconnect(0);
        m_pVisuInterface.reset();
    }
}

void VisiWin::ConnectVisu()
{
    m_pVisuInterface.reset();

    std::shared_ptr<platform::HmiObject> l_pObject;
    platform::Use<platform::HmiRuntime>().GetRunningObject(l_pObject);
    if (!l_pObject) {
        throw err::VisiWinException(L"GetRunningObject", dbg::MakeLocation(kConnectVisu, 68),
                                    kNoRuntime);
    }
    std::shared_ptr<platform::HmiControl> l_pControl;
    if (l_pObject->QueryControl(l_pControl) != platform::kSOk) {
        throw err::VisiWinException(L"QueryInterface failed!", dbg::MakeLocation(kConnectVisu, 65),
                                    kNoRuntime);
    }
    m_pVisuInterface = std::move(l_pControl);
    if (!m_pVisuInterface) {
        throw err::VisiWinException(L"QueryInterface failed!", dbg::MakeLocation(kConnectVisu, 74),
                                    kNoRuntime);
    }
    if (m_pVisuInterface->Connect(0) != platform::kSOk) {
        // No object will exist to disconnect it; a pointer kept until the module unloads could
        // outlive the COM apartment it belongs to.
        m_pVisuInterface.reset();
        throw err::VisiWinException(L"Connect failed!", dbg::MakeLocation(kConnectVisu, 71),
                                    kNoRuntime);
    }
}

std::int32_t VisiWin::VarConnect(const std::wstring& p_strName)
{
    if (!m_pVisuInterface) {
        throw err::VisiWinException(L"m_pVisuInterface = 0", dbg::MakeLocation(kVarConnect, 82),
                                    kNotConnected);
    }
    std::int32_t l_nVarNo = 0;
    if (m_pVisuInterface->CheckInByName(0, p_strName, platform::MessageMode::OnNever, 0,
                                        l_nVarNo) != platform::kSOk) {
        throw err::VisiWinException(p_strName, dbg::MakeLocation(kVarConnect, 90), kCheckInFailed);
    }
    return l_nVarNo;
}

void VisiWin::SetVwValue(const std::wstring& p_strKey, std::int32_t p_nValue)
{
    const auto l_Entry = m_VarNoMap.find(p_strKey);
    if (l_Entry == m_VarNoMap.end()) {
        return;
    }
    if (l_Entry->second == 0) {
        throw err::VisiWinException(p_strKey, dbg::MakeLocation(kSetVwValue, 107), kNoVariable);
    }
    if (!m_pVisuInterface) {
        return;
    }
    platform::VisiVariant l_vvValue;
    l_vvValue.vt = platform::kVisiTypeInt32;
    l_vvValue.lVal = p_nValue;
    m_pVisuInterface->SetValue(l_Entry->second, l_vvValue);
}

}  // namespace MBBroadcast
