#include "service/com/runtime_interface_keys.h"

#include <new>

#include "VW_Zorbel.h"
#include "platform/win32/vwcontrol_com.h"

namespace {

std::wstring InterfaceKeyPath(REFIID iid)
{
    wchar_t text[40] = {};
    StringFromGUID2(iid, text, 40);
    return std::wstring(L"Interface\\") + text;
}

}  // namespace

RuntimeInterfaceKeys::RuntimeInterfaceKeys()
{
    const IID* const runtimeInterfaces[] = {&IID_IVWService, &IID_IVWServiceEvents, &IID_IVWControl,
                                            &platform::win32::kIidEngineController};
    try {
        for (const IID* iid : runtimeInterfaces) {
            for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
                Entry entry{InterfaceKeyPath(*iid), view, std::nullopt};
                m_result = ReadRegistryTree(HKEY_CLASSES_ROOT, entry.path, view, entry.tree);
                if (m_result != ERROR_SUCCESS) {
                    return;
                }
                m_entries.push_back(std::move(entry));
            }
        }
    } catch (const std::bad_alloc&) {
        m_result = ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG RuntimeInterfaceKeys::Restore() const
{
    LONG firstFailure = ERROR_SUCCESS;
    for (const Entry& entry : m_entries) {
        const LONG result =
            RestoreRegistryTree(HKEY_CLASSES_ROOT, entry.path, entry.view, entry.tree);
        if (firstFailure == ERROR_SUCCESS) {
            firstFailure = result;
        }
    }
    return firstFailure;
}
