#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <atomic>
#include <new>
#include <utility>

namespace platform::win32 {

// IUnknown of a COM object that implements one interface: thread-safe reference counting, and
// QueryInterface for IUnknown and that interface. An object starts with one reference, owned by
// whoever created it, and deletes itself when the last one is released. A derived object may
// answer further interfaces by overriding QueryOtherInterface.
template <class Interface, const IID& InterfaceId>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, InterfaceId)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        return QueryOtherInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG count = --m_references;
        if (count == 0) {
            delete this;
        }
        return count;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

    // Interfaces besides IUnknown and Interface; `object` is null on entry.
    virtual HRESULT QueryOtherInterface(REFIID /*iid*/, void** /*object*/) { return E_NOINTERFACE; }

private:
    std::atomic<ULONG> m_references{1};
};

// Creates a T (a ComObject) owned by the returned pointer, which is empty when memory ran out.
template <class T, class... Arguments>
Microsoft::WRL::ComPtr<T> MakeComObject(Arguments&&... arguments)
{
    T* const created = new (std::nothrow) T(std::forward<Arguments>(arguments)...);
    // Not ComPtr::Attach: MinGW-w64's adds a reference where the SDK's adopts the one given, so
    // the pointer takes its own reference and the creation reference is given back.
    Microsoft::WRL::ComPtr<T> object(created);
    if (created != nullptr) {
        created->Release();
    }
    return object;
}

}  // namespace platform::win32
