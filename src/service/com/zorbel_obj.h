#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "VW_Zorbel.h"
#include "service/com/module.h"
#include "service/monitor_runner.h"

// The add-on's component object. It answers to IVWService, the connection-point container
// interface (with no connection points) and, through the aggregated free-threaded marshaler,
// IMarshal; it can itself be aggregated. Starting creates the worker, stopping destroys it.
class CVW_ZorbelObj final : public IVWService, public IConnectionPointContainer {
public:
    // Creates an object, aggregated into p_pOuter when given, and queries it for p_riid.
    static HRESULT Create(IUnknown* p_pOuter, REFIID p_riid, void** p_ppv);

    // IUnknown of the interfaces: delegates to the controlling unknown.
    STDMETHODIMP QueryInterface(REFIID p_riid, void** p_ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IVWService
    STDMETHODIMP SInitServer(LONG lParam, tagSERVER_STATE* pServerState) override;
    STDMETHODIMP SExitServer() override;
    STDMETHODIMP SVersionInfo(BSTR* pbstrDescription, BSTR* pbstrVersion) override;
    STDMETHODIMP SPing(LONG* plLiveCounter, tagSERVER_STATE* pServerState) override;
    STDMETHODIMP SShutDown(LONG nMode) override;
    STDMETHODIMP SStartServer(LONG lParam, tagSERVER_STATE* pServerState) override;
    STDMETHODIMP SStopServer() override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** p_ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID p_riid, IConnectionPoint** p_ppCP) override;

private:
    // The object's own IUnknown, which does not delegate (what an aggregator holds).
    class Inner : public IUnknown {
    public:
        explicit Inner(CVW_ZorbelObj& p_Owner) : m_Owner(p_Owner) {}
        STDMETHODIMP QueryInterface(REFIID p_riid, void** p_ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        CVW_ZorbelObj& m_Owner;
    };

    explicit CVW_ZorbelObj(IUnknown* p_pOuter);
    ~CVW_ZorbelObj();
    CVW_ZorbelObj(const CVW_ZorbelObj&) = delete;
    CVW_ZorbelObj& operator=(const CVW_ZorbelObj&) = delete;

    ModuleLock m_ModuleLock;
    Inner m_Inner;
    IUnknown* m_pOuter;
    std::atomic<ULONG> m_nRefs{1};
    Microsoft::WRL::ComPtr<IUnknown> m_pMarshaler;
    // Start and stop may come from any of the runtime's threads.
    std::mutex m_MainMutex;
    std::unique_ptr<CMain> m_pMain;
};
