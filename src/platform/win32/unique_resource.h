#pragma once

// Sole ownership of Windows resources: one move-only holder, and per kind of resource a small
// traits type that says what "none" is and how the resource is given back. COM interface
// pointers are held by Microsoft::WRL::ComPtr instead.

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace platform::win32 {

// Holds one resource of type T and gives it back with Traits::Close when the holder goes, is
// reset or is assigned another. Traits provides `static T Invalid()`, `static bool IsValid(T)`
// and `static void Close(T)`.
template <class T, class Traits>
class UniqueResource {
public:
    UniqueResource() noexcept = default;
    explicit UniqueResource(T value) noexcept : m_value(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : m_value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    const T& Get() const noexcept { return m_value; }
    bool IsValid() const noexcept { return Traits::IsValid(m_value); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives back the held resource and returns the empty slot, for the out parameter of the call
    // that makes the next one.
    T* Put() noexcept
    {
        Reset();
        return &m_value;
    }
    // Hands the resource to the caller, who then gives it back.
    T Release() noexcept { return std::exchange(m_value, Traits::Invalid()); }
    void Reset(T value = Traits::Invalid()) noexcept
    {
        T previous = std::exchange(m_value, value);
        if (Traits::IsValid(previous)) {
            Traits::Close(previous);
        }
    }

private:
    T m_value = Traits::Invalid();
};

// A kernel handle. Calls fail with null (most) or INVALID_HANDLE_VALUE (CreateFileW): neither is
// closed.
struct HandleTraits {
    static HANDLE Invalid() noexcept { return nullptr; }
    static bool IsValid(HANDLE handle) noexcept
    {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<HANDLE, HandleTraits>;

// An opened or created registry key (never one of the predefined roots).
struct RegistryKeyTraits {
    static HKEY Invalid() noexcept { return nullptr; }
    static bool IsValid(HKEY key) noexcept { return key != nullptr; }
    static void Close(HKEY key) noexcept { RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueResource<HKEY, RegistryKeyTraits>;

// A system string (SysAllocString and its relatives).
struct BstrTraits {
    static BSTR Invalid() noexcept { return nullptr; }
    static bool IsValid(BSTR text) noexcept { return text != nullptr; }
    static void Close(BSTR text) noexcept { SysFreeString(text); }
};
using UniqueBstr = UniqueResource<BSTR, BstrTraits>;

// A type library's attributes as ITypeLib::GetLibAttr hands them out, with a reference to the
// library that takes them back.
struct TypeLibAttributes {
    ITypeLib* library = nullptr;
    TLIBATTR* attributes = nullptr;
};
struct TypeLibAttributesTraits {
    static TypeLibAttributes Invalid() noexcept { return {}; }
    static bool IsValid(const TypeLibAttributes& held) noexcept
    {
        return held.attributes != nullptr;
    }
    static void Close(const TypeLibAttributes& held) noexcept
    {
        held.library->ReleaseTLibAttr(held.attributes);
        held.library->Release();
    }
};
using UniqueTypeLibAttributes = UniqueResource<TypeLibAttributes, TypeLibAttributesTraits>;

// The attributes of `library` into `attributes`; the holder keeps the library alive until it
// gives them back. Returns GetLibAttr's result.
inline HRESULT GetTypeLibAttributes(ITypeLib* library, UniqueTypeLibAttributes& attributes)
{
    attributes.Reset();
    TLIBATTR* raw = nullptr;
    const HRESULT hr = library->GetLibAttr(&raw);
    if (SUCCEEDED(hr) && raw != nullptr) {
        library->AddRef();
        attributes.Reset(TypeLibAttributes{library, raw});
    }
    return hr;
}

}  // namespace platform::win32
