#include "service/com/zorbel_obj.h"

#include <olectl.h>

#include <new>

#include "platform/win32/unique_resource.h"
#include "service/com/empty_connection_points.h"
#include "service/com/module_version_texts.h"

namespace {

using platform::win32::UniqueBstr;

constexpr DWORD kMaxModulePath = 261;

}  // namespace

HRESULT CVW_ZorbelObj::Create(IUnknown* p_pOuter, REFIID p_riid, void** p_ppv)
{
    if (p_ppv == nullptr) {
        return E_POINTER;
    }
    *p_ppv = nullptr;
    // An aggregator must ask for the inner unknown first.
    if (p_pOuter != nullptr && !IsEqualIID(p_riid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    CVW_ZorbelObj* l_pObject = new (std::nothrow) CVW_ZorbelObj(p_pOuter);
    if (l_pObject == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT l_hr =
        CoCreateFreeThreadedMarshaler(l_pObject->m_pOuter, l_pObject->m_pMarshaler.GetAddressOf());
    if (SUCCEEDED(l_hr)) {
        l_hr = l_pObject->m_Inner.QueryInterface(p_riid, p_ppv);
    }
    // Drops the creation reference: the object lives on only with the one just handed out.
    l_pObject->m_Inner.Release();
    return l_hr;
}

CVW_ZorbelObj::CVW_ZorbelObj(IUnknown* p_pOuter)
    : m_Inner(*this), m_pOuter(p_pOuter != nullptr ? p_pOuter : &m_Inner)
{
}

CVW_ZorbelObj::~CVW_ZorbelObj()
{
    // A runtime that releases a started object gets its worker stopped, not orphaned.
    m_pMain.reset();
}

STDMETHODIMP CVW_ZorbelObj::Inner::QueryInterface(REFIID p_riid, void** p_ppv)
{
    if (p_ppv == nullptr) {
        return E_POINTER;
    }
    *p_ppv = nullptr;
    if (IsEqualIID(p_riid, IID_IUnknown)) {
        *p_ppv = static_cast<IUnknown*>(this);
    } else if (IsEqualIID(p_riid, IID_IVWService)) {
        *p_ppv = static_cast<IVWService*>(&m_Owner);
    } else if (IsEqualIID(p_riid, IID_IConnectionPointContainer)) {
        *p_ppv = static_cast<IConnectionPointContainer*>(&m_Owner);
    } else if (IsEqualIID(p_riid, IID_IMarshal) && m_Owner.m_pMarshaler) {
        return m_Owner.m_pMarshaler->QueryInterface(p_riid, p_ppv);
    } else {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*p_ppv)->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CVW_ZorbelObj::Inner::AddRef()
{
    return ++m_Owner.m_nRefs;
}

STDMETHODIMP_(ULONG) CVW_ZorbelObj::Inner::Release()
{
    const ULONG l_nRefs = --m_Owner.m_nRefs;
    if (l_nRefs == 0) {
        delete &m_Owner;
    }
    return l_nRefs;
}

STDMETHODIMP CVW_ZorbelObj::QueryInterface(REFIID p_riid, void** p_ppv)
{
    return m_pOuter->QueryInterface(p_riid, p_ppv);
}

STDMETHODIMP_(ULONG) CVW_ZorbelObj::AddRef()
{
    return m_pOuter->AddRef();
}

STDMETHODIMP_(ULONG) CVW_ZorbelObj::Release()
{
    return m_pOuter->Release();
}

STDMETHODIMP CVW_ZorbelObj::SInitServer(LONG, tagSERVER_STATE* pServerState)
{
    if (pServerState == nullptr) {
        return E_POINTER;
    }
    *pServerState = SERVER_ON_INIT;
    return S_OK;
}

STDMETHODIMP CVW_ZorbelObj::SExitServer()
{
    return S_OK;
}

STDMETHODIMP CVW_ZorbelObj::SVersionInfo(BSTR* pbstrDescription, BSTR* pbstrVersion)
{
    if (pbstrDescription == nullptr || pbstrVersion == nullptr) {
        return E_POINTER;
    }
    try {
        const std::wstring l_strPath = CVW_ZorbelApp::Instance().GetModulePath(kMaxModulePath);
        if (l_strPath.empty()) {
            return S_FALSE;
        }
        const std::optional<ModuleVersionTexts> l_Texts =
            ReadModuleVersionTexts(CVW_ZorbelApp::Instance().GetModule());
        if (!l_Texts) {
            return S_FALSE;
        }
        UniqueBstr l_bstrDescription(SysAllocStringLen(
            l_Texts->m_strDescription.data(), static_cast<UINT>(l_Texts->m_strDescription.size())));
        UniqueBstr l_bstrVersion(SysAllocStringLen(
            l_Texts->m_strVersion.data(), static_cast<UINT>(l_Texts->m_strVersion.size())));
        if (!l_bstrDescription || !l_bstrVersion) {
            return E_OUTOFMEMORY;
        }
        *pbstrDescription = l_bstrDescription.Release();
        *pbstrVersion = l_bstrVersion.Release();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CVW_ZorbelObj::SPing(LONG*, tagSERVER_STATE* pServerState)
{
    if (pServerState == nullptr) {
        return E_POINTER;
    }
    *pServerState = SERVER_ACTIVE;
    return S_OK;
}

STDMETHODIMP CVW_ZorbelObj::SShutDown(LONG)
{
    return S_OK;
}

STDMETHODIMP CVW_ZorbelObj::SStartServer(LONG, tagSERVER_STATE* pServerState)
{
    if (pServerState == nullptr) {
        return E_POINTER;
    }
    try {
        std::lock_guard<std::mutex> l_Lock(m_MainMutex);
        // One worker per object: a second start replaces the running worker, stopping it.
        m_pMain.reset();
        m_pMain = std::make_unique<CMain>();
        m_pMain->Start();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
    *pServerState = SERVER_ACTIVE;
    return S_OK;
}

STDMETHODIMP CVW_ZorbelObj::SStopServer()
{
    try {
        std::lock_guard<std::mutex> l_Lock(m_MainMutex);
        m_pMain.reset();
    } catch (...) {
        return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP CVW_ZorbelObj::EnumConnectionPoints(IEnumConnectionPoints** p_ppEnum)
{
    return CreateEmptyConnectionPointEnum(p_ppEnum);
}

STDMETHODIMP CVW_ZorbelObj::FindConnectionPoint(REFIID, IConnectionPoint** p_ppCP)
{
    if (p_ppCP == nullptr) {
        return E_POINTER;
    }
    *p_ppCP = nullptr;
    return CONNECT_E_NOCONNECTION;
}
