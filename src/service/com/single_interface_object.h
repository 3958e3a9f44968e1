#pragma once

#include <windows.h>

#include <atomic>

// IUnknown of a COM object that offers one interface besides IUnknown. It starts with one
// reference, owned by whoever created it, and deletes itself when the last one is released.
template <class Interface, const IID& InterfaceId>
class SingleInterfaceObject : public Interface {
public:
    SingleInterfaceObject(const SingleInterfaceObject&) = delete;
    SingleInterfaceObject& operator=(const SingleInterfaceObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID p_riid, void** p_ppv) override
    {
        if (p_ppv == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(p_riid, IID_IUnknown) || IsEqualIID(p_riid, InterfaceId)) {
            *p_ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *p_ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRefs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG l_nRefs = --m_nRefs;
        if (l_nRefs == 0) {
            delete this;
        }
        return l_nRefs;
    }

protected:
    SingleInterfaceObject() = default;
    virtual ~SingleInterfaceObject() = default;

private:
    std::atomic<ULONG> m_nRefs{1};
};
