// A stand-in of the add-on for vexa-host.exe's tests: registered under the add-on's ProgID, it
// implements IVWService but imports no MessageBoxW, so the host cannot route its message boxes.
// Every call of IVWService is written to standard error.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "VW_Zorbel.h"
#include "platform/win32/com_object.h"
#include "platform/win32/unique_resource.h"

namespace {

using platform::win32::ComObject;
using platform::win32::MakeComObject;
using platform::win32::UniqueRegistryKey;

HMODULE s_module = nullptr;
std::atomic<long> s_objects{0};

// Its own class identifier; the add-on's ProgID names it while the stand-in is registered.
constexpr CLSID kClsidSilentAddon = {
    0x3B7A61E2, 0x0C54, 0x4F1D, {0x8A, 0x27, 0x5E, 0x90, 0x13, 0xC6, 0x4D, 0xB8}};
const wchar_t kProgId[] = L"VW_Vexa.VW_Vexa.1";

void Called(const char* method)
{
    std::fprintf(stderr, "silent add-on: %s called\n", method);
    std::fflush(stderr);
}

class SilentService final : public ComObject<IVWService, IID_IVWService> {
public:
    SilentService() { ++s_objects; }
    ~SilentService() override { --s_objects; }

    HRESULT STDMETHODCALLTYPE SInitServer(LONG, tagSERVER_STATE* state) override
    {
        Called("SInitServer");
        *state = SERVER_ON_INIT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SExitServer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SVersionInfo(BSTR*, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SPing(LONG*, tagSERVER_STATE* state) override
    {
        Called("SPing");
        *state = SERVER_ACTIVE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SShutDown(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SStartServer(LONG, tagSERVER_STATE* state) override
    {
        Called("SStartServer");
        *state = SERVER_ACTIVE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SStopServer() override
    {
        Called("SStopServer");
        return S_OK;
    }
};

class SilentFactory final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    SilentFactory() { ++s_objects; }
    ~SilentFactory() override { --s_objects; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        const auto service = MakeComObject<SilentService>();
        return service ? service->QueryInterface(iid, object) : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

LONG WriteKey(const std::wstring& path, const std::wstring& value, const wchar_t* name = nullptr,
              const std::wstring& namedValue = std::wstring())
{
    UniqueRegistryKey key;
    LONG result = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, key.Put(), nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExW(key.Get(), nullptr, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    if (result == ERROR_SUCCESS && name != nullptr) {
        result = RegSetValueExW(key.Get(), name, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(namedValue.c_str()),
                                static_cast<DWORD>((namedValue.size() + 1) * sizeof(wchar_t)));
    }
    return result;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        s_module = module;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID, REFIID iid, LPVOID* object)
{
    *object = nullptr;
    const auto factory = MakeComObject<SilentFactory>();
    return factory ? factory->QueryInterface(iid, object) : E_OUTOFMEMORY;
}

STDAPI DllCanUnloadNow()
{
    return s_objects == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(s_module, path, MAX_PATH);
    const std::wstring classKey = L"CLSID\\" + GuidText(kClsidSilentAddon);
    const LONG results[] = {
        WriteKey(std::wstring(kProgId) + L"\\CLSID", GuidText(kClsidSilentAddon)),
        WriteKey(classKey + L"\\InprocServer32", path, L"ThreadingModel", L"Both"),
    };
    for (const LONG result : results) {
        if (result != ERROR_SUCCESS) {
            return HRESULT_FROM_WIN32(result);
        }
    }
    return S_OK;
}

STDAPI DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(kClsidSilentAddon)).c_str());
    return S_OK;
}
