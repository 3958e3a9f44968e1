#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "service/com/registry_key_snapshot.h"

// The HMI runtime's own entries under HKCR\Interface: those of IVWService, IVWServiceEvents,
// IVWControl and the engine manager's controller, in both registry views. The add-on's type
// library describes some of these interfaces, so registering it would point their entries at our
// library and unregistering it would delete them; other add-ons marshal through these entries,
// which are the runtime's to write. Saved before the type library is registered or unregistered
// and put back after, they stay exactly as they were: present with their values, or absent. An
// entry the call did not change is not written at all, and a changed one is mended in place.
class RuntimeInterfaceKeys {
public:
    // Saves the entries as they are now; Result() tells whether that succeeded.
    RuntimeInterfaceKeys();

    LONG Result() const { return m_result; }
    // Puts every entry that differs from its saved state back as it was saved, without deleting
    // any part of it before its replacement is written. Returns the first failure's error code.
    LONG Restore() const;

private:
    struct Entry {
        std::wstring path;
        REGSAM view = 0;
        std::optional<RegistryTree> tree;
    };

    std::vector<Entry> m_entries;
    LONG m_result = ERROR_SUCCESS;
};
