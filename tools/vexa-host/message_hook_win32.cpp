#include "message_hook_win32.h"

#include <cstring>
#include <mutex>

namespace host {
namespace {

// The headers walked here differ by bitness: an import slot holds a pointer, and the optional
// header of a 64-bit module is larger. The build of each target pins its own.
#ifdef _WIN64
static_assert(sizeof(IMAGE_THUNK_DATA) == 8 && sizeof(IMAGE_NT_HEADERS) == 264);
#else
static_assert(sizeof(IMAGE_THUNK_DATA) == 4 && sizeof(IMAGE_NT_HEADERS) == 248);
#endif

std::mutex s_Mutex;
std::function<void(const std::wstring&)> s_Receiver;

int WINAPI HostMessageBox(HWND, LPCWSTR p_szText, LPCWSTR, UINT)
{
    std::function<void(const std::wstring&)> l_Receiver;
    {
        std::lock_guard<std::mutex> l_Lock(s_Mutex);
        l_Receiver = s_Receiver;
    }
    if (l_Receiver) {
        l_Receiver(p_szText != nullptr ? p_szText : L"");
    }
    return IDOK;
}

template <class T>
T* At(HMODULE p_hModule, DWORD p_dwOffset)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(p_hModule) + p_dwOffset);
}

bool Patch(ULONG_PTR* p_pSlot, ULONG_PTR p_Value)
{
    DWORD l_dwOld = 0;
    if (!VirtualProtect(p_pSlot, sizeof(*p_pSlot), PAGE_READWRITE, &l_dwOld)) {
        return false;
    }
    *p_pSlot = p_Value;
    VirtualProtect(p_pSlot, sizeof(*p_pSlot), l_dwOld, &l_dwOld);
    return true;
}

}  // namespace

bool RouteMessageBoxes(HMODULE p_hModule, std::function<void(const std::wstring&)> p_Receiver)
{
    {
        std::lock_guard<std::mutex> l_Lock(s_Mutex);
        s_Receiver = std::move(p_Receiver);
    }
    const auto* l_pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(p_hModule);
    const auto* l_pNt = At<const IMAGE_NT_HEADERS>(p_hModule, static_cast<DWORD>(l_pDos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& l_Imports =
        l_pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (l_Imports.VirtualAddress == 0) {
        return false;
    }
    bool l_bPatched = false;
    for (auto* l_pImport = At<IMAGE_IMPORT_DESCRIPTOR>(p_hModule, l_Imports.VirtualAddress);
         l_pImport->Name != 0; ++l_pImport) {
        if (_stricmp(At<const char>(p_hModule, l_pImport->Name), "user32.dll") != 0 ||
            l_pImport->OriginalFirstThunk == 0) {
            continue;
        }
        auto* l_pNames = At<IMAGE_THUNK_DATA>(p_hModule, l_pImport->OriginalFirstThunk);
        auto* l_pSlots = At<IMAGE_THUNK_DATA>(p_hModule, l_pImport->FirstThunk);
        for (; l_pNames->u1.AddressOfData != 0; ++l_pNames, ++l_pSlots) {
            if (IMAGE_SNAP_BY_ORDINAL(l_pNames->u1.Ordinal)) {
                continue;
            }
            const auto* l_pName = At<const IMAGE_IMPORT_BY_NAME>(
                p_hModule, static_cast<DWORD>(l_pNames->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<const char*>(l_pName->Name), "MessageBoxW") == 0) {
                l_bPatched |=
                    Patch(&l_pSlots->u1.Function, reinterpret_cast<ULONG_PTR>(&HostMessageBox));
            }
        }
    }
    return l_bPatched;
}

}  // namespace host
